// The archive engine: copying an archive onto a set of volumes (floppy transfer) and
// copying plain files under the overwrite rules.
#include <algorithm>
#include <optional>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/sysutils.h"

namespace kestrune {

// One SpanToDisks call: the archive copied member by member onto volumes, each written
// under a temporary name until it is full or the last, and volume 1 opened again at the
// end for the final table.
class TKstrCompress::Spanning {
 public:
  Spanning(TKstrCompress& engine, const std::string& destDir, const std::string& fileName)
      : e_(engine), dir_(destDir), leaf_(ExtractFileName(fileName)) {}

  void run() {
    begin();
    for (int i = 0; i < e_.headers_.Count(); ++i)
      e_.headers_.ChangeHeader(i, [&](TFileHeader& header) { copyMember(header); });
    endVolume();
    writeFinalTable();
    complete_ = true;
  }
  // Runs however the call ended: a set that was not finished is taken away again.
  void finish();

 private:
  void begin();
  void copyMember(TFileHeader& header);
  // Writes what a full volume did not take onto the next one.
  void nextVolume(const uint8_t* rest, size_t count);
  void beginVolume(const std::string& name);
  void endVolume();
  // The final table goes into volume 1, which may have to be inserted again. It takes the
  // place of the provisional one, so it needs no room.
  void writeFinalTable();

  TKstrCompress& e_;
  // The folder of the volume being written or asked for.
  std::string dir_;
  const std::string leaf_;
  std::string firstVolume_;
  std::unique_ptr<TFileStream> source_;
  std::optional<platform::PendingFile> pending_;
  std::unique_ptr<THandleStream> volume_;
  int64_t volumePos_ = 0;
  std::vector<std::string> made_;  // the volumes put in place
  std::unique_ptr<TFileStream> first_;
  std::vector<uint8_t> buffer_;
  bool complete_ = false;
};

void TKstrCompress::Spanning::begin() {
  e_.abort_ = false;
  if (!e_.cached_) e_.ReadHeaders();
  if (e_.headers_.Spanned) throw EKstrCompress("The compressed file %s is spanned already", {e_.compressedFile_});
  e_.currentDisk_ = 1;
  e_.headers_.Spanned = 1;
  e_.headers_.GetTotals(e_.status_);
  // Reading is all the copy needs; an archive on a read-only medium can be spanned.
  auto file = platform::File::tryOpen(e_.compressedFile_, platform::FileAccess::Read);
  if (!file) throw EKstrCompress("Cannot open the compressed file %s", {e_.compressedFile_});
  source_ = std::make_unique<TFileStream>(std::move(*file), e_.compressedFile_);
  firstVolume_ = JoinPath(dir_, leaf_);
  beginVolume(firstVolume_);
  e_.headers_.SaveToStream(*volume_);
  volumePos_ = volume_->Position();
  buffer_.resize(kCopyBufferSize);
}

void TKstrCompress::Spanning::copyMember(TFileHeader& header) {
  TlzhFileStats& status = e_.status_;
  status.FillFromHeader(header);
  const int64_t from = static_cast<int64_t>(e_.offset_) + header.DataStart();
  int64_t remaining = static_cast<int64_t>(header.LastByte()) - header.DataStart() + 1;
  source_->SetPosition(from);
  header.SetDataStart(static_cast<int32_t>(volumePos_));
  header.SetStartDisk(static_cast<uint8_t>(e_.currentDisk_));
  while (remaining > 0) {
    e_.checkAbort();
    const size_t want = static_cast<size_t>(std::min<int64_t>(remaining, kCopyBufferSize));
    const size_t got = source_->Read(buffer_.data(), want);
    if (got == 0) throw EKstrCompress("The compressed file %s is truncated", {e_.compressedFile_});
    ProcessMessages();
    const size_t put = volume_->Write(buffer_.data(), got);
    volumePos_ += static_cast<int64_t>(put);
    if (put < got) nextVolume(buffer_.data() + put, got - put);
    remaining -= static_cast<int64_t>(got);
    status.FileDone += static_cast<int64_t>(got);
    status.TotalDone += static_cast<int64_t>(got);
    status.FilePercent = PercentOf(status.FileDone, status.FileCompressed);
    status.TotalPercent = PercentOf(status.TotalDone, status.TotalCompressed);
    e_.status();
  }
  header.SetLastByte(static_cast<int32_t>(volumePos_ - 1));
  header.SetEndDisk(static_cast<uint8_t>(e_.currentDisk_));
}

void TKstrCompress::Spanning::nextVolume(const uint8_t* rest, size_t count) {
  endVolume();
  ++e_.currentDisk_;
  // Volume numbers are stored in one byte.
  if (e_.currentDisk_ > 255) throw EKstrCompress("There are too many disks for one archive");
  if (!e_.OnNewDisk)
    throw EKstrCompress("There was no event handler for the OnNewDisk event, therefore no new disk could be inserted");
  e_.OnNewDisk(&e_, e_.currentDisk_, dir_);
  beginVolume(JoinPath(dir_, VolumeName(leaf_, e_.currentDisk_)));
  if (volume_->Write(rest, count) < count) throw EKstrCompress("There is too little space on this disk to operate");
  volumePos_ = static_cast<int64_t>(count);
}

void TKstrCompress::Spanning::beginVolume(const std::string& name) {
  try {
    pending_.emplace(name);
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {name});
  }
  volume_ = std::make_unique<THandleStream>(pending_->file());
}

