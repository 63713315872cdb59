// The compression stream: a write-only stream that deflates everything written to it into
// another stream through zlib, with a 65,536-byte output buffer and a progress call per
// full buffer. Decompression needs no stream class; the archive engine drives inflate.
#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include <zlib.h>

#include "archive/archive_types.h"
#include "archive/streams.h"
#include "runtime/exceptions.h"

namespace kestrune {

// zlib results below zero raise Exception "error"; others are returned.
int ZlibCheck(int result);
// The zlib level of a compression level: 0, 1, -1 (library default), 9.
int ZlibLevel(TCompressionLevel level);

class TCustomZlibStream : public TStream {
 public:
  static constexpr size_t kBufferSize = 65536;
  std::function<void(TCustomZlibStream* sender)> OnProgress;

 protected:
  explicit TCustomZlibStream(TStream& stream);
  virtual void Progress();

  TStream& strm_;
  int64_t strmPos_;
  z_stream zstream_{};
  std::array<uint8_t, kBufferSize> buffer_;
};

class TCompressionStream : public TCustomZlibStream {
 public:
  // Remembers the destination and its position and initialises deflate at the level.
  TCompressionStream(TCompressionLevel level, TStream& dest);
  // Finishes the stream if Finish was not called; errors there are swallowed, so callers
  // that must know call Finish.
  ~TCompressionStream() override;
  TCompressionStream(const TCompressionStream&) = delete;
  TCompressionStream& operator=(const TCompressionStream&) = delete;

  // Compresses the bytes; reports all of them as taken.
  size_t Write(const void* buffer, size_t count) override;
  // Raises "Invalid stream operation".
  size_t Read(void* buffer, size_t count) override;
  // Only offset 0 from the current position: returns the uncompressed bytes taken so far.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Writes the end of the zlib stream and releases deflate, also when writing fails.
  void Finish();

 private:
  void writeBuffer(size_t count);
  bool finished_ = false;
};

}  // namespace kestrune
