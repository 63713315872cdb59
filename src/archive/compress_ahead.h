// Inside the archive engine: the compressed member buffer and the worker threads that
// compress members ahead of the calls that add them (TKstrCompress::CompressAhead).
#pragma once
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "archive/cmp_TKstrCompress.h"
#include "platform/files.h"
#include "platform/threads.h"

namespace kestrune {

// A temporary member file, deleted when it goes.
struct TempFile {
  std::string path;
  ~TempFile() {
    if (!path.empty()) platform::deleteFile(path);
  }
};

// A compressed member: held in memory up to kInMemory bytes, moved into a temporary file
// when it grows beyond. Most members of an installation are small, and a temporary file
// each costs several file system calls.
class MemberBuffer : public TStream {
 public:
  static constexpr size_t kInMemory = size_t{1} << 20;

  size_t Read(void* buffer, size_t count) override {
    return file_ ? file_->Read(buffer, count) : memory_.Read(buffer, count);
  }
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    return file_ ? file_->Seek(offset, origin) : memory_.Seek(offset, origin);
  }
  int64_t Size() override { return file_ ? file_->Size() : memory_.Size(); }
  // The bytes while they are held in memory; null once they went to a file.
  const std::vector<uint8_t>* InMemory() const { return file_ ? nullptr : &memory_.Bytes(); }

 private:
  void spill();

  TMemoryStream memory_;
  TempFile temp_;  // goes after file_, which closes it first
  std::unique_ptr<TFileStream> file_;
};

// Whether a file starts as a program ("MZ"); leaves it at its start.
bool StartsAsProgram(platform::File& file);

// One member compressed by a worker. The fields up to `points` are written by the worker
// under the Ahead's lock; `read` and `data` are the caller's only once `done` is set.
struct AheadJob {
  std::string path;
  bool picked = false;   // a worker has it
  bool started = false;  // the file is open: stamp and program are set
  platform::FileSizeAndDate stamp;
  bool program = false;
  // The compression stream's progress steps: source bytes read, compressed bytes made.
  std::vector<std::pair<int64_t, int64_t>> points;
  bool done = false;
  std::exception_ptr error;
  size_t reserved = 0;  // memory counted against the limit of the Ahead
  std::atomic<bool> dropped{false};
  int64_t read = 0;
  MemberBuffer data;
};

class TKstrCompress::Ahead {
 public:
  // Members not taken yet that may be in work at once, and the memory they may hold.
  static constexpr size_t kWindow = 16;
  static constexpr size_t kMemory = size_t{4} << 20;

  // paths: the files on disk, in the order expected.
  Ahead(std::vector<std::string> paths, TCompressionLevel level, unsigned workers);
  // Stops the workers and waits for them; what was not taken is deleted.
  ~Ahead();
  Ahead(const Ahead&) = delete;
  Ahead& operator=(const Ahead&) = delete;

  // The member for path compressed (or in work) ahead, when the path is expected from here
  // on and its file is still the one read; the members expected before it are dropped. Null
  // when the caller compresses it itself: not expected, not begun by a worker yet, another
  // level, the file changed since, or a worker that failed before opening it.
  std::shared_ptr<AheadJob> take(const std::string& path, TCompressionLevel level);
  // The job's progress step number `step` once the worker made it; empty when the job ended
  // before it.
  bool step(AheadJob& job, size_t step, std::pair<int64_t, int64_t>& point);
  // The caller is done with the job: its memory no longer counts.
  void release(AheadJob& job);

 private:
  void work();
  void run(AheadJob& job, std::vector<uint8_t>& input);
  void dropLocked(AheadJob& job);

  const TCompressionLevel level_;
  platform::Mutex mutex_;
  platform::Condition changed_;
  std::vector<std::shared_ptr<AheadJob>> jobs_;  // by plan position; empty once taken or dropped
  // The first plan position of each path, and for each position the next one of its path.
  std::unordered_map<std::string, int> first_;
  std::vector<int> nextSame_;
  size_t cursor_ = 0;  // the plan position expected next
  size_t next_ = 0;    // the next position for a worker
  size_t reserved_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<std::unique_ptr<platform::Thread>> workers_;
};

}  // namespace kestrune
