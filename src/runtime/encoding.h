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
// Decodes one UTF-8 sequence at pos (advancing it); false for a malformed sequence.
bool DecodeUtf8(std::string_view text, size_t& pos, uint32_t& codePoint);
bool IsAscii(std::string_view text);

}  // namespace kestrune
