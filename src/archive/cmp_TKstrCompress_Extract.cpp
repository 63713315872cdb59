// The archive engine: extracting members, with the overwrite rules and the decompression
// loop that follows a member's data across the volumes of a spanned set.
#include <zlib.h>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "archive/zlib_streams.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

// inflate's state, released however the member ends.
struct Inflater {
  z_stream z{};
  bool live = false;
  ~Inflater() {
    if (live) inflateEnd(&z);
  }
};

// Collects the 4 KiB output steps into large writes: the writes are the dear part of
// extracting, and the steps only exist for progress and abort.
class BufferedWriter {
 public:
  BufferedWriter(std::vector<uint8_t>& buffer, std::function<void(const uint8_t*, size_t)> flush)
      : buffer_(buffer), flush_(std::move(flush)) {}
  void add(const uint8_t* data, size_t count) {
    if (used_ + count > buffer_.size()) drain();
    std::copy(data, data + count, buffer_.begin() + static_cast<std::ptrdiff_t>(used_));
    used_ += count;
  }
  void drain() {
    if (used_) flush_(buffer_.data(), used_);
    used_ = 0;
  }

 private:
  std::vector<uint8_t>& buffer_;
  std::function<void(const uint8_t*, size_t)> flush_;
  size_t used_ = 0;
};

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Runs of at least this many members read each destination folder's names once.
constexpr size_t kListFoldersFrom = 8;

const char* const kSizeMismatch =
    "The decompressed file's size does not match with the actual size of the file.  The file is %s";

}  // namespace

// Under Wine a test for a missing file reads the whole folder (names match without regard
// to case), so extracting thousands of members into one folder would read it thousands of
// times; one listing answers for the missing names. A name in the listing is asked again.
bool TKstrCompress::ExtractRun::destinationExists(const std::string& dest) {
  if (!listFolders) return platform::fileExists(dest);
  const std::string folder = ExtractFileDir(dest);
  if (folder != listedFolder) {
    listedFolder = folder;
    listed.clear();
    listingUsable = false;
    if (auto entries = platform::folderEntries(folder)) {
      listingUsable = std::all_of(entries->begin(), entries->end(), [](const std::string& e) { return isAscii(e); });
      if (listingUsable)
        for (const std::string& e : *entries) listed.insert(FoldedName(e));
    } else {
      // A folder not made yet is listed when it is asked about again.
      listedFolder.clear();
    }
  }
  const std::string leaf = ExtractFileName(dest);
  if (listingUsable && isAscii(leaf) && !listed.count(FoldedName(leaf))) return false;
  return platform::fileExists(dest);
}

void TKstrCompress::ExtractRun::noteWritten(const std::string& dest) {
  if (listingUsable && ExtractFileDir(dest) == listedFolder) listed.insert(FoldedName(ExtractFileName(dest)));
}

bool TKstrCompress::DestinationExists(const std::string& path) {
  if (holds_ == 0) return platform::fileExists(path);
  run_.listFolders = true;
  return run_.destinationExists(path);
}

std::string TKstrCompress::destinationPath() const {
  const std::string leaf = SafeLeafName(DestFileName);
  if (leaf.empty())
    throw EKstrCompress("The file name <%s> in the archive <%s> is not a valid file name", {DestFileName, compressedFile_});
  return JoinPath(extractDirectory_, leaf);
}

void TKstrCompress::ExtractFiles() {
  ExtractRun& run = run_;
  bool completed = false;
  auto body = [&] {
    abort_ = false;
    operation_ = TKstrOperation::koExtracting;
    if (!cached_) ReadHeaders();
    currentDisk_ = 0;
    headers_.GetTotals(status_);
    // What was written belongs to this call; the open volume, the folder made sure of and
    // the folder's listing may come from the call before (ArchiveHold: an installation
    // extracts one member per call, thousands into one folder).
    run.written.clear();
    if (holds_ == 0) {
      run.listedFolder.clear();
      run.listed.clear();
      run.listingUsable = false;
    }
    const std::vector<int> members = membersToExtract();
    run.listFolders = members.size() >= kListFoldersFrom || holds_ > 0;
    for (int index : members) {
      SkipCurrent = false;
      extractMember(index, run);
      DestFileName.clear();
      ReplaceExisting = false;
    }
    completed = true;
  };
  auto cleanup = [&] {
    if (!completed || holds_ == 0 || headers_.Spanned) CloseArchive();
    filesToProcess_->Clear();
    DestFileName.clear();
    ReplaceExisting = false;
  };
  runGuarded(true, body, cleanup);
}

void TKstrCompress::CloseArchive() { run_ = ExtractRun(); }

