// Fuzzes the licence file reader: any input is refused with EConvertError or becomes
// lines of valid UTF-8 without line breaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/licence_file.h"
#include "runtime/encoding.h"
#include "runtime/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune;
  try {
    for (const std::string& line : LicenseLines(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz")) {
      if (line.find('\n') != std::string::npos) std::abort();
      for (size_t pos = 0; pos < line.size();) {
        uint32_t cp = 0;
        if (!DecodeUtf8(line, pos, cp)) std::abort();
      }
    }
  } catch (const EConvertError&) {
  }
  return 0;
}
