// The configuration file format of IDAPINST.DLL: parsing, writing and merging.
#include "dbengine/idapi_config.h"

#include <algorithm>

namespace kestrune::idapi {
namespace {

constexpr size_t kMaxLine = 4096;

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
           return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
         });
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

[[noreturn]] void fail(int line, const std::string& what) {
  throw ConfigError("line " + std::to_string(line) + ": " + what);
}

bool validSectionPath(std::string_view path) {
  if (path.empty()) return false;
  size_t start = 0;
  for (;;) {
    size_t end = path.find('\\', start);
    std::string_view part = path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (trim(part).empty()) return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

}  // namespace

Config Config::parse(std::string_view text) {
  Config config;
  Section* current = nullptr;
  int lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    std::string_view raw = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (raw.size() > kMaxLine) fail(lineNo, "the line is too long");
    for (char c : raw)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') fail(lineNo, "control character");
    std::string_view line = trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') fail(lineNo, "a section line must end with ]");
      std::string_view path = trim(line.substr(1, line.size() - 2));
      if (path.find_first_of("[]") != std::string_view::npos || !validSectionPath(path))
        fail(lineNo, "invalid section name");
      current = config.findSection(path);
      if (!current) {
        config.sections_.push_back({std::string(path), {}});
        current = &config.sections_.back();
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) fail(lineNo, "expected NAME=VALUE or [SECTION]");
    if (!current) fail(lineNo, "a setting before the first section");
    std::string_view name = trim(line.substr(0, eq));
    if (name.empty()) fail(lineNo, "empty setting name");
    config.set(current->path, name, trim(line.substr(eq + 1)));
  }
  return config;
}

std::string Config::text() const {
  std::string out;
  for (const Section& section : sections_) {
    out += "[" + section.path + "]\r\n";
    for (const Setting& s : section.settings) out += s.name + "=" + s.value + "\r\n";
    out += "\r\n";
  }
  return out;
}

Section* Config::findSection(std::string_view path) {
  for (Section& s : sections_)
    if (sameText(s.path, path)) return &s;
  return nullptr;
}

const std::string* Config::find(std::string_view section, std::string_view name) const {
  for (const Section& s : sections_) {
    if (!sameText(s.path, section)) continue;
    for (const Setting& setting : s.settings)
      if (sameText(setting.name, name)) return &setting.value;
  }
  return nullptr;
}

void Config::set(std::string_view section, std::string_view name, std::string_view value) {
  Section* s = findSection(section);
  if (!s) {
    sections_.push_back({std::string(section), {}});
    s = &sections_.back();
  }
  for (Setting& setting : s->settings)
    if (sameText(setting.name, name)) {
      setting.value = std::string(value);
      return;
    }
  s->settings.push_back({std::string(name), std::string(value)});
}

void Config::merge(const Config& other, bool otherWins) {
  for (const Section& section : other.sections_)
    for (const Setting& setting : section.settings)
      if (otherWins || !find(section.path, setting.name)) set(section.path, setting.name, setting.value);
}

}  // namespace kestrune::idapi
