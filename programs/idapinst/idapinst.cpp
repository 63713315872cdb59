// IDAPINST.DLL: merges, localises and fixes up the database engine's configuration file
// (the format of dbengine/idapi_config.h) and counts the installations that use the
// engine. Every export returns a code; nothing is thrown.
//
//   MergeCfg(new, existing or "***", target, keepExisting, for16Bit, language)
//     target = new with every setting of existing merged in key by key; with keepExisting
//     1 the existing values win (the user's settings survive an update). 0 merged;
//     1 a file cannot be read, 2 a file is not a valid configuration, 3 target not written.
//   IntlConfig(path, for16Bit, language): [SYSTEM\INIT] LANGUAGE = language (4 hex digits).
//   FixMerge(path, pointOdapi, for16Bit, language): [SYSTEM\INIT] CONFIG16 = 1/0 and, with
//     pointOdapi 1, WIN.INI [ODAPI] CONFIGFILE01 = path, so 16-bit programs find the file.
//     Codes as MergeCfg; 4 for a language that is not 4 hex digits.
//   IncrementIDAPIUseCount(): HKEY_LOCAL_MACHINE "\Software\Borland\Database Engine"
//     DWORD "UseCount" + 1.
// Paths and texts are null-terminated strings in the ANSI code page.
//
// The library goes to end users with every distribution that installs the database engine,
// so it is small: no exceptions, no C++ runtime, the C runtime's malloc and the platform's
// plain calls (platform/plain_files.h). A configuration is held as views of the texts it was
// read from (the files' bytes and the caller's strings, alive for the whole call).
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "dbengine/idapi_scan.h"
#include "platform/plain_files.h"

namespace {

namespace idapi = kestrune::idapi;
namespace plain = kestrune::platform::plain;

constexpr int kOk = 0, kCannotRead = 1, kInvalid = 2, kCannotWrite = 3, kBadLanguage = 4;
constexpr std::string_view kInitSection = "SYSTEM\\INIT";

// A growing array of trivially copyable items in malloc'd memory.
template <class T>
struct List {
  T* items = nullptr;
  size_t count = 0, capacity = 0;
  T* add() {
    if (count == capacity) {
      const size_t more = capacity ? capacity * 2 : 8;
      T* bigger = static_cast<T*>(realloc(items, more * sizeof(T)));
      if (!bigger) return nullptr;
      items = bigger;
      capacity = more;
    }
    return &items[count++];
  }
  void release() { free(items); }
};

struct Setting {
  std::string_view name, value;
};

struct Section {
  std::string_view path;
  List<Setting> settings;
};

// Sections and settings keep their first spelling and their first place, as Config does.
struct Config {
  List<Section> sections;
  char* source = nullptr;  // the file the views point into
  bool failed = false;     // out of memory

