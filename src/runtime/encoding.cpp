// Windows-1250 <-> UTF-8 conversion for the stream's 8-bit strings.
#include "runtime/encoding.h"

#include "runtime/exceptions.h"

namespace kestrune {

namespace {
// Unicode code points of the bytes 0x80..0xFF in Windows-1250 (0 = unassigned).
const uint16_t kCp1250High[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

std::string Cp1250ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      uint16_t cp = kCp1250High[c - 0x80];
      // Unassigned bytes keep their value as a C1 control code point, so nothing is lost.
      appendUtf8(out, cp ? cp : c);
    }
  }
  return out;
}

bool DecodeUtf8(std::string_view text, size_t& pos, uint32_t& cp) {
  unsigned char c = static_cast<unsigned char>(text[pos]);
  int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  if (extra < 0 || pos + extra >= text.size()) return false;
  cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
  for (int i = 1; i <= extra; ++i) {
    unsigned char d = static_cast<unsigned char>(text[pos + i]);
    if ((d & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (d & 0x3F);
  }
  // Overlong forms would let one character hide as another ("/" as C0 AF); surrogates and
  // values beyond U+10FFFF are no characters at all.
  static constexpr uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
  pos += extra + 1;
  return true;
}

std::string PrintableText(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    size_t next = pos;
    uint32_t cp = 0;
    if (!DecodeUtf8(text, next, cp)) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      ++pos;
    } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
      out += cp < 0x80 ? "\\x" : "\\u00";
      out += kHex[cp >> 4];
      out += kHex[cp & 15];
      pos = next;
    } else {
      out.append(text.substr(pos, next - pos));
      pos = next;
    }
  }
  return out;
}

std::optional<uint8_t> UnicodeToCp1250(uint32_t cp) {
  if (cp < 0x80) return static_cast<uint8_t>(cp);
  for (int i = 0; i < 128; ++i)
    if (kCp1250High[i] == cp) return static_cast<uint8_t>(0x80 + i);
  if (cp >= 0x80 && cp < 0x100 && kCp1250High[cp - 0x80] == 0) return static_cast<uint8_t>(cp);
  return std::nullopt;
}

std::string Utf8ToCp1250(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t cp = 0;
    size_t at = pos;
    if (!DecodeUtf8(text, pos, cp))
      throw EConvertError("Invalid UTF-8 text at byte %d", {static_cast<int>(at)});
    auto b = UnicodeToCp1250(cp);
    if (!b) throw EConvertError("The character U+%.4X cannot be stored in Windows-1250", {static_cast<long long>(cp)});
    out += static_cast<char>(*b);
  }
  return out;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace kestrune