std::vector<int> TKstrCompress::membersToExtract() const {
  std::vector<int> members;
  members.reserve(static_cast<size_t>(filesToProcess_->Count()));
  // Folded last name parts -> the member extracted under that name.
  std::unordered_map<std::string, int> leaves;
  for (int line = 0; line < filesToProcess_->Count(); ++line) {
    const std::string& wanted = (*filesToProcess_)[line];
    const int index = headers_.IndexOfName(wanted);
    if (index < 0) throw EKstrCompress("The file <%s> was not found in the archive <%s>", {wanted, compressedFile_});
    // Members are written under the last part of their names, so two members from
    // different folders would meet in one file: refuse before anything is written. The
    // same member named twice is the same file.
    const std::string& stored = headers_.FileHeaders(index).FileName();
    const std::string leaf =
        members.empty() && !Trim(DestFileName).empty() ? ExtractFileName(DestFileName) : ExtractFileName(stored);
    const auto [at, added] = leaves.emplace(FoldedName(leaf), index);
    if (!added && at->second != index)
      throw EKstrCompress("The files <%s> and <%s> of the archive <%s> would both be extracted as %s",
                          {headers_.FileHeaders(at->second).FileName(), stored, compressedFile_, leaf});
    members.push_back(index);
  }
  return members;
}

void TKstrCompress::extractMember(int index, ExtractRun& run) {
  const TFileHeader header = std::as_const(headers_).FileHeaders(index);
  status_.FillFromHeader(header);
  if (Trim(DestFileName).empty()) DestFileName = ExtractFileName(header.FileName());
  if (OnBeforeExtracting) OnBeforeExtracting(this, status_);
  std::string dest = destinationPath();

  auto makeFolder = [&] {
    const std::string folder = ExtractFileDir(dest);
    if (folder == run.folder) return;
    try {
      platform::forceDirectories(folder);
    } catch (const std::exception&) {
      throw EKstrCompress("Cannot create the file %s", {dest});
    }
    run.folder = folder;
  };
  bool exists = run.destinationExists(dest);
  // The rule for a destination that exists; false keeps it. A handler may rename the member.
  auto replaces = [&]() -> bool {
    bool write = true;
    if (!ReplaceExisting) {
      std::string cause;
      const TOverwriteDecision decision =
          IsFileNewerByData(header.FileVersion(), dest, overwrite_, header.FileDate(), &cause);
      if (decision == TOverwriteDecision::CouldNotCompare) throw EKstrCompress(ComparisonErrorText(cause));
      write = decision == TOverwriteDecision::Overwrite;
    }
    if (write && OnReplace) {
      OnReplace(this, status_);
      const std::string renamed = destinationPath();
      if (renamed != dest) {
        dest = renamed;
        exists = run.destinationExists(dest);
      }
    }
    return write && !SkipCurrent;
  };
  // The rename replaces the destination's folder entry, never a file a link points to:
  // only a name that may be the archive's own entry (the same last part, or a short
  // name's "~" on either side) is asked of the file system.
  auto overTheArchive = [&] {
    const std::string leaf = FoldedName(ExtractFileName(dest));
    auto same = [&](const std::string& archive) {
      const std::string other = FoldedName(ExtractFileName(archive));
      return (leaf == other || leaf.find('~') != std::string::npos || other.find('~') != std::string::npos) &&
             platform::sameFile(dest, archive);
    };
    if (same(run.volumeName) || (compressedFile_ != run.volumeName && same(compressedFile_)))
      throw EKstrCompress("The file %s cannot be extracted over the archive it comes from", {dest});
  };
  if ((exists && !replaces()) || SkipCurrent) {
    status_.Finished = 1;
    status();
    return;
  }
  // A handler that renames members may still send two of them to one file.
  if (!run.written.insert(FoldedName(dest)).second)
    throw EKstrCompress("The file %s was extracted from the archive <%s> already; %s would replace it",
                        {dest, compressedFile_, header.FileName()});

  // The volume stays open from one member to the next while they share it.
  const int startDisk = header.StartDisk() == 0 ? 1 : header.StartDisk();
  if (!run.volume || run.volumeNumber != startDisk) {
    run.volumeName = compressedFile_;
    OpenVolume(run.volume, startDisk, platform::FileAccess::Read, run.volumeName);
    run.volumeNumber = startDisk;
  }
  currentDisk_ = startDisk;
  if (exists) overTheArchive();
  // The member goes to a new file beside the destination, which takes the destination's
  // name only when the member has come out whole: a failure, a full disk or a kill leaves
  // an existing file as it was and nothing under the destination's name, and an existing
  // link is replaced, never written through. The temporary name is the same in every run,
  // so the next run takes over what a killed one left.
  makeFolder();
  std::optional<platform::PendingFile> pending;
  try {
    pending.emplace(dest, platform::PendingFile::Reclaim{});
  } catch (const std::exception&) {
    // The folder may have gone since an earlier member was written into it.
    run.folder.clear();
    throw EKstrCompress("Cannot create the file %s", {dest});
  }
  decompress(header, run.volume, run.volumeName, pending->file());
  run.volumeNumber = currentDisk_;
  try {
    pending->file().setDate(header.FileDate());
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot set the date of the file just extracted.");
  }
  try {
    // Every write was checked as it was made; the data is not forced to the medium.
    if (exists) {
      pending->commit();
    } else if (!pending->commitNew()) {
      // Made since the folder was listed: it goes the way of an existing destination.
      exists = true;
      if (!replaces()) return;
      overTheArchive();
      pending->retarget(dest);
      pending->commit();
    }
  } catch (const platform::PlatformError&) {
    throw EKstrCompress("Cannot create the file %s", {dest});
  }
  run.noteWritten(dest);
}

