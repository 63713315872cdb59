// Windows-1250 <-> UTF-8: the stream's strings are Windows-1250, strings in the program UTF-8.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

std::string Cp1250ToUtf8(std::string_view bytes);
// Raises EConvertError for invalid UTF-8 or a character Windows-1250 cannot hold.
std::string Utf8ToCp1250(std::string_view text);
std::optional<uint8_t> UnicodeToCp1250(uint32_t codePoint);
// Decodes one UTF-8 sequence at pos (advancing it); false for a malformed sequence, an
// overlong form, a surrogate or a value beyond U+10FFFF (pos then stays).
bool DecodeUtf8(std::string_view text, size_t& pos, uint32_t& codePoint);
// Text from outside (names from scripts, paths) made safe for a terminal: control
// characters (C0, DEL, C1) become \xNN or \u00NN, bytes that are not UTF-8 \xNN.
std::string PrintableText(std::string_view text);
bool IsAscii(std::string_view text);

}  // namespace kestrune
