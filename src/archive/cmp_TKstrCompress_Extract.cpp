// The archive engine: extracting members, with the overwrite rules and the decompression
// loop that follows a member's data across the volumes of a spanned set.
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "archive/inflate_ahead.h"
#include "archive/inflate_steps.h"
#include "archive/zlib_streams.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

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

const char* const kDamagedHeaders =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";

// Runs of at least this many members read each destination folder's names once.
constexpr size_t kListFoldersFrom = 8;

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

std::string TKstrCompress::destinationPath(const std::string& name) const {
  const std::string leaf = SafeLeafName(name);
  if (leaf.empty())
    throw EKstrCompress("The file name <%s> in the archive <%s> is not a valid file name", {name, compressedFile_});
  return JoinPath(extractDirectory_, leaf);
}

// One ExtractFiles call. The name and the replace decision a caller set before the call
// are taken for the first member; while each member is handled, its name and that decision
// are lent to the handlers in DestFileName and ReplaceExisting (which they may change),
// and both are empty again after the member.
class TKstrCompress::Extraction {
 public:
  explicit Extraction(TKstrCompress& engine)
      : e_(engine),
        run_(engine.run_),
        firstName_(std::exchange(engine.DestFileName, {})),
        firstReplaces_(std::exchange(engine.ReplaceExisting, false)) {}

  void run() {
    begin();
    for (size_t i = 0; i < members_.size(); ++i)
      extractMember(members_[i], i == 0 ? firstName_ : std::string(), i == 0 && firstReplaces_);
    completed_ = true;
  }
  // Runs however the call ended.
  void finish() {
    if (!completed_ || e_.holds_ == 0 || e_.headers_.Spanned) e_.CloseArchive();
    e_.filesToProcess_->Clear();
  }

 private:
  // The member being extracted: its header and where it goes.
  struct Member {
    int index;
    TFileHeader header;
    std::string dest;
    bool exists = false;
  };
  // What a handler sees of the member in hand, as long as it is in hand.
  class HandlerFields {
   public:
    HandlerFields(TKstrCompress& engine, const std::string& name, bool replaceExisting) : e_(engine) {
      e_.DestFileName = name;
      e_.ReplaceExisting = replaceExisting;
    }
    ~HandlerFields() {
      e_.DestFileName.clear();
      e_.ReplaceExisting = false;
    }
    HandlerFields(const HandlerFields&) = delete;
    HandlerFields& operator=(const HandlerFields&) = delete;

   private:
    TKstrCompress& e_;
  };

  void begin();
  void extractMember(int index, const std::string& name, bool replaceExisting);
  bool replaces(Member& m);
  void refuseOverTheArchive(const Member& m) const;
  void claim(const Member& m);
  void openStartVolume(const Member& m);
  void makeFolder(const Member& m);
  void write(Member& m);

  TKstrCompress& e_;
  ExtractRun& run_;
  const std::string firstName_;
  const bool firstReplaces_;
  std::vector<int> members_;
  bool completed_ = false;
};

void TKstrCompress::Extraction::begin() {
  e_.appendArchive_.reset();
  e_.abort_ = false;
  e_.operation_ = TKstrOperation::koExtracting;
  if (!e_.cached_) e_.ReadHeaders();
  e_.currentDisk_ = 0;
  e_.headers_.GetTotals(e_.status_);
  // What was written belongs to this call; the open volume, the folder made sure of and
  // the folder's listing may come from the call before (ArchiveHold: an installation
  // extracts one member per call, thousands into one folder).
  run_.written.clear();
  if (e_.holds_ == 0) {
    run_.listedFolder.clear();
    run_.listed.clear();
    run_.listingUsable = false;
  }
  members_ = e_.membersToExtract(firstName_);
  run_.listFolders = members_.size() >= kListFoldersFrom || e_.holds_ > 0;
  run_.aheadWanted = members_.size() > 1 || e_.holds_ > 0;
}

void TKstrCompress::Extraction::extractMember(int index, const std::string& name, bool replaceExisting) {
  e_.SkipCurrent = false;
  Member m{index, std::as_const(e_.headers_).FileHeaders(index), {}, false};
  e_.status_.FillFromHeader(m.header);
  HandlerFields fields(e_, Trim(name).empty() ? ExtractFileName(m.header.FileName()) : name, replaceExisting);
  if (e_.OnBeforeExtracting) e_.OnBeforeExtracting(&e_, e_.status_);
  m.dest = e_.destinationPath(e_.DestFileName);
  m.exists = run_.destinationExists(m.dest);
  if ((m.exists && !replaces(m)) || e_.SkipCurrent) {
    e_.status_.Finished = 1;
    e_.status();
    return;
  }
  claim(m);
  openStartVolume(m);
  if (m.exists) refuseOverTheArchive(m);
  makeFolder(m);
  write(m);
}

