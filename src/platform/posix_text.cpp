// Text conversions for the native build: the ANSI code page is Windows-1250.
#include "platform/text.h"

#include "runtime/encoding.h"

namespace kestrune::platform {

std::wstring Widen(std::string_view utf8) {
  std::wstring out;
  size_t pos = 0;
  while (pos < utf8.size()) {
    uint32_t cp = 0;
    if (!DecodeUtf8(utf8, pos, cp)) {
      cp = 0xFFFD;
      ++pos;
    }
    out += static_cast<wchar_t>(cp);
  }
  return out;
}

std::string Narrow(std::wstring_view wide) {
  std::string out;
  for (wchar_t wc : wide) {
    uint32_t cp = static_cast<uint32_t>(wc);
    if (cp < 0x80) out += static_cast<char>(cp);
    else if (cp < 0x800) { out += static_cast<char>(0xC0 | (cp >> 6)); out += static_cast<char>(0x80 | (cp & 0x3F)); }
    else if (cp < 0x10000) { out += static_cast<char>(0xE0 | (cp >> 12)); out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F)); out += static_cast<char>(0x80 | (cp & 0x3F)); }
    else { out += static_cast<char>(0xF0 | (cp >> 18)); out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F)); out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F)); out += static_cast<char>(0x80 | (cp & 0x3F)); }
  }
  return out;
}

std::string ToAnsi(std::string_view utf8) {
  std::string out;
  size_t pos = 0;
  while (pos < utf8.size()) {
    uint32_t cp = 0;
    if (!DecodeUtf8(utf8, pos, cp)) { out += '?'; ++pos; continue; }
    auto b = UnicodeToCp1250(cp);
    out += b ? static_cast<char>(*b) : '?';
  }
  return out;
}

std::string FromAnsi(std::string_view ansi) { return Cp1250ToUtf8(ansi); }

}  // namespace kestrune::platform
