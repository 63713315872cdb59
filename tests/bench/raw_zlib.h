// Raw zlib, the baseline the benchmarks hold the kit against: deflate at level 9 from a
// file into an open output, and inflate from an open input into a new file, both with
// 64 KiB buffers.
#pragma once
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace kestrune::bench {

// Deflates the whole file `in` (level 9) onto the end of dst; returns the bytes written.
int64_t rawDeflate(const std::string& in, platform::File& dst);
// Inflates `length` bytes of src from `start` into the new file `out`.
void rawInflate(platform::File& src, int64_t start, int64_t length, const std::string& out);

}  // namespace kestrune::bench
