// Fuzzes the header table reader: any bytes, read at offset 0 and at an offset taken from
// the first byte, must give a table or EKstrCompress, within the input's own size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/cmp_TFileHeaders.h"
#include "archive/streams.h"
#include "runtime/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune;
  for (int64_t offset : {int64_t{0}, size ? int64_t{data[0]} : int64_t{0}}) {
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TFileHeaders headers;
    try {
      headers.LoadFromStream(stream, offset);
      // Every record read came from the input.
      if (static_cast<size_t>(headers.Count()) * 172 > size) __builtin_trap();
      for (int i = 0; i < headers.Count(); ++i) {
        const TFileHeader& h = headers.FileHeaders(i);
        (void)headers.IndexOfName(h.FileName());
        (void)h.FileVersion();
      }
      TlzhFileStats stats;
      headers.GetTotals(stats);
      TMemoryStream out;
      headers.SaveToStream(out);
    } catch (const EKstrCompress&) {
    }
  }
  return 0;
}