void TKstrCompress::decompress(const TFileHeader& header, std::unique_ptr<TFileStream>& volume,
                               std::string& volumeName, platform::File& out) {
  const bool spanned = headers_.Spanned != 0;
  const int endDisk = spanned ? header.EndDisk() : currentDisk_;
  if (spanned && endDisk < currentDisk_) throw EKstrCompress(
      "Could not read the file headers for the compressed file. The Archive file could possible be corrupt");
  if (header.DataStart() < 0 || header.LastByte() < -1 || header.OriginalSize() < 0)
    throw EKstrCompress(
        "Could not read the file headers for the compressed file. The Archive file could possible be corrupt");
  const int64_t originalSize = header.OriginalSize();
  int64_t pos = static_cast<int64_t>(offset_) + header.DataStart();
  volume->SetPosition(pos);

  if (inBuffer_.size() < kInputBufferSize) inBuffer_.resize(kInputBufferSize);
  if (outBuffer_.size() < kInputBufferSize) outBuffer_.resize(kInputBufferSize);
  uint8_t step[kOutputStep];
  Inflater inf;
  ZlibCheck(inflateInit_(&inf.z, "1.0.4", static_cast<int>(sizeof(z_stream))));
  inf.live = true;
  int64_t written = 0;
  bool ended = false;
  BufferedWriter writer(outBuffer_, [&](const uint8_t* data, size_t n) { writeAll(out, data, n); });

  while (true) {
    inf.z.next_out = step;
    inf.z.avail_out = kOutputStep;
    while (inf.z.avail_out > 0) {
      if (inf.z.avail_in == 0) {
        size_t want = kInputBufferSize;
        // On the member's last volume never read past its last byte.
        if (currentDisk_ >= endDisk) {
          const int64_t left = static_cast<int64_t>(offset_) + header.LastByte() + 1 - pos;
          want = left <= 0 ? 0 : static_cast<size_t>(std::min<int64_t>(left, kInputBufferSize));
        }
        const size_t got = want ? volume->Read(inBuffer_.data(), want) : 0;
        if (got == 0) break;
        pos += static_cast<int64_t>(got);
        inf.z.next_in = inBuffer_.data();
        inf.z.avail_in = static_cast<uInt>(got);
      }
      const int result = ZlibCheck(inflate(&inf.z, Z_NO_FLUSH));
      if (result == Z_STREAM_END) {
        ended = true;
        break;
      }
      // A stream that asks for a preset dictionary cannot be a member; inflate would stop
      // there for ever.
      if (result == Z_NEED_DICT) throw Exception("error");
    }
    const size_t produced = kOutputStep - inf.z.avail_out;
    checkAbort();
    ProcessMessages();
    written += static_cast<int64_t>(produced);
    // More output than the header promises is corrupt; stop before it fills the disk.
    if (written > originalSize) throw EKstrCompress(kSizeMismatch, {header.FileName()});
    writer.add(step, produced);
    status_.FileDone += static_cast<int64_t>(produced);
    status_.TotalDone += static_cast<int64_t>(produced);
    status_.FilePercent = PercentOf(status_.FileDone, status_.FileSize);
    status_.TotalPercent = PercentOf(status_.TotalDone, status_.TotalSize);
    status();
    if (ended) break;
    if (produced == 0) {
      if (currentDisk_ >= endDisk) break;
      ++currentDisk_;
      OpenVolume(volume, currentDisk_, platform::FileAccess::Read, volumeName);
      pos = 0;
      volume->SetPosition(0);
      inf.z.avail_in = 0;
    }
  }
  writer.drain();
  status_.Finished = 1;
  status();
  if (written != originalSize || out.size() != originalSize) throw EKstrCompress(kSizeMismatch, {header.FileName()});
  // Output of the right size from a stream that never ended is unverified data.
  if (!ended) throw EKstrCompress("The compressed data of %s is incomplete", {header.FileName()});
}

}  // namespace kestrune
