// Small text and file-name helpers.
#include "runtime/sysutils.h"

#include <cctype>

namespace kestrune {

namespace {
bool isSep(char c) { return c == '\\' || c == '/'; }
size_t lastSep(std::string_view p) {
  for (size_t i = p.size(); i > 0; --i)
    if (isSep(p[i - 1]) || p[i - 1] == ':') return i;
  return 0;
}
}  // namespace

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, lastSep(path))); }

std::string ExtractFileDir(std::string_view path) {
  size_t i = lastSep(path);
  if (i > 1 && isSep(path[i - 1]) && path[i - 2] != ':') --i;
  return std::string(path.substr(0, i));
}

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(lastSep(path))); }

std::string ExtractFileExt(std::string_view path) {
  size_t start = lastSep(path);
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t start = lastSep(path);
  size_t dot = path.rfind('.');
  std::string base(dot == std::string_view::npos || dot < start ? path : path.substr(0, dot));
  return base + std::string(ext);
}

std::string ExtractFileDrive(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.size() >= 2 && isSep(path[0]) && isSep(path[1])) {
    size_t n = 0, i = 2;
    for (; i < path.size(); ++i)
      if (isSep(path[i]) && ++n == 2) break;
    return std::string(path.substr(0, i));
  }
  return {};
}

}  // namespace kestrune
