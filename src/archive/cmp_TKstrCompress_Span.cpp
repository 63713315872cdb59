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

void TKstrCompress::SpanToDisks(const std::string& destDir, const std::string& fileName) {
  CloseArchive();
  writtenArchive_.clear();
  std::unique_ptr<TFileStream> source;
  // The volume being written, under a temporary name until it is full or the last; the
  // volumes already put in place; volume 1 opened again for the final table.
  std::optional<platform::PendingFile> pending;
  std::unique_ptr<THandleStream> volume;
  std::vector<std::string> made;
  std::unique_ptr<TFileStream> first;
  bool complete = false;
  // The folder of the volume being written or asked for.
  std::string dir = destDir;
  auto beginVolume = [&](const std::string& name) {
    try {
      pending.emplace(name);
    } catch (const std::exception&) {
      throw EKstrCompress("Cannot create the file %s", {name});
    }
    volume = std::make_unique<THandleStream>(pending->file());
  };
  auto endVolume = [&] {
    volume.reset();
    const std::string name = pending->target();
    try {
      pending->commit();
    } catch (const std::exception&) {
      throw EKstrCompress("Cannot create the file %s", {name});
    }
    pending.reset();
    made.push_back(name);
  };
  auto body = [&] {
    abort_ = false;
    if (!cached_) ReadHeaders();
    if (headers_.Spanned) throw EKstrCompress("The compressed file %s is spanned already", {compressedFile_});
    currentDisk_ = 1;
    headers_.Spanned = 1;
    headers_.GetTotals(status_);
    // Reading is all the copy needs; an archive on a read-only medium can be spanned.
    auto file = platform::File::tryOpen(compressedFile_, platform::FileAccess::Read);
    if (!file) throw EKstrCompress("Cannot open the compressed file %s", {compressedFile_});
    source = std::make_unique<TFileStream>(std::move(*file), compressedFile_);
    const std::string leaf = ExtractFileName(fileName);
    const std::string firstVolume = JoinPath(dir, leaf);
    beginVolume(firstVolume);
    headers_.SaveToStream(*volume);
    int64_t volumePos = volume->Position();
    std::vector<uint8_t> buffer(kCopyBufferSize);

    for (int i = 0; i < headers_.Count(); ++i) {
      TFileHeader& header = headers_.FileHeaders(i);
      status_.FillFromHeader(header);
      const int64_t from = static_cast<int64_t>(offset_) + header.DataStart();
      int64_t remaining = static_cast<int64_t>(header.LastByte()) - header.DataStart() + 1;
      source->SetPosition(from);
      header.SetDataStart(static_cast<int32_t>(volumePos));
      header.SetStartDisk(static_cast<uint8_t>(currentDisk_));
      while (remaining > 0) {
        checkAbort();
        const size_t want = static_cast<size_t>(std::min<int64_t>(remaining, kCopyBufferSize));
        const size_t got = source->Read(buffer.data(), want);
        if (got == 0) throw EKstrCompress("The compressed file %s is truncated", {compressedFile_});
        ProcessMessages();
        size_t put = volume->Write(buffer.data(), got);
        volumePos += static_cast<int64_t>(put);
        if (put < got) {
          endVolume();
          ++currentDisk_;
          // Volume numbers are stored in one byte.
          if (currentDisk_ > 255) throw EKstrCompress("There are too many disks for one archive");
          if (!OnNewDisk)
            throw EKstrCompress(
                "There was no event handler for the OnNewDisk event, therefore no new disk could be inserted");
          OnNewDisk(this, currentDisk_, dir);
          beginVolume(JoinPath(dir, VolumeName(leaf, currentDisk_)));
          const size_t rest = got - put;
          if (volume->Write(buffer.data() + put, rest) < rest)
            throw EKstrCompress("There is too little space on this disk to operate");
          volumePos = static_cast<int64_t>(rest);
        }
        remaining -= static_cast<int64_t>(got);
        status_.FileDone += static_cast<int64_t>(got);
        status_.TotalDone += static_cast<int64_t>(got);
        status_.FilePercent = PercentOf(status_.FileDone, status_.FileCompressed);
        status_.TotalPercent = PercentOf(status_.TotalDone, status_.TotalCompressed);
        status();
      }
      header.SetLastByte(static_cast<int32_t>(volumePos - 1));
      header.SetEndDisk(static_cast<uint8_t>(currentDisk_));
    }
    endVolume();
    // The final table goes into volume 1, which may have to be inserted again. It takes
    // the place of the provisional one, so it needs no room.
    std::string name = firstVolume;
    if (platform::fileExists(name)) {
      auto reopened = platform::File::tryOpen(name, platform::FileAccess::ReadWrite);
      if (!reopened) throw EKstrCompress("Cannot open the compressed file %s", {name});
      first = std::make_unique<TFileStream>(std::move(*reopened), name);
    } else {
      OpenVolume(first, 1, platform::FileAccess::ReadWrite, name);
    }
    headers_.SaveToStream(*first);
    first->Handle().flush();
    complete = true;
  };
  auto cleanup = [&] {
    source.reset();
    volume.reset();
    pending.reset();
    first.reset();
    // A set that was not finished is of no use: its volumes go, each from a folder of its
    // own. A volume whose folder a later volume (or the disk asked for) shares stays: that
    // is one drive whose disks were swapped, and the file of its name now in the drive may
    // be another disk's.
    if (!complete) {
      const std::string asked = ExtractFileDir(JoinPath(dir, "x"));
      for (size_t i = 0; i < made.size(); ++i) {
        const std::string folder = ExtractFileDir(made[i]);
        bool shared = SameText(folder, asked);
        for (size_t j = i + 1; j < made.size() && !shared; ++j) shared = SameText(folder, ExtractFileDir(made[j]));
        if (!shared) platform::deleteFile(made[i]);
      }
    }
    // The table now describes the volumes, not CompressedFile.
    cached_ = false;
  };
  runGuarded(false, body, cleanup);
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
