// Inside the archive engine: worker threads that inflate the members following the one an
// extraction asks for, while the engine writes that one (TKstrCompress::InflateAhead).
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "archive/cmp_TKstrCompress.h"
#include "platform/threads.h"

namespace kestrune {

// Where a member's compressed data lies in a single-volume archive, and its size.
struct MemberSpan {
  int64_t dataStart = 0;
  int64_t lastByte = -1;
  int64_t originalSize = 0;
};

// Output of a member: whole inflate steps (their sizes in order) in one buffer.
struct InflatedPiece {
  std::vector<uint8_t> bytes;
  std::vector<uint32_t> steps;
};

// One member inflated by a worker. All fields but `dropped` are guarded by the lock of the
// InflateAhead; `error` and `ended` are the caller's once `done` is set.
struct InflateJob {
  explicit InflateJob(int member) : index(member) {}
  const int index;
  bool picked = false;  // a worker has it
  bool ahead = true;    // its output counts against the memory for members not in hand
  bool done = false;    // no more pieces come
  bool ended = false;   // the stream came to its end
  std::exception_ptr error;
  std::deque<InflatedPiece> pieces;
  size_t buffered = 0;  // memory held by its pieces
  std::atomic<bool> dropped{false};
};

class TKstrCompress::InflateAhead {
 public:
  // Members after the one in hand that may be in work at once, the output they may hold,
  // the output held for the member in hand, and the size of a piece.
  static constexpr size_t kWindow = 32;
  static constexpr size_t kMemory = size_t{512} << 10;
  static constexpr size_t kInHand = size_t{256} << 10;
  static constexpr size_t kPiece = size_t{128} << 10;
  static constexpr size_t kSpare = 2;  // piece buffers kept for reuse
  // The workers start with the first member of at least this size.
  static constexpr int64_t kWorthAThread = int64_t{128} << 10;

  // sources: the archive opened once per worker.
  InflateAhead(std::string archive, int64_t offset, std::vector<MemberSpan> members,
               std::vector<std::unique_ptr<TFileStream>> sources);
  // Stops the workers and waits for them.
  ~InflateAhead();
  InflateAhead(const InflateAhead&) = delete;
  InflateAhead& operator=(const InflateAhead&) = delete;

  const std::string& Archive() const { return archive_; }
  int64_t Offset() const { return offset_; }
  // The member at index, in hand from now on (inflated, in work or next for a worker); the
  // members after it are inflated ahead, those between the last one taken and it dropped.
  std::shared_ptr<InflateJob> take(int index);
  // The next piece of the member in hand, into piece (whose buffer, written, serves again);
  // false when no more come.
  bool next(InflateJob& job, InflatedPiece& piece);
  // The caller is done with the member in hand (written, or given up).
  void release(InflateJob& job);

 private:
  void work(TFileStream& source);
  void run(InflateJob& job, TFileStream& source, std::vector<uint8_t>& input, InflatedPiece& piece);
  std::vector<uint8_t> spareLocked();
  // A buffer done with: kept for reuse while there are few, else freed.
  void keepLocked(std::vector<uint8_t>&& bytes);
  // Hands a full piece to the caller once there is room; false when the job was dropped.
  bool publish(InflateJob& job, InflatedPiece& piece);
  void dropLocked(InflateJob& job);
  std::shared_ptr<InflateJob> pickLocked();
  void waitLocked() {
    ++waiting_;
    changed_.wait(mutex_);
    --waiting_;
  }
  // Wakes the waiting threads, if any were waiting when the change was made (under the lock).
  void wake(bool waiting) {
    if (waiting) changed_.notifyAll();
  }

  const std::string archive_;
  const int64_t offset_;
  const std::vector<MemberSpan> members_;
  std::vector<std::unique_ptr<TFileStream>> sources_;
  platform::Mutex mutex_;
  platform::Condition changed_;
  std::shared_ptr<InflateJob> inHand_;
  std::deque<std::shared_ptr<InflateJob>> window_;  // members cursor_, cursor_ + 1, ...
  size_t cursor_ = 0;
  size_t aheadBytes_ = 0;  // output held by the window's members
  std::vector<std::vector<uint8_t>> spare_;
  std::atomic<bool> stop_{false};
  int waiting_ = 0;
  std::vector<std::unique_ptr<platform::Thread>> workers_;
};

}  // namespace kestrune
