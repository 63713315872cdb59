// The archive engine: members compressed ahead by worker threads (CompressAhead) and the
// member buffer they and the engine compress into.
#include <algorithm>
#include <mutex>

#include "archive/archive_names.h"
#include "archive/compress_ahead.h"
#include "archive/zlib_streams.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

size_t MemberBuffer::Write(const void* buffer, size_t count) {
  if (!file_ && static_cast<size_t>(memory_.Size()) + count > kInMemory) spill();
  return file_ ? file_->Write(buffer, count) : memory_.Write(buffer, count);
}

void MemberBuffer::spill() {
  try {
    temp_.path = platform::createTempFile("bat");
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {std::string("bat")});
  }
  try {
    file_ = std::make_unique<TFileStream>(temp_.path);
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {temp_.path});
  }
  const std::vector<uint8_t>& bytes = memory_.Bytes();
  if (file_->Write(bytes.data(), bytes.size()) < bytes.size()) throw EWriteError("Stream write error");
  memory_ = TMemoryStream();
}

bool StartsAsProgram(platform::File& file) {
  uint8_t magic[2] = {};
  const size_t got = file.read(magic, sizeof magic);
  file.seek(0, platform::SeekOrigin::Begin);
  return got == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

namespace {

// Ends a worker's job when the job was dropped or the workers stop.
struct Stopped {};

using Lock = std::lock_guard<platform::Mutex>;

}  // namespace

TKstrCompress::Ahead::Ahead(std::vector<std::string> paths, TCompressionLevel level, unsigned workers)
    : level_(level) {
  jobs_.resize(paths.size());
  nextSame_.resize(paths.size());
  for (size_t i = paths.size(); i-- > 0;) {
    auto job = std::make_shared<AheadJob>();
    job->path = std::move(paths[i]);
    const auto [first, added] = first_.emplace(job->path, static_cast<int>(i));
    nextSame_[i] = added ? -1 : first->second;
    first->second = static_cast<int>(i);
    jobs_[i] = std::move(job);
  }
  try {
    for (unsigned i = 0; i < workers; ++i) workers_.push_back(std::make_unique<platform::Thread>([this] { work(); }));
  } catch (const std::exception&) {
    // Fewer workers than asked for (the system would not start more): those started do the work.
  }
}

TKstrCompress::Ahead::~Ahead() {
  {
    Lock lock(mutex_);
    stop_ = true;
    for (auto& job : jobs_)
      if (job) job->dropped = true;
  }
  changed_.notifyAll();
  workers_.clear();  // waits for each
}

void TKstrCompress::Ahead::dropLocked(AheadJob& job) {
  job.dropped = true;
  reserved_ -= job.reserved;
  job.reserved = 0;
}

std::shared_ptr<AheadJob> TKstrCompress::Ahead::take(const std::string& path, TCompressionLevel level) {
  std::shared_ptr<AheadJob> job;
  {
    Lock lock(mutex_);
    const auto found = first_.find(path);
    int at = found == first_.end() ? -1 : found->second;
    while (at >= 0 && static_cast<size_t>(at) < cursor_) at = nextSame_[static_cast<size_t>(at)];
    if (at < 0) return nullptr;
    // The members expected before this one were left out by the caller.
    for (size_t i = cursor_; i < static_cast<size_t>(at); ++i)
      if (jobs_[i]) {
        dropLocked(*jobs_[i]);
        jobs_[i].reset();
      }
    cursor_ = static_cast<size_t>(at) + 1;
    job = std::move(jobs_[cursor_ - 1]);
    changed_.notifyAll();
    if (!job->picked || level != level_) {
      dropLocked(*job);
      return nullptr;
    }
    while (!job->started && !job->done) changed_.wait(mutex_);
    if (!job->started) {
      dropLocked(*job);
      return nullptr;
    }
  }
  // Changed since the worker read it (by a handler of the walk, say): compressed anew.
  const auto now = platform::fileSizeAndDate(path);
  if (!now || now->size != job->stamp.size || now->stamp != job->stamp.stamp) {
    release(*job);
    return nullptr;
  }
  return job;
}

bool TKstrCompress::Ahead::step(AheadJob& job, size_t step, std::pair<int64_t, int64_t>& point) {
  Lock lock(mutex_);
  while (job.points.size() <= step && !job.done) changed_.wait(mutex_);
  if (job.points.size() <= step) return false;
  point = job.points[step];
  return true;
}

void TKstrCompress::Ahead::release(AheadJob& job) {
  {
    Lock lock(mutex_);
    dropLocked(job);
  }
  changed_.notifyAll();
}

void TKstrCompress::Ahead::work() {
  std::vector<uint8_t> input;  // made by the first job (run raises nothing)
  for (;;) {
    std::shared_ptr<AheadJob> job;
    {
      Lock lock(mutex_);
      auto ready = [&] {
        if (stop_) return true;
        next_ = std::max(next_, cursor_);
        while (next_ < jobs_.size() && !jobs_[next_]) ++next_;
        return next_ >= jobs_.size() || (next_ < cursor_ + kWindow && reserved_ < kMemory);
      };
      while (!ready()) changed_.wait(mutex_);
      if (stop_ || next_ >= jobs_.size()) return;
      job = jobs_[next_++];
      job->picked = true;
    }
    run(*job, input);
    changed_.notifyAll();
  }
}

// The same steps as the engine's own compression of a member (compressMember), with the
// progress steps recorded instead of reported.
void TKstrCompress::Ahead::run(AheadJob& job, std::vector<uint8_t>& input) {
  try {
    input.resize(kInputBufferSize);
    const auto stamp = platform::fileSizeAndDate(job.path);
    auto file = stamp ? platform::File::tryOpen(job.path, platform::FileAccess::Read) : std::nullopt;
    if (!file) throw EKstrCompress("Cannot open the file %s", {job.path});
    const bool program = StartsAsProgram(*file);
    {
      Lock lock(mutex_);
      if (job.dropped || stop_) throw Stopped();
      job.stamp = *stamp;
      job.program = program;
      job.reserved = static_cast<size_t>(std::min<int64_t>(stamp->size, MemberBuffer::kInMemory));
      reserved_ += job.reserved;
      job.started = true;
    }
    changed_.notifyAll();
    TFileStream source(std::move(*file), job.path);
    int64_t read = 0;
    {
      TCompressionStream stream(level_, job.data);
      stream.OnProgress = [&](TCustomZlibStream*) {
        if (job.dropped || stop_) throw Stopped();
        {
          Lock lock(mutex_);
          job.points.emplace_back(read, job.data.Size());
        }
        changed_.notifyAll();
      };
      while (size_t n = source.Read(input.data(), input.size())) {
        if (job.dropped || stop_) throw Stopped();
        read += static_cast<int64_t>(n);
        stream.Write(input.data(), n);
      }
      stream.Finish();
    }
    Lock lock(mutex_);
    job.read = read;
    job.done = true;
  } catch (const Stopped&) {
    Lock lock(mutex_);
    job.done = true;
  } catch (...) {
    Lock lock(mutex_);
    job.error = std::current_exception();
    job.done = true;
  }
}

TKstrCompress::CompressAhead::CompressAhead(TKstrCompress& engine, const std::vector<std::string>& names)
    : engine_(engine) {
  if (engine.ahead_ || names.size() < 2) return;
  unsigned workers = engine.CompressThreads < 0 ? platform::processorCount()
                                                : static_cast<unsigned>(engine.CompressThreads);
  if (engine.CompressThreads < 0 && workers < 2) workers = 0;
  workers = std::min(workers, 4u);
  if (workers == 0) return;
  std::vector<std::string> paths;
  paths.reserve(names.size());
  for (const std::string& name : names)
    if (!Trim(name).empty()) paths.push_back(SourceFileOnDisk(FirstListItem(name)));
  engine.ahead_ = std::make_unique<Ahead>(std::move(paths), engine.compressionLevel_, workers);
  owner_ = true;
}

TKstrCompress::CompressAhead::~CompressAhead() {
  if (owner_) engine_.ahead_.reset();
}

}  // namespace kestrune