// The rule for a destination that exists; false keeps it. A handler may rename the member.
bool TKstrCompress::Extraction::replaces(Member& m) {
  bool write = true;
  if (!e_.ReplaceExisting) {
    std::string cause;
    const TOverwriteDecision decision =
        IsFileNewerByData(m.header.FileVersion(), m.dest, e_.overwrite_, m.header.FileDate(), &cause);
    if (decision == TOverwriteDecision::CouldNotCompare) throw EKstrCompress(ComparisonErrorText(cause));
    write = decision == TOverwriteDecision::Overwrite;
  }
  if (write && e_.OnReplace) {
    e_.OnReplace(&e_, e_.status_);
    const std::string renamed = e_.destinationPath(e_.DestFileName);
    if (renamed != m.dest) {
      m.dest = renamed;
      m.exists = run_.destinationExists(m.dest);
    }
  }
  return write && !e_.SkipCurrent;
}

// The rename replaces the destination's folder entry, never a file a link points to: only
// a name that may be the archive's own entry (the same last part, or a short name's "~"
// on either side) is asked of the file system.
void TKstrCompress::Extraction::refuseOverTheArchive(const Member& m) const {
  const std::string leaf = FoldedName(ExtractFileName(m.dest));
  auto same = [&](const std::string& archive) {
    const std::string other = FoldedName(ExtractFileName(archive));
    return (leaf == other || leaf.find('~') != std::string::npos || other.find('~') != std::string::npos) &&
           platform::sameFile(m.dest, archive);
  };
  if (same(run_.volumeName) || (e_.compressedFile_ != run_.volumeName && same(e_.compressedFile_)))
    throw EKstrCompress("The file %s cannot be extracted over the archive it comes from", {m.dest});
}

// A handler that renames members may still send two of them to one file.
void TKstrCompress::Extraction::claim(const Member& m) {
  if (!run_.written.insert(FoldedName(m.dest)).second)
    throw EKstrCompress("The file %s was extracted from the archive <%s> already; %s would replace it",
                        {m.dest, e_.compressedFile_, m.header.FileName()});
}

// The volume stays open from one member to the next while they share it.
void TKstrCompress::Extraction::openStartVolume(const Member& m) {
  const int startDisk = m.header.StartDisk() == 0 ? 1 : m.header.StartDisk();
  if (!run_.volume || run_.volumeNumber != startDisk) {
    run_.volumeName = e_.compressedFile_;
    e_.OpenVolume(run_.volume, startDisk, platform::FileAccess::Read, run_.volumeName);
    run_.volumeNumber = startDisk;
  }
  e_.currentDisk_ = startDisk;
}

void TKstrCompress::Extraction::makeFolder(const Member& m) {
  const std::string folder = ExtractFileDir(m.dest);
  if (folder == run_.folder) return;
  try {
    platform::forceDirectories(folder);
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot create the file %s", {m.dest});
  }
  run_.folder = folder;
}

// The member goes to a new file beside the destination, which takes the destination's
// name only when the member has come out whole: a failure, a full disk or a kill leaves an
// existing file as it was and nothing under the destination's name, and an existing link
// is replaced, never written through. The temporary name is the same in every run, so the
// next run takes over what a killed one left.
void TKstrCompress::Extraction::write(Member& m) {
  std::optional<platform::PendingFile> pending;
  try {
    pending.emplace(m.dest, platform::PendingFile::Reclaim{});
  } catch (const std::exception&) {
    // The folder may have gone since an earlier member was written into it.
    run_.folder.clear();
    throw EKstrCompress("Cannot create the file %s", {m.dest});
  }
  if (!e_.extractAhead(m.index, m.header, pending->file()))
    e_.decompress(m.header, run_.volume, run_.volumeName, pending->file());
  run_.volumeNumber = e_.currentDisk_;
  try {
    pending->file().setDate(m.header.FileDate());
  } catch (const std::exception&) {
    throw EKstrCompress("Cannot set the date of the file just extracted.");
  }
  try {
    // Every write was checked as it was made; the data is not forced to the medium.
    if (m.exists) {
      pending->commit();
    } else if (!pending->commitNew()) {
      // Made since the folder was listed: it goes the way of an existing destination.
      m.exists = true;
      if (!replaces(m)) return;
      refuseOverTheArchive(m);
      pending->retarget(m.dest);
      pending->commit();
    }
  } catch (const platform::PlatformError&) {
    throw EKstrCompress("Cannot create the file %s", {m.dest});
  }
  run_.noteWritten(m.dest);
}

