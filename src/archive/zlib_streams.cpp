// The compression stream over zlib's deflate.
#include "archive/zlib_streams.h"

namespace kestrune {

int ZlibCheck(int result) {
  if (result < 0) throw Exception("error");
  return result;
}

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case TCompressionLevel::colNone: return 0;
    case TCompressionLevel::colFastest: return 1;
    case TCompressionLevel::colDefault: return -1;
    case TCompressionLevel::colMax: return 9;
  }
  return 9;
}

TCustomZlibStream::TCustomZlibStream(TStream& stream) : strm_(stream), strmPos_(stream.Position()) {}

void TCustomZlibStream::Progress() {
  if (OnProgress) OnProgress(this);
}

TCompressionStream::TCompressionStream(TCompressionLevel level, TStream& dest) : TCustomZlibStream(dest) {
  zstream_.next_out = buffer_.data();
  zstream_.avail_out = kBufferSize;
  // The format's members are zlib 1.0.4 streams; later zlibs accept that version string.
  ZlibCheck(deflateInit_(&zstream_, ZlibLevel(level), "1.0.4", static_cast<int>(sizeof(z_stream))));
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
  }
}

void TCompressionStream::writeBuffer(size_t count) {
  if (count == 0) return;
  if (strm_.Write(buffer_.data(), count) < count) throw EWriteError("Stream write error");
}

size_t TCompressionStream::Write(const void* buffer, size_t count) {
  if (finished_) throw EStreamError("Invalid stream operation");
  zstream_.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
  zstream_.avail_in = static_cast<uInt>(count);
  if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
  while (zstream_.avail_in > 0) {
    ZlibCheck(deflate(&zstream_, Z_NO_FLUSH));
    if (zstream_.avail_out == 0) {
      writeBuffer(kBufferSize);
      zstream_.next_out = buffer_.data();
      zstream_.avail_out = kBufferSize;
      strmPos_ = strm_.Position();
      Progress();
    }
  }
  return count;
}

size_t TCompressionStream::Read(void*, size_t) { throw EStreamError("Invalid stream operation"); }

int64_t TCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == TSeekOrigin::soCurrent) return static_cast<int64_t>(zstream_.total_in);
  throw EStreamError("Invalid stream operation");
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  struct End {
    z_stream* z;
    ~End() { deflateEnd(z); }
  } end{&zstream_};
  zstream_.next_in = nullptr;
  zstream_.avail_in = 0;
  if (strm_.Position() != strmPos_) strm_.SetPosition(strmPos_);
  while (ZlibCheck(deflate(&zstream_, Z_FINISH)) != Z_STREAM_END && zstream_.avail_out == 0) {
    writeBuffer(kBufferSize);
    zstream_.next_out = buffer_.data();
    zstream_.avail_out = kBufferSize;
  }
  writeBuffer(kBufferSize - zstream_.avail_out);
}

}  // namespace kestrune
