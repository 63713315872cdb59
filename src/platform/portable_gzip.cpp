// One gzip member in memory, through zlib.
#include <zlib.h>

#include <limits>
#include <new>

#include "platform/gzip.h"

namespace kestrune::platform {

bool IsGzipMember(std::span<const uint8_t> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0x1f && bytes[1] == 0x8b && bytes[2] == 8;
}

std::optional<std::vector<uint8_t>> InflateGzipMember(std::span<const uint8_t> member, size_t maxSize) {
  // A header of 10 bytes, an empty deflate stream of 2 and the trailer of 8.
  if (!IsGzipMember(member) || member.size() < 20 || member.size() > std::numeric_limits<uInt>::max()) return std::nullopt;
  // The trailer's ISIZE: the inflated length modulo 2^32. Only a buffer of that size is
  // reserved; a member that holds more fails below instead of growing it.
  const size_t n = member.size();
  const uint32_t expected = member[n - 4] | (member[n - 3] << 8) | (member[n - 2] << 16) | (uint32_t(member[n - 1]) << 24);
  if (expected > maxSize || expected > std::numeric_limits<uInt>::max() - 1) return std::nullopt;
  // One byte more than stated, so that a member inflating beyond ISIZE is seen as such.
  std::vector<uint8_t> out(size_t(expected) + 1);
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return std::nullopt;  // gzip wrapper only
  z.next_in = const_cast<Bytef*>(member.data());
  z.avail_in = static_cast<uInt>(n);
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const bool whole = rc == Z_STREAM_END && z.avail_in == 0 && z.total_out == expected;
  inflateEnd(&z);
  if (!whole) return std::nullopt;
  out.pop_back();
  return out;
}

std::vector<uint8_t> DeflateGzipMember(std::span<const uint8_t> bytes) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::bad_alloc();
  gz_header header{};
  header.os = 255;  // unknown: zlib would otherwise name the system it was built for
  deflateSetHeader(&z, &header);
  std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(bytes.size())) + 32);
  z.next_in = const_cast<Bytef*>(bytes.data());
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::bad_alloc();  // the buffer is deflateBound's: only memory fails
  return out;
}

}  // namespace kestrune::platform
