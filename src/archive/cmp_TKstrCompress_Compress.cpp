// The archive engine: adding files to an archive. Each member is compressed first (in
// memory while it is small, else into a temporary file) and then copied into the archive
// with its header; a member that fails half-way is cut off again.
#include <limits>
#include <optional>

#include "archive/cmp_TKstrCompress.h"
#include "archive/compress_ahead.h"
#include "archive/cmp_TVersion.h"
#include "archive/zlib_streams.h"
#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace af = archive_format;

// One CompressFiles call. Appending works on the archive itself; a new archive is written
// beside the old one (which stays until the new one is complete) and replaces it at the
// end.
class TKstrCompress::Compression {
 public:
  Compression(TKstrCompress& engine, bool append, int32_t uniqueId)
      : e_(engine), append_(append), uniqueId_(uniqueId), held_(std::move(engine.appendArchive_)) {}

  void run() {
    const bool tableKnown = begin();
    if (append_ && (tableKnown || platform::fileExists(e_.compressedFile_)))
      openForAppend(tableKnown);
    else
      createFresh();
    e_.headers_.SaveToStream(*archive_);
    archive_->Seek(0, TSeekOrigin::soEnd);
    e_.headers_.GetTotals(e_.status_);
    e_.status_.TotalCompressed = 0;
    addMembers();
    if (fresh_) e_.commitFresh(*fresh_);
    completed_ = true;
  }
  // Runs however the call ended.
  void finish();

 private:
  // Starts the operation; true when the table in memory is the archive's (see
  // writtenArchive_), so that an append need not read it back.
  bool begin();
  void openForAppend(bool tableKnown);
  // Every input is opened before the new archive is begun.
  void createFresh();
  void addMembers();
  // An archive that ends early keeps the members written completely: its head counts only
  // those and the file ends after the last of them.
  void cutBack();

  TKstrCompress& e_;
  const bool append_;
  const int32_t uniqueId_;
  // The archive the last append left open (see appendArchive_); used only while the table
  // in memory is still its table, closed otherwise.
  std::unique_ptr<TFileStream> held_;
  std::unique_ptr<TFileStream> existing_;
  std::optional<platform::PendingFile> fresh_;
  std::unique_ptr<THandleStream> freshStream_;
  TStream* archive_ = nullptr;
  platform::File* archiveFile_ = nullptr;
  int committed_ = 0;
  bool completed_ = false;
  int64_t committedEnd_ = static_cast<int64_t>(af::kHeadSize);
};

bool TKstrCompress::Compression::begin() {
  e_.abort_ = false;
  e_.operation_ = TKstrOperation::koCompressing;
  e_.offset_ = 0;
  e_.cached_ = false;
  // Asked by name: an archive held open that was deleted or replaced since is not taken.
  const auto facts = append_ ? platform::fileSizeAndDate(e_.compressedFile_) : std::nullopt;
  const bool tableKnown = facts && e_.writtenArchive_ == e_.compressedFile_ && facts->size == e_.writtenSize_ &&
                          facts->date == e_.writtenDate_ && !e_.headers_.Spanned;
  if (!tableKnown) held_.reset();
  e_.writtenArchive_.clear();
  e_.headers_.Spanned = 0;
  return tableKnown;
}

void TKstrCompress::Compression::openForAppend(bool tableKnown) {
  if (held_) {
    existing_ = std::move(held_);
  } else {
    auto file = platform::File::tryOpen(e_.compressedFile_, platform::FileAccess::ReadWrite);
    if (!file) throw EKstrCompress("Cannot create the file %s", {e_.compressedFile_});
    existing_ = std::make_unique<TFileStream>(std::move(*file), e_.compressedFile_);
  }
  if (!tableKnown) e_.headers_.LoadFromStream(*existing_, 0);
  if (e_.headers_.Spanned) throw EKstrCompress("Cannot add files to the spanned archive %s", {e_.compressedFile_});
  committed_ = e_.headers_.Count();
  committedEnd_ = existing_->Size();
  archive_ = existing_.get();
  archiveFile_ = &existing_->Handle();
  e_.headers_.AddFiles(*e_.filesToProcess_, true);
}

