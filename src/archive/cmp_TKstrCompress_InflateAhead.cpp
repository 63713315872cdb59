// The archive engine: members inflated ahead by worker threads while the engine writes the
// member before them. An installation extracts one member per call, in the order in which
// the build added them, so the members after the one asked for are the likely next ones.
#include <algorithm>
#include <mutex>
#include <utility>

#include "archive/inflate_ahead.h"
#include "archive/inflate_steps.h"
#include "platform/system.h"
#include "runtime/process_messages.h"

namespace kestrune {

namespace {

using Lock = std::lock_guard<platform::Mutex>;

// Ends a worker's job when the job was dropped or the workers stop.
struct Stopped {};

}  // namespace

TKstrCompress::InflateAhead::InflateAhead(std::string archive, int64_t offset, std::vector<MemberSpan> members,
                                          std::vector<std::unique_ptr<TFileStream>> sources)
    : archive_(std::move(archive)), offset_(offset), members_(std::move(members)), sources_(std::move(sources)) {
  try {
    for (auto& source : sources_)
      workers_.push_back(std::make_unique<platform::Thread>([this, s = source.get()] { work(*s); }));
  } catch (const std::exception&) {
    // Fewer workers than asked for (the system would not start more): those started do the work.
  }
}

TKstrCompress::InflateAhead::~InflateAhead() {
  {
    Lock lock(mutex_);
    stop_ = true;
    if (inHand_) inHand_->dropped = true;
    for (auto& job : window_) job->dropped = true;
  }
  changed_.notifyAll();
  workers_.clear();  // waits for each
}

void TKstrCompress::InflateAhead::dropLocked(InflateJob& job) {
  job.dropped = true;
  if (job.ahead) aheadBytes_ -= job.buffered;
  job.ahead = false;
  for (InflatedPiece& piece : job.pieces) keepLocked(std::move(piece.bytes));
  job.pieces.clear();
  job.buffered = 0;
}

std::shared_ptr<InflateJob> TKstrCompress::InflateAhead::take(int index) {
  std::shared_ptr<InflateJob> job;
  bool waiting;
  {
    Lock lock(mutex_);
    if (inHand_) dropLocked(*inHand_);
    const size_t at = static_cast<size_t>(index);
    if (at >= cursor_ && at < cursor_ + window_.size()) {
      // The members before it were left out by the caller.
      for (; cursor_ < at; ++cursor_, window_.pop_front()) dropLocked(*window_.front());
      job = std::move(window_.front());
      window_.pop_front();
      aheadBytes_ -= job->buffered;
      job->ahead = false;
    } else {
      for (auto& other : window_) dropLocked(*other);
      window_.clear();
      job = std::make_shared<InflateJob>(index);
      job->ahead = false;
    }
    cursor_ = at + 1;
    inHand_ = job;
    while (window_.size() < kWindow && cursor_ + window_.size() < members_.size())
      window_.push_back(std::make_shared<InflateJob>(static_cast<int>(cursor_ + window_.size())));
    waiting = waiting_ > 0;
  }
  wake(waiting);
  return job;
}

bool TKstrCompress::InflateAhead::next(InflateJob& job, InflatedPiece& piece) {
  bool waiting;
  {
    Lock lock(mutex_);
    keepLocked(std::move(piece.bytes));
    while (job.pieces.empty() && !job.done) waitLocked();
    if (job.pieces.empty()) return false;
    piece = std::move(job.pieces.front());
    job.pieces.pop_front();
    job.buffered -= piece.bytes.capacity();
    waiting = waiting_ > 0;
  }
  wake(waiting);
  return true;
}

void TKstrCompress::InflateAhead::release(InflateJob& job) {
  bool waiting;
  {
    Lock lock(mutex_);
    if (inHand_.get() != &job) return;
    dropLocked(job);
    inHand_.reset();
    waiting = waiting_ > 0;
  }
  wake(waiting);
}

// A piece buffer: one written before, else a new one. The buffers go round instead of back to
// the heap, where pieces freed by one thread and made by another left it fragmented.
std::vector<uint8_t> TKstrCompress::InflateAhead::spareLocked() {
  std::vector<uint8_t> bytes;
  if (!spare_.empty()) {
    bytes = std::move(spare_.back());
    spare_.pop_back();
  }
  bytes.clear();
  bytes.reserve(kPiece);
  return bytes;
}

void TKstrCompress::InflateAhead::keepLocked(std::vector<uint8_t>&& bytes) {
  if (bytes.capacity() >= kPiece && spare_.size() < kSpare) spare_.push_back(std::move(bytes));
}

// The member in hand first, then the window's in order while their output has room.
std::shared_ptr<InflateJob> TKstrCompress::InflateAhead::pickLocked() {
  if (inHand_ && !inHand_->picked && !inHand_->dropped) return inHand_;
  if (aheadBytes_ >= kMemory) return nullptr;
  for (auto& job : window_)
    if (!job->picked) return job;
  return nullptr;
}

void TKstrCompress::InflateAhead::work(TFileStream& source) {
  std::vector<uint8_t> input(kInputBufferSize);
  InflatedPiece piece;
  for (;;) {
    std::shared_ptr<InflateJob> job;
    {
      Lock lock(mutex_);
      while (!stop_ && !(job = pickLocked())) waitLocked();
      if (stop_) return;
      job->picked = true;
      if (piece.bytes.capacity() < kPiece) piece.bytes = spareLocked();
    }
    run(*job, source, input, piece);
  }
}

bool TKstrCompress::InflateAhead::publish(InflateJob& job, InflatedPiece& piece) {
  bool waiting;
  {
    Lock lock(mutex_);
    for (;;) {
      if (job.dropped || stop_) return false;
      if (inHand_.get() == &job ? job.buffered < kInHand : aheadBytes_ < kMemory) break;
      waitLocked();
    }
    // A small member's output goes in a buffer of its own size: the window may hold dozens.
    if (piece.bytes.capacity() >= kPiece && piece.bytes.size() < kPiece / 4) {
      std::vector<uint8_t> exact(piece.bytes.begin(), piece.bytes.end());
      keepLocked(std::move(piece.bytes));
      piece.bytes = std::move(exact);
    }
    // The memory held is counted, not the bytes: a member's last piece fills part of its buffer.
    job.buffered += piece.bytes.capacity();
    if (job.ahead) aheadBytes_ += piece.bytes.capacity();
    job.pieces.push_back(std::move(piece));
    piece = InflatedPiece();
    piece.bytes = spareLocked();
    waiting = waiting_ > 0;
  }
  wake(waiting);
  return true;
}

// The same loop as the engine's own extraction of a member (decompress) on a single
// volume, with the steps collected into pieces instead of written and reported.
void TKstrCompress::InflateAhead::run(InflateJob& job, TFileStream& source, std::vector<uint8_t>& input,
                                      InflatedPiece& piece) {
  piece.bytes.clear();
  piece.steps.clear();
  bool ended = false;
  std::exception_ptr error;
  try {
    const MemberSpan& m = members_[static_cast<size_t>(job.index)];
    int64_t pos = offset_ + m.dataStart;
    source.SetPosition(pos);
    int64_t produced = 0;
    auto refill = [&](uint8_t* in, size_t size) -> size_t {
      const int64_t left = offset_ + m.lastByte + 1 - pos;
      const size_t want = left <= 0 ? 0 : static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(size)));
      const size_t got = want ? source.Read(in, want) : 0;
      pos += static_cast<int64_t>(got);
      return got;
    };
    auto step = [&](const uint8_t* data, size_t count, bool) {
      if (job.dropped || stop_) throw Stopped();
      piece.bytes.insert(piece.bytes.end(), data, data + count);
      piece.steps.push_back(static_cast<uint32_t>(count));
      produced += static_cast<int64_t>(count);
      // More output than the header promises: the engine refuses the member at this step.
      if (produced > m.originalSize) return false;
      if (piece.bytes.size() + kOutputStep > kPiece && !publish(job, piece)) throw Stopped();
      return true;
    };
    ended = InflateSteps<kOutputStep>(input.data(), input.size(), refill, step, [] { return false; });
  } catch (const Stopped&) {
  } catch (...) {
    error = std::current_exception();
  }
  // The steps made before an error are the engine's to report before it raises the error.
  if (!piece.steps.empty()) publish(job, piece);
  bool waiting;
  {
    Lock lock(mutex_);
    job.ended = ended;
    job.error = error;
    job.done = true;
    waiting = waiting_ > 0;
  }
  wake(waiting);
}

