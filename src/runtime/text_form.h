// The text form of a component stream ("object Name: TClass ... end"), converted to and
// from the binary stream purely by syntax: no class metadata is consulted.
//
// Text is UTF-8. Quoted strings hold letters that map to Windows-1250 bytes in the stream;
// #nnn codes stand for single stream bytes (0..255). Integers are decimal or $hex (a hex
// value up to $FFFFFFFF is a 32-bit pattern, so $FF000008 is negative). Floating-point
// values and collections are not part of the kit's stream and are rejected.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// Raises EParserError "Line %d, column %d: ..." naming what was expected.
std::vector<uint8_t> ObjectTextToBinary(std::string_view utf8Text);

// Raises EReadError "Invalid stream format: ... at offset %d" for bytes that are not a
// complete stream, or that the text form cannot express so that it reads back the same.
std::string ObjectBinaryToText(const std::vector<uint8_t>& bytes);

}  // namespace kestrune