void TKstrCompress::Compression::createFresh() {
  e_.headers_.AddFiles(*e_.filesToProcess_, false);
  try {
    const std::string dir = ExtractFileDir(e_.compressedFile_);
    if (!dir.empty()) platform::forceDirectories(dir);
    fresh_.emplace(e_.compressedFile_);
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {e_.compressedFile_});
  }
  freshStream_ = std::make_unique<THandleStream>(fresh_->file());
  archive_ = freshStream_.get();
  archiveFile_ = &fresh_->file();
}

void TKstrCompress::Compression::addMembers() {
  // A call of several files compresses them ahead (unless a scope of the caller does).
  std::vector<std::string> ahead;
  for (int i = committed_; i < e_.headers_.Count(); ++i)
    if (!e_.headers_.FileHeaders(i).InArchive) ahead.push_back(e_.headers_.SourcePath(i));
  CompressAhead compressAhead(e_, ahead);
  try {
    // The headers before committed_ are the archive's own members.
    for (int i = committed_; i < e_.headers_.Count(); ++i) {
      if (e_.headers_.FileHeaders(i).InArchive) continue;
      e_.compressMember(*archive_, i, uniqueId_);
      committed_ = i + 1;
      committedEnd_ = archive_->Position();
    }
  } catch (const EAbort&) {
    // A cancelled build keeps what it finished, as an archive of its own.
    cutBack();
    if (fresh_) e_.commitFresh(*fresh_);
    throw;
  } catch (const EkcAborted&) {
    cutBack();
    if (fresh_) e_.commitFresh(*fresh_);
    throw;
  } catch (...) {
    // A failed new archive leaves the old one as it was; a failed append cuts the archive
    // back to its complete members.
    if (existing_) {
      try {
        cutBack();
      } catch (const std::exception&) {
      }
    }
    throw;
  }
}

void TKstrCompress::Compression::cutBack() {
  e_.headers_.TruncateTo(committed_);
  e_.headers_.SaveToStream(*archive_);
  archive_->SetPosition(committedEnd_);
  archiveFile_->truncate();
}

// No header needs marking as in the archive: once the call has completed, each was read
// from it or compressed into it (compressMember marks those).
void TKstrCompress::Compression::finish() {
  e_.sourceFile_ = nullptr;
  e_.destFile_ = nullptr;
  e_.cached_ = false;
  freshStream_.reset();
  fresh_.reset();
  held_.reset();
  // The next append to this archive (a build adds one file per call) takes it as it is.
  if (completed_ && e_.holds_ > 0) e_.appendArchive_ = std::move(existing_);
  existing_.reset();
  e_.filesToProcess_->Clear();
  if (!completed_) return;
  if (const auto now = platform::fileSizeAndDate(e_.compressedFile_)) {
    e_.writtenArchive_ = e_.compressedFile_;
    e_.writtenSize_ = now->size;
    e_.writtenDate_ = now->date;
  }
}

void TKstrCompress::CompressFiles(bool append, int32_t uniqueId) {
  // The archive kept open for extracting may be the one written here; one kept open by
  // the append before is taken over by this one.
  closeExtraction();
  Compression compression(*this, append, uniqueId);
  runGuarded(true, [&] { compression.run(); }, [&] { compression.finish(); });
}

void TKstrCompress::commitFresh(platform::PendingFile& file) {
  try {
    file.commit();
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {file.target()});
  }
}

