// Text conversions through the Win32 code page functions.
#include <windows.h>

#include "platform/text.h"

namespace kestrune::platform {

namespace {
std::wstring toWide(std::string_view s, UINT cp) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}
std::string fromWide(std::wstring_view w, UINT cp) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}
}  // namespace

std::wstring Widen(std::string_view utf8) { return toWide(utf8, CP_UTF8); }
std::string Narrow(std::wstring_view wide) { return fromWide(wide, CP_UTF8); }
std::string ToAnsi(std::string_view utf8) { return fromWide(toWide(utf8, CP_UTF8), CP_ACP); }
std::string FromAnsi(std::string_view ansi) { return fromWide(toWide(ansi, CP_ACP), CP_UTF8); }

}  // namespace kestrune::platform
