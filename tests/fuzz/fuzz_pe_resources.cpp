// Fuzzes the resource section writer: any bytes, taken as a program file, are refused
// with ResourceLayoutError or rewritten; a rewritten program carries the new data, keeps
// its other resources, and rewriting it again with the same data changes nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/portable_pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune::platform::pe;
  const std::vector<uint8_t> image(data, data + size);
  const std::vector<uint8_t> script = {'T', 'P', 'F', '0', 1, 2, 3};
  try {
    const auto before = FindRcData(image, "Other");
    const std::vector<uint8_t> made = WithRcData(image, "TFRMMAIN", script);
    if (FindRcData(made, "tfrmmain") != script) __builtin_trap();
    if (FindRcData(made, "OTHER") != before) __builtin_trap();
    if (WithRcData(made, "TFRMMAIN", script) != made) __builtin_trap();
  } catch (const ResourceLayoutError&) {
  }
  return 0;
}