// ---- the engine's side ----

TKstrCompress::InflateAhead* TKstrCompress::inflateAhead() {
  if (!run_.aheadWanted || headers_.Spanned || !run_.volume) return nullptr;
  if (run_.ahead && run_.ahead->Archive() == run_.volumeName && run_.ahead->Offset() == offset_)
    return run_.ahead.get();
  run_.ahead.reset();
  if (run_.aheadRefused == run_.volumeName) return nullptr;
  // The calling thread is busy too (it writes, and does the installation's work per file):
  // one processor is left to it.
  unsigned workers =
      ExtractThreads < 0 ? std::max(platform::processorCount(), 1u) - 1 : static_cast<unsigned>(ExtractThreads);
  workers = std::min(workers, 4u);
  std::vector<std::unique_ptr<TFileStream>> sources;
  for (unsigned i = 0; i < workers; ++i) {
    auto file = platform::File::tryOpen(run_.volumeName, platform::FileAccess::Read);
    if (!file) break;
    sources.push_back(std::make_unique<TFileStream>(std::move(*file), run_.volumeName));
  }
  if (sources.empty()) {
    run_.aheadRefused = run_.volumeName;
    return nullptr;
  }
  std::vector<MemberSpan> spans;
  spans.reserve(static_cast<size_t>(headers_.Count()));
  for (int i = 0; i < headers_.Count(); ++i) {
    const TFileHeader& h = std::as_const(headers_).FileHeaders(i);
    spans.push_back({h.DataStart(), h.LastByte(), h.OriginalSize()});
  }
  run_.ahead = std::make_unique<InflateAhead>(run_.volumeName, offset_, std::move(spans), std::move(sources));
  return run_.ahead.get();
}

bool TKstrCompress::extractAhead(int index, const TFileHeader& header, platform::File& out) {
  // Small members take far less time to inflate than to be written and put in place: until
  // a larger one comes, they are inflated here, without a worker thread and its memory.
  if (!run_.ahead && header.OriginalSize() < InflateAhead::kWorthAThread) return false;
  InflateAhead* ahead = inflateAhead();
  if (!ahead) return false;
  checkSpan(header);
  const std::shared_ptr<InflateJob> job = ahead->take(index);
  struct Release {
    InflateAhead& ahead;
    InflateJob& job;
    ~Release() { ahead.release(job); }
  } release{*ahead, *job};
  int64_t written = 0;
  InflatedPiece piece;
  while (ahead->next(*job, piece)) {
    for (const uint32_t count : piece.steps) {
      checkAbort();
      ProcessMessages();
      written += count;
      if (written > header.OriginalSize()) throw EKstrCompress(kSizeMismatch, {header.FileName()});
      stepStatus(count);
    }
    writeAll(out, piece.bytes.data(), piece.bytes.size());
  }
  if (job->error) std::rethrow_exception(job->error);
  endMember(header, written, job->ended, out);
  return true;
}

}  // namespace kestrune