void TKstrCompress::compressMember(TStream& archive, int index, int32_t uniqueId) {
  // The header changes through the table, which keeps its totals with it.
  const TFileHeader& header = headers_.FileHeaders(index);
  const std::string sourcePath = headers_.SourcePath(index).empty() ? header.FileName() : headers_.SourcePath(index);
  // Compressed ahead by a worker (CompressAhead), or here.
  std::shared_ptr<AheadJob> job = ahead_ ? ahead_->take(sourcePath, compressionLevel_) : nullptr;
  struct Release {
    Ahead* ahead;
    AheadJob* job;
    ~Release() {
      if (job) ahead->release(*job);
    }
  } release{ahead_.get(), job.get()};
  std::optional<platform::File> sourceFile;
  if (!job) {
    sourceFile = platform::File::tryOpen(sourcePath, platform::FileAccess::Read);
    if (!sourceFile) throw EKstrCompress("Cannot open the file %s", {sourcePath});
  }
  // Version resources live in program files, which start with "MZ"; other files are not
  // handed to the version reader (under Wine it loads each file it is given).
  if (job ? job->program : StartsAsProgram(*sourceFile)) {
    const std::string version = ModuleVersionResource().FileVersionOf(sourcePath);
    headers_.ChangeHeader(index, [&](TFileHeader& h) { h.SetFileVersion(version); });
  }
  MemberBuffer own;
  MemberBuffer& dest = job ? job->data : own;

  status_.FillFromHeader(header);
  status_.FileCompressed = 0;
  if (OnBeforeAdding) OnBeforeAdding(this, status_);

  int64_t read = 0;
  if (job) {
    // The worker's progress steps as it makes them, then its error if it had one.
    std::pair<int64_t, int64_t> point;
    for (size_t step = 0; ahead_->step(*job, step, point); ++step) addStatus(point.first, point.second);
    if (job->error) std::rethrow_exception(job->error);
    read = job->read;
  } else {
    TFileStream source(std::move(*sourceFile), sourcePath);
    sourceFile_ = &source;
    destFile_ = &dest;
    if (inBuffer_.size() < kInputBufferSize) inBuffer_.resize(kInputBufferSize);
    {
      auto stream = std::make_unique<TCompressionStream>(compressionLevel_, dest);
      stream->OnProgress = [this](TCustomZlibStream*) { AddStatus(); };
      while (size_t n = source.Read(inBuffer_.data(), kInputBufferSize)) stream->Write(inBuffer_.data(), n);
      stream->Finish();
    }
    read = source.Position();
    sourceFile_ = nullptr;
    destFile_ = nullptr;
  }
  status_.FileCompressed = dest.Size();
  status_.FileRatio = PercentOf(status_.FileCompressed, status_.FileSize);
  status_.Finished = 1;
  addStatus(read, status_.FileCompressed);
  status_.Finished = 0;

  // The member's header, complete, then its data. A member that fails half-way (a full
  // disk, an abort) is cut off again with everything after the last complete member.
  const int64_t headerPos = archive.Position();
  const int64_t compressed = dest.Size();
  const int64_t end = headerPos + static_cast<int64_t>(af::kHeaderSize) + compressed;
  if (end > std::numeric_limits<int32_t>::max())
    throw EKstrCompress("The compressed file %s would grow beyond 2 GB", {compressedFile_});
  headers_.ChangeHeader(index, [&](TFileHeader& h) {
    h.SetDataStart(static_cast<int32_t>(headerPos + static_cast<int64_t>(af::kHeaderSize)));
    h.SetLastByte(static_cast<int32_t>(end - 1));
    h.SetNextHeader(static_cast<int32_t>(end));
    h.SetCompressedSize(static_cast<int32_t>(compressed));
    h.SetUniqueID(uniqueId);
  });
  if (const std::vector<uint8_t>* bytes = dest.InMemory()) {
    // One write for header and data.
    memberBuffer_.assign(header.Bytes.begin(), header.Bytes.end());
    memberBuffer_.insert(memberBuffer_.end(), bytes->begin(), bytes->end());
    writeAll(archive, memberBuffer_.data(), memberBuffer_.size());
  } else {
    if (inBuffer_.size() < kInputBufferSize) inBuffer_.resize(kInputBufferSize);
    writeAll(archive, header.Bytes.data(), af::kHeaderSize);
    dest.SetPosition(0);
    int64_t copied = 0;
    while (size_t n = dest.Read(inBuffer_.data(), kInputBufferSize)) {
      writeAll(archive, inBuffer_.data(), n);
      copied += static_cast<int64_t>(n);
    }
    if (copied != compressed) DoFullDisk();
  }
  status_.TotalCompressed += compressed;
  if (uniqueId >= 0 && uniqueId < af::kUniqueIdSlots) uniqueIndex_[static_cast<size_t>(uniqueId)] = index;
  headers_.ChangeHeader(index, [](TFileHeader& h) { h.InArchive = true; });
  status_.Header = header;

  if (OnAfterAdding) OnAfterAdding(this, status_);
}

}  // namespace kestrune
