// Raw zlib baselines for the benchmarks (see raw_zlib.h).
#include "raw_zlib.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kestrune::bench {

int64_t rawDeflate(const std::string& in, platform::File& dst) {
  platform::File src = platform::File::open(in, platform::FileAccess::Read);
  static std::vector<uint8_t> ibuf(65536), obuf(65536);
  z_stream z{};
  deflateInit(&z, 9);
  int64_t written = 0;
  while (true) {
    const size_t n = src.read(ibuf.data(), ibuf.size());
    z.next_in = ibuf.data();
    z.avail_in = static_cast<uInt>(n);
    const int flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
    int r;
    do {
      z.next_out = obuf.data();
      z.avail_out = static_cast<uInt>(obuf.size());
      r = deflate(&z, flush);
      const size_t produced = obuf.size() - z.avail_out;
      dst.write(obuf.data(), produced);
      written += static_cast<int64_t>(produced);
    } while (z.avail_out == 0 || (flush == Z_FINISH && r != Z_STREAM_END));
    if (n == 0) break;
  }
  deflateEnd(&z);
  return written;
}

void rawInflate(platform::File& src, int64_t start, int64_t length, const std::string& out) {
  platform::File dst = platform::File::create(out);
  src.seek(start, platform::SeekOrigin::Begin);
  static std::vector<uint8_t> ibuf(65536), obuf(65536);
  z_stream z{};
  inflateInit(&z);
  int r = Z_OK;
  while (r != Z_STREAM_END && length > 0) {
    const size_t n = src.read(ibuf.data(), static_cast<size_t>(std::min<int64_t>(length, 65536)));
    if (n == 0) break;
    length -= static_cast<int64_t>(n);
    z.next_in = ibuf.data();
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = obuf.data();
      z.avail_out = static_cast<uInt>(obuf.size());
      r = inflate(&z, Z_NO_FLUSH);
      if (r < 0) {
        std::fprintf(stderr, "inflate failed\n");
        std::exit(1);
      }
      dst.write(obuf.data(), obuf.size() - z.avail_out);
    } while (z.avail_out == 0 && r != Z_STREAM_END);
  }
  inflateEnd(&z);
}

}  // namespace kestrune::bench
