// Byte streams over files and memory.
#include "archive/streams.h"

#include <algorithm>
#include <cstring>

#include "runtime/exceptions.h"

namespace kestrune {

int64_t TStream::Size() {
  const int64_t pos = Position();
  const int64_t end = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return end;
}

TFileStream::TFileStream(const std::string& path, platform::FileAccess access)
    : path_(path), file_(platform::File::open(path, access)) {}

TFileStream::TFileStream(const std::string& path) : path_(path), file_(platform::File::create(path)) {}

namespace {

int64_t seekFile(platform::File& file, int64_t offset, TSeekOrigin origin) {
  using platform::SeekOrigin;
  return file.seek(offset, origin == TSeekOrigin::soBeginning ? SeekOrigin::Begin
                           : origin == TSeekOrigin::soCurrent ? SeekOrigin::Current
                                                              : SeekOrigin::End);
}

}  // namespace

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) { return seekFile(file_, offset, origin); }

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) { return seekFile(file_, offset, origin); }

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (pos_ >= static_cast<int64_t>(data_.size())) return 0;
  const size_t n = std::min(count, data_.size() - static_cast<size_t>(pos_));
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += static_cast<int64_t>(n);
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  if (pos_ > (int64_t{1} << 31) || count > (size_t{1} << 31)) throw EWriteError("Stream write error");
  const size_t end = static_cast<size_t>(pos_) + count;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = static_cast<int64_t>(end);
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? pos_ : Size();
  int64_t p = base + offset;
  if (p < 0) throw EStreamError("Stream seek error");
  pos_ = p;
  return pos_;
}

}  // namespace kestrune
