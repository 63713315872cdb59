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

// Where an object or a property of the text form begins, and the offset in the binary
// stream where it was written; object is the object's name (its class when it has none) for
// an object, empty for a property.
struct TextFormMark {
  size_t offset = 0;
  int line = 0;
  int column = 0;
  std::string object;
};

// Raises EParserError "Line %d, column %d: ..." naming what was expected. With marks, notes
// each object and property in stream order, so that a reading error's stream offset can
// be given as a line of the text.
std::vector<uint8_t> ObjectTextToBinary(std::string_view utf8Text, std::vector<TextFormMark>* marks = nullptr);

// The mark of the object or property that holds the stream offset; null when none does.
const TextFormMark* FindTextFormMark(const std::vector<TextFormMark>& marks, int64_t offset);

// Raises EReadError "Invalid stream format: ... at offset %d" for bytes that are not a
// complete stream, or that the text form cannot express so that it reads back the same.
std::string ObjectBinaryToText(const std::vector<uint8_t>& bytes);

}  // namespace kestrune