  ~Config() {
    for (size_t i = 0; i < sections.count; ++i) sections.items[i].settings.release();
    sections.release();
    free(source);
  }
  Section* findSection(std::string_view path) {
    for (size_t i = 0; i < sections.count; ++i)
      if (idapi::SameConfigName(sections.items[i].path, path)) return &sections.items[i];
    return nullptr;
  }
  Section* section(std::string_view path) {
    if (Section* s = findSection(path)) return s;
    Section* s = sections.add();
    if (!s) return nullptr;
    *s = Section{path, {}};
    return s;
  }
  const Setting* find(std::string_view path, std::string_view name) {
    Section* s = findSection(path);
    if (!s) return nullptr;
    for (size_t i = 0; i < s->settings.count; ++i)
      if (idapi::SameConfigName(s->settings.items[i].name, name)) return &s->settings.items[i];
    return nullptr;
  }
  bool set(std::string_view path, std::string_view name, std::string_view value) {
    Section* s = section(path);
    if (!s) return false;
    for (size_t i = 0; i < s->settings.count; ++i)
      if (idapi::SameConfigName(s->settings.items[i].name, name)) {
        s->settings.items[i].value = value;
        return true;
      }
    Setting* added = s->settings.add();
    if (!added) return false;
    *added = Setting{name, value};
    return true;
  }
  // Every setting of other, key by key: values both hold become other's when otherWins.
  bool merge(const Config& other, bool otherWins) {
    for (size_t i = 0; i < other.sections.count; ++i) {
      const Section& s = other.sections.items[i];
      for (size_t k = 0; k < s.settings.count; ++k) {
        const Setting& setting = s.settings.items[k];
        if ((otherWins || !find(s.path, setting.name)) && !set(s.path, setting.name, setting.value)) return false;
      }
    }
    return true;
  }
};

// Reads and parses path into config: kOk, kCannotRead, kInvalid or kCannotWrite (memory).
int readConfig(const char* path, Config& config) {
  size_t size = 0;
  if (!path || !plain::readFile(path, &config.source, &size)) return kCannotRead;
  struct Reading {
    Config& config;
    std::string_view section;
  } reading{config, {}};
  idapi::ScanEvents events;
  events.context = &reading;
  events.section = [](void* context, std::string_view path) {
    auto& r = *static_cast<Reading*>(context);
    const Section* s = r.config.section(path);
    if (s) r.section = s->path;
    return s != nullptr;
  };
  events.setting = [](void* context, std::string_view name, std::string_view value) {
    auto& r = *static_cast<Reading*>(context);
    return r.config.set(r.section, name, value);
  };
  idapi::ScanError error;
  if (idapi::ScanConfig(std::string_view(config.source, size), events, error)) return kOk;
  return error.what ? kInvalid : kCannotWrite;
}

// Writes config as text, CR LF line ends, a blank line after each section.
int writeConfig(const char* path, const Config& config) {
  size_t size = 0;
  for (size_t i = 0; i < config.sections.count; ++i) {
    const Section& s = config.sections.items[i];
    size += s.path.size() + 4 + 2;
    for (size_t k = 0; k < s.settings.count; ++k) size += s.settings.items[k].name.size() + s.settings.items[k].value.size() + 3;
  }
  char* text = static_cast<char*>(malloc(size ? size : 1));
  if (!text) return kCannotWrite;
  char* at = text;
  auto put = [&at](std::string_view part) {
    memcpy(at, part.data(), part.size());
    at += part.size();
  };
  for (size_t i = 0; i < config.sections.count; ++i) {
    const Section& s = config.sections.items[i];
    put("[");
    put(s.path);
    put("]\r\n");
    for (size_t k = 0; k < s.settings.count; ++k) {
      put(s.settings.items[k].name);
      put("=");
      put(s.settings.items[k].value);
      put("\r\n");
    }
    put("\r\n");
  }
  const bool written = plain::writeFile(path ? path : "", text, size);
  free(text);
  return written ? kOk : kCannotWrite;
}

std::string_view arg(const char* text) { return text ? std::string_view(text) : std::string_view(); }

bool validLanguage(std::string_view language) {
  if (language.size() != 4) return false;
  for (char c : language)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall MergeCfg(const char* newConfig, const char* existing, const char* target,
                                             int keepExisting, int /*for16Bit*/, const char* /*language*/) {
  Config merged;
  if (int code = readConfig(newConfig, merged); code != kOk) return code;
  if (arg(existing) != "***") {
    Config old;
    if (int code = readConfig(existing, old); code != kOk) return code;
    if (!merged.merge(old, keepExisting != 0)) return kCannotWrite;
    return writeConfig(target, merged);
  }
  return writeConfig(target, merged);
}

__declspec(dllexport) void __stdcall IntlConfig(const char* config, int /*for16Bit*/, const char* language) {
  if (!validLanguage(arg(language))) return;
  Config c;
  if (readConfig(config, c) != kOk) return;
  if (c.set(kInitSection, "LANGUAGE", arg(language))) writeConfig(config, c);
}

__declspec(dllexport) int __stdcall FixMerge(const char* config, int pointOdapi, int for16Bit, const char* language) {
  if (!validLanguage(arg(language))) return kBadLanguage;
  Config c;
  if (int code = readConfig(config, c); code != kOk) return code;
  if (!c.set(kInitSection, "CONFIG16", for16Bit ? "1" : "0")) return kCannotWrite;
  if (int code = writeConfig(config, c); code != kOk) return code;
  if (pointOdapi && !plain::writeWindowsProfileString("WIN.INI", "ODAPI", "CONFIGFILE01", config)) return kCannotWrite;
  return kOk;
}

__declspec(dllexport) void __stdcall IncrementIDAPIUseCount() {
  plain::incrementLocalMachineDword("Software\\Borland\\Database Engine", "UseCount");
}

}  // extern "C"
