// Byte streams: the abstract stream that the compression stream and the header table
// work through, a stream over a file and a stream over memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

namespace kestrune {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; returns the bytes read.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes up to count bytes; returns the bytes written (fewer when the medium is full).
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Moves the position; returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
};

// A file opened through the platform layer; errors raise PlatformError.
class TFileStream : public TStream {
 public:
  // Opens an existing file with sharing allowed.
  TFileStream(const std::string& path, platform::FileAccess access);
  // Creates (or truncates) a file.
  explicit TFileStream(const std::string& path);
  // Takes over an open file.
  TFileStream(platform::File file, std::string path) : path_(std::move(path)), file_(std::move(file)) {}
  size_t Read(void* buffer, size_t count) override { return file_.read(buffer, count); }
  size_t Write(const void* buffer, size_t count) override { return file_.write(buffer, count); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return file_.size(); }
  const std::string& FileName() const { return path_; }
  platform::File& Handle() { return file_; }

 private:
  std::string path_;
  platform::File file_;
};

// A stream over a file that stays its owner's (an output still under its temporary name).
class THandleStream : public TStream {
 public:
  explicit THandleStream(platform::File& file) : file_(file) {}
  size_t Read(void* buffer, size_t count) override { return file_.read(buffer, count); }
  size_t Write(const void* buffer, size_t count) override { return file_.write(buffer, count); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return file_.size(); }

 private:
  platform::File& file_;
};

// A stream over a growable byte buffer.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  const std::vector<uint8_t>& Bytes() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

}  // namespace kestrune
