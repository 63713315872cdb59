// Fuzzes the text form both ways. Text that converts must print and convert back to the
// same stream; bytes that print must convert back and print the same text. Errors must be
// the kit's exceptions.
#include <cstdlib>
#include <string_view>

#include "runtime/exceptions.h"
#include "runtime/text_form.h"

using namespace kestrune;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> stream;
  try {
    stream = ObjectTextToBinary(text);
  } catch (const EParserError&) {
  }
  if (!stream.empty() && ObjectTextToBinary(ObjectBinaryToText(stream)) != stream) std::abort();

  std::string printed;
  try {
    printed = ObjectBinaryToText(std::vector<uint8_t>(data, data + size));
  } catch (const EReadError&) {
    return 0;
  }
  if (ObjectBinaryToText(ObjectTextToBinary(printed)) != printed) std::abort();
  return 0;
}