void TKstrCompress::Spanning::endVolume() {
  volume_.reset();
  const std::string name = pending_->target();
  try {
    pending_->commit();
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {name});
  }
  pending_.reset();
  made_.push_back(name);
}

void TKstrCompress::Spanning::writeFinalTable() {
  std::string name = firstVolume_;
  if (platform::fileExists(name)) {
    auto reopened = platform::File::tryOpen(name, platform::FileAccess::ReadWrite);
    if (!reopened) throw EKstrCompress("Cannot open the compressed file %s", {name});
    first_ = std::make_unique<TFileStream>(std::move(*reopened), name);
  } else {
    e_.OpenVolume(first_, 1, platform::FileAccess::ReadWrite, name);
  }
  e_.headers_.SaveToStream(*first_);
  first_->Handle().flush();
}

void TKstrCompress::Spanning::finish() {
  source_.reset();
  volume_.reset();
  pending_.reset();
  first_.reset();
  // A set that was not finished is of no use: its volumes go, each from a folder of its
  // own. A volume whose folder a later volume (or the disk asked for) shares stays: that is
  // one drive whose disks were swapped, and the file of its name now in the drive may be
  // another disk's.
  if (!complete_) {
    const std::string asked = ExtractFileDir(JoinPath(dir_, "x"));
    for (size_t i = 0; i < made_.size(); ++i) {
      const std::string folder = ExtractFileDir(made_[i]);
      bool shared = SameText(folder, asked);
      for (size_t j = i + 1; j < made_.size() && !shared; ++j) shared = SameText(folder, ExtractFileDir(made_[j]));
      if (!shared) platform::deleteFile(made_[i]);
    }
  }
  // The table now describes the volumes, not CompressedFile.
  e_.cached_ = false;
}

void TKstrCompress::SpanToDisks(const std::string& destDir, const std::string& fileName) {
  CloseArchive();
  writtenArchive_.clear();
  Spanning spanning(*this, destDir, fileName);
  runGuarded(false, [&] { spanning.run(); }, [&] { spanning.finish(); });
}

void TKstrCompress::CopyUncompressed(const std::string& sourcePath, const std::string& destPath) {
  CloseArchive();
  abort_ = false;
  // A copy starts from its own settings and leaves none behind: a skip left by an earlier
  // handler does not apply to it, and its target name is not the next extraction's.
  SkipCurrent = false;
  struct ClearName {
    std::string& name;
    ~ClearName() { name.clear(); }
  } clearName{DestFileName};
  offset_ = 0;
  extractDirectory_ = ExtractFileDir(destPath);
  DestFileName = ExtractFileName(destPath);
  std::string dest = destPath;
  bool write = true;
  if (platform::fileExists(dest)) {
    std::string cause;
    const TOverwriteDecision decision = IsFileNewerByName(sourcePath, dest, overwrite_, &cause);
    if (decision == TOverwriteDecision::CouldNotCompare) throw EKstrCompress(ComparisonErrorText(cause));
    write = decision == TOverwriteDecision::Overwrite;
    if (write && OnReplace) {
      OnReplace(this, status_);
      dest = JoinPath(extractDirectory_, DestFileName);
    }
  }
  if (!write || SkipCurrent) return;

  status_ = TlzhFileStats{};
  status_.FileName = sourcePath;
  auto sourceFile = platform::File::tryOpen(sourcePath, platform::FileAccess::Read);
  if (!sourceFile) throw EKstrCompress("Cannot open the file %s", {sourcePath});
  const double date = sourceFile->date();
  status_.FileSize = sourceFile->size();
  // The copy replaces the destination only when complete; an abort ends without an error
  // and leaves the destination as it was.
  std::optional<platform::PendingFile> out;
  try {
    out.emplace(dest);
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {dest});
  }
  std::vector<uint8_t> buffer(kCopyBufferSize);
  while (true) {
    if (abort_) return;
    const size_t got = sourceFile->read(buffer.data(), kCopyBufferSize);
    writeAll(out->file(), buffer.data(), got);
    status_.FileDone += static_cast<int64_t>(got);
    status_.TotalDone += static_cast<int64_t>(got);
    status_.FilePercent = PercentOf(status_.FileDone, status_.FileSize);
    status_.TotalPercent = status_.FilePercent;
    status();
    ProcessMessages();
    if (got < kCopyBufferSize) break;
  }
  try {
    out->file().setDate(date);
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot set the date of the file just extracted.");
  }
  try {
    out->commit();
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {dest});
  }
  status_.Finished = 1;
  status();
}

}  // namespace kestrune
