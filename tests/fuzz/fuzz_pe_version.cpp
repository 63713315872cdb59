// Fuzzes the portable version resource reader: any bytes, taken as a PE file and as a
// version block of their own, must give a block (never larger than the input) or none,
// and the queries on it must stay inside it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/portable_pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune::platform;
  static const char* const paths[] = {"\\",
                                      "\\StringFileInfo\\040904E4\\CompanyName",
                                      "\\StringFileInfo\\040904B0\\FileDescription",
                                      "\\\\StringFileInfo\\\\040504e2\\\\productname",
                                      "\\VarFileInfo\\Translation"};
  auto query = [](const std::vector<uint8_t>& block) {
    (void)pe::QueryFixedFileInfo(block);
    for (const char* p : paths) (void)pe::QueryVersionString(block, p);
  };
  if (auto block = pe::FindVersionResource(data, size)) {
    if (block->size() > size) __builtin_trap();
    query(*block);
  }
  query(std::vector<uint8_t>(data, data + size));
  return 0;
}
