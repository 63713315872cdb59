// Inside the archive engine: the loop that inflates one member's zlib stream in output steps,
// shared by the engine's own extraction and the workers that inflate members ahead of it.
#pragma once
#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "archive/zlib_streams.h"
#include "runtime/exceptions.h"

namespace kestrune {

inline constexpr const char* kSizeMismatch =
    "The decompressed file's size does not match with the actual size of the file.  The file is %s";

// inflate's state, released however the member ends.
struct Inflater {
  z_stream z{};
  bool live = false;
  Inflater() {
    ZlibCheck(inflateInit_(&z, "1.0.4", static_cast<int>(sizeof(z_stream))));
    live = true;
  }
  ~Inflater() {
    if (live) inflateEnd(&z);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
};

// Inflates a member in steps of at most Step bytes. refill(in, size) gives the next input
// (0: none left on this volume); step(data, count, ended) takes each step's output, 0 bytes
// when the input ran out, and returns false to stop; nextVolume() moves the input on to the
// next volume after an empty step, false when there is none. Returns whether the stream came
// to its end. zlib errors raise Exception "error".
template <size_t Step, class Refill, class OnStep, class NextVolume>
bool InflateSteps(uint8_t* in, size_t inSize, Refill&& refill, OnStep&& step, NextVolume&& nextVolume) {
  uint8_t out[Step];
  Inflater inf;
  for (;;) {
    bool ended = false;
    inf.z.next_out = out;
    inf.z.avail_out = Step;
    while (inf.z.avail_out > 0) {
      if (inf.z.avail_in == 0) {
        const size_t got = refill(in, inSize);
        if (got == 0) break;
        inf.z.next_in = in;
        inf.z.avail_in = static_cast<uInt>(got);
      }
      const int result = ZlibCheck(inflate(&inf.z, Z_NO_FLUSH));
      if (result == Z_STREAM_END) {
        ended = true;
        break;
      }
      // A stream that asks for a preset dictionary cannot be a member; inflate would stop
      // there for ever.
      if (result == Z_NEED_DICT) throw Exception("error");
    }
    const size_t produced = Step - inf.z.avail_out;
    if (!step(out, produced, ended) || ended) return ended;
    if (produced == 0) {
      if (!nextVolume()) return false;
      inf.z.avail_in = 0;
    }
  }
}

}  // namespace kestrune
