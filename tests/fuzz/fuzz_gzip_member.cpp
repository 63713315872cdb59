// The gzip member of a program's compressed resource (the install script, the theme
// picture): inflated within its bound or refused, never more; what the writer makes of
// any bytes inflates back to them.
#include <cstddef>
#include <cstdint>

#include "platform/gzip.h"

using namespace kestrune::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  // A small bound, so that members stating or holding more are refused quickly.
  constexpr size_t kBound = 1u << 20;
  if (const auto inflated = InflateGzipMember(bytes, kBound); inflated && inflated->size() > kBound) __builtin_trap();
  const std::vector<uint8_t> member = DeflateGzipMember(bytes);
  if (!IsGzipMember(member) || InflateGzipMember(member, size) != std::vector<uint8_t>(data, data + size)) __builtin_trap();
  if (size > 0 && InflateGzipMember(member, size - 1)) __builtin_trap();
  if (member.size() > 20 && InflateGzipMember(std::span(member).first(member.size() - 1), kBound)) __builtin_trap();
  return 0;
}
