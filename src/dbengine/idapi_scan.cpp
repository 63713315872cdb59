// The line rules of the configuration format, for Config::parse and IDAPINST.DLL.
#include "dbengine/idapi_scan.h"

namespace kestrune::idapi {
namespace {

constexpr size_t kMaxLine = 4096;

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Parts of s before and after position at (at < s.size()), without the throwing substr.
std::string_view before(std::string_view s, size_t at) { return std::string_view(s.data(), at); }
std::string_view after(std::string_view s, size_t at) { return std::string_view(s.data() + at + 1, s.size() - at - 1); }

bool validSectionPath(std::string_view path) {
  if (path.empty()) return false;
  for (;;) {
    const size_t end = path.find('\\');
    if (end == std::string_view::npos) return !trim(path).empty();
    if (trim(before(path, end)).empty()) return false;
    path = after(path, end);
  }
}

}  // namespace

bool SameConfigName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool ScanConfig(std::string_view text, const ScanEvents& events, ScanError& error) {
  auto fail = [&error](int line, const char* what) {
    error.line = line;
    error.what = what;
    return false;
  };
  bool inSection = false;
  int lineNo = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view raw = end == std::string_view::npos ? text : before(text, end);
    text = end == std::string_view::npos ? std::string_view() : after(text, end);
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (raw.size() > kMaxLine) return fail(lineNo, "the line is too long");
    for (char c : raw)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return fail(lineNo, "control character");
    const std::string_view line = trim(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 2) return fail(lineNo, "a section line must end with ]");
      const std::string_view path = trim(std::string_view(line.data() + 1, line.size() - 2));
      if (path.find_first_of("[]") != std::string_view::npos || !validSectionPath(path))
        return fail(lineNo, "invalid section name");
      if (!events.section(events.context, path)) return fail(0, nullptr);
      inSection = true;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return fail(lineNo, "expected NAME=VALUE or [SECTION]");
    if (!inSection) return fail(lineNo, "a setting before the first section");
    const std::string_view name = trim(before(line, eq));
    if (name.empty()) return fail(lineNo, "empty setting name");
    if (!events.setting(events.context, name, trim(after(line, eq)))) return fail(0, nullptr);
  }
  return true;
}

}  // namespace kestrune::idapi
