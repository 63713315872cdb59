// IDAPINST.DLL: merges, localises and fixes up the database engine's configuration file
// (the format of dbengine/idapi_config.h) and counts the installations that use the
// engine. Every export returns a code instead of raising: no C++ exception leaves the DLL.
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
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "dbengine/idapi_config.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {

using kestrune::idapi::Config;
using kestrune::idapi::ConfigError;
namespace platform = kestrune::platform;

constexpr int kOk = 0, kCannotRead = 1, kInvalid = 2, kCannotWrite = 3, kBadLanguage = 4;
constexpr const char* kInitSection = "SYSTEM\\INIT";

struct Failure {
  int code;
};

std::string arg(const char* text) { return text ? platform::FromAnsi(text) : std::string(); }

Config readConfig(const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::readWholeFile(path);
  } catch (const platform::PlatformError&) {
    throw Failure{kCannotRead};
  }
  try {
    return Config::parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const ConfigError&) {
    throw Failure{kInvalid};
  }
}

void writeConfig(const std::string& path, const Config& config) {
  try {
    platform::PendingFile out(path);
    std::string text = config.text();
    out.writeAll(text.data(), text.size());
    out.commit();
  } catch (const platform::PlatformError&) {
    throw Failure{kCannotWrite};
  }
}

bool validLanguage(const std::string& language) {
  if (language.size() != 4) return false;
  for (unsigned char c : language)
    if (!std::isxdigit(c)) return false;
  return true;
}

template <class F>
int guarded(F&& body) noexcept {
  try {
    body();
    return kOk;
  } catch (const Failure& failure) {
    return failure.code;
  } catch (...) {
    return kCannotWrite;
  }
}

}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall MergeCfg(const char* newConfig, const char* existing, const char* target,
                                             int keepExisting, int for16Bit, const char* language) {
  (void)for16Bit;
  (void)language;
  return guarded([&] {
    Config merged = readConfig(arg(newConfig));
    std::string old = arg(existing);
    if (old != "***") merged.merge(readConfig(old), keepExisting != 0);
    writeConfig(arg(target), merged);
  });
}

__declspec(dllexport) void __stdcall IntlConfig(const char* config, int for16Bit, const char* language) {
  (void)for16Bit;
  guarded([&] {
    std::string code = arg(language);
    if (!validLanguage(code)) throw Failure{kBadLanguage};
    std::string path = arg(config);
    Config c = readConfig(path);
    c.set(kInitSection, "LANGUAGE", code);
    writeConfig(path, c);
  });
}

__declspec(dllexport) int __stdcall FixMerge(const char* config, int pointOdapi, int for16Bit, const char* language) {
  return guarded([&] {
    if (!validLanguage(arg(language))) throw Failure{kBadLanguage};
    std::string path = arg(config);
    Config c = readConfig(path);
    c.set(kInitSection, "CONFIG16", for16Bit ? "1" : "0");
    writeConfig(path, c);
    if (pointOdapi) {
      try {
        platform::writeProfileString(platform::windowsDirectory() + "\\WIN.INI", "ODAPI", "CONFIGFILE01", path);
      } catch (const platform::PlatformError&) {
        throw Failure{kCannotWrite};
      }
    }
  });
}

__declspec(dllexport) void __stdcall IncrementIDAPIUseCount() {
  guarded([] {
    platform::RegKey key = platform::RegKey::create(platform::RegRoot::LocalMachine, "\\Software\\Borland\\Database Engine");
    key.writeDword("UseCount", key.tryReadDword("UseCount").value_or(0) + 1);
  });
}

}  // extern "C"