void TKstrCompress::ExtractFiles() {
  Extraction extraction(*this);
  runGuarded(true, [&] { extraction.run(); }, [&] { extraction.finish(); });
}

void TKstrCompress::closeExtraction() { run_ = ExtractRun(); }

std::vector<int> TKstrCompress::membersToExtract(const std::string& firstName) const {
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
        members.empty() && !Trim(firstName).empty() ? ExtractFileName(firstName) : ExtractFileName(stored);
    const auto [at, added] = leaves.emplace(FoldedName(leaf), index);
    if (!added && at->second != index)
      throw EKstrCompress("The files <%s> and <%s> of the archive <%s> would both be extracted as %s",
                          {headers_.FileHeaders(at->second).FileName(), stored, compressedFile_, leaf});
    members.push_back(index);
  }
  return members;
}

void TKstrCompress::checkSpan(const TFileHeader& header) const {
  if (header.DataStart() < 0 || header.LastByte() < -1 || header.OriginalSize() < 0)
    throw EKstrCompress(kDamagedHeaders);
}

void TKstrCompress::stepStatus(size_t produced) {
  status_.FileDone += static_cast<int64_t>(produced);
  status_.TotalDone += static_cast<int64_t>(produced);
  status_.FilePercent = PercentOf(status_.FileDone, status_.FileSize);
  status_.TotalPercent = PercentOf(status_.TotalDone, status_.TotalSize);
  status();
}

void TKstrCompress::endMember(const TFileHeader& header, int64_t written, bool ended, platform::File& out) {
  status_.Finished = 1;
  status();
  if (written != header.OriginalSize() || out.size() != header.OriginalSize())
    throw EKstrCompress(kSizeMismatch, {header.FileName()});
  // Output of the right size from a stream that never ended is unverified data.
  if (!ended) throw EKstrCompress("The compressed data of %s is incomplete", {header.FileName()});
}

void TKstrCompress::decompress(const TFileHeader& header, std::unique_ptr<TFileStream>& volume,
                               std::string& volumeName, platform::File& out) {
  const bool spanned = headers_.Spanned != 0;
  const int endDisk = spanned ? header.EndDisk() : currentDisk_;
  if (spanned && endDisk < currentDisk_) throw EKstrCompress(kDamagedHeaders);
  checkSpan(header);
  const int64_t originalSize = header.OriginalSize();
  int64_t pos = static_cast<int64_t>(offset_) + header.DataStart();
  volume->SetPosition(pos);

  if (inBuffer_.size() < kInputBufferSize) inBuffer_.resize(kInputBufferSize);
  if (outBuffer_.size() < kInputBufferSize) outBuffer_.resize(kInputBufferSize);
  int64_t written = 0;
  BufferedWriter writer(outBuffer_, [&](const uint8_t* data, size_t n) { writeAll(out, data, n); });
  auto refill = [&](uint8_t* in, size_t size) -> size_t {
    size_t want = size;
    // On the member's last volume never read past its last byte.
    if (currentDisk_ >= endDisk) {
      const int64_t left = static_cast<int64_t>(offset_) + header.LastByte() + 1 - pos;
      want = left <= 0 ? 0 : static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(size)));
    }
    const size_t got = want ? volume->Read(in, want) : 0;
    pos += static_cast<int64_t>(got);
    return got;
  };
  auto step = [&](const uint8_t* data, size_t produced, bool) {
    checkAbort();
    ProcessMessages();
    written += static_cast<int64_t>(produced);
    // More output than the header promises is corrupt; stop before it fills the disk.
    if (written > originalSize) throw EKstrCompress(kSizeMismatch, {header.FileName()});
    writer.add(data, produced);
    stepStatus(produced);
    return true;
  };
  auto nextVolume = [&] {
    if (currentDisk_ >= endDisk) return false;
    ++currentDisk_;
    OpenVolume(volume, currentDisk_, platform::FileAccess::Read, volumeName);
    pos = 0;
    volume->SetPosition(0);
    return true;
  };
  const bool ended = InflateSteps<kOutputStep>(inBuffer_.data(), kInputBufferSize, refill, step, nextVolume);
  writer.drain();
  endMember(header, written, ended, out);
}

}  // namespace kestrune
