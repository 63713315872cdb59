// The archive engine: properties, the header table cache, volumes, progress and the
// handling of aborts and errors common to every operation.
#include "archive/cmp_TKstrCompress.h"

#include "archive/archive_names.h"
#include "archive/compress_ahead.h"
#include "archive/inflate_ahead.h"
#include "platform/files.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {
const char* const kReadHeadersError =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";
}

TKstrCompress::TKstrCompress(TComponent* owner)
    : TComponent(owner), filesToProcess_(std::make_unique<TStringList>()) {}

TKstrCompress::~TKstrCompress() = default;

void TKstrCompress::SetCompressedFile(const std::string& name) {
  if (SameText(name, compressedFile_)) return;
  CloseArchive();
  if (cached_ && !SameText(ChangeFileExt(name, ".1"), ChangeFileExt(compressedFile_, ".1"))) cached_ = false;
  compressedFile_ = name;
}

void TKstrCompress::SetOffset(int32_t offset) {
  if (offset != offset_) CloseArchive();
  offset_ = offset;
}

void TKstrCompress::SetFilesToProcess(const TStrings& list) {
  filesToProcess_->Clear();
  for (int i = 0; i < list.Count(); ++i)
    if (!Trim(list[i]).empty()) filesToProcess_->Add(list[i]);
}

void TKstrCompress::runGuarded(bool silentEAbort, const std::function<void()>& body,
                               const std::function<void()>& cleanup) {
  try {
    body();
  } catch (const EkcAborted&) {
    cleanup();
    if (OnAborted) OnAborted(this);
    return;
  } catch (const EAbort&) {
    cleanup();
    if (silentEAbort) return;
    abort_ = true;
    throw;
  } catch (...) {
    abort_ = true;
    cleanup();
    throw;
  }
  cleanup();
}

void TKstrCompress::checkAbort() {
  if (abort_) throw EkcAborted();
}

void TKstrCompress::ReadHeaders() {
  CloseArchive();
  writtenArchive_.clear();
  auto file = platform::File::tryOpen(compressedFile_, platform::FileAccess::Read);
  if (!file) throw EKstrCompress("Cannot open the compressed file %s", {compressedFile_});
  TFileStream stream(std::move(*file), compressedFile_);
  uniqueIndex_.fill(0);
  try {
    headers_.LoadFromStream(stream, offset_);
  } catch (const std::exception&) {
    throw EKstrCompress(kReadHeadersError);
  }
  for (int i = 0; i < headers_.Count(); ++i) {
    const int32_t id = headers_.FileHeaders(i).UniqueID();
    if (id >= 0 && id < archive_format::kUniqueIdSlots) uniqueIndex_[static_cast<size_t>(id)] = i;
  }
  cached_ = true;
}

int TKstrCompress::FileCount() {
  if (!cached_ && operation_ != TKstrOperation::koCompressing) ReadHeaders();
  return headers_.Count();
}

TlzhFileStats TKstrCompress::GetFileStats(int index) {
  const int count = FileCount();
  if (index < 0 || index >= count) throw EKstrCompress("Tried to access the %dth file. This file is not defined", {index});
  TlzhFileStats stats;
  headers_.GetTotals(stats);
  stats.FillFromHeader(headers_.FileHeaders(index));
  return stats;
}

int TKstrCompress::IndexOfUniqueID(int id) {
  if (!cached_) ReadHeaders();
  if (id < 0 || id >= archive_format::kUniqueIdSlots) return 0;
  return uniqueIndex_[static_cast<size_t>(id)];
}

void TKstrCompress::OpenVolume(std::unique_ptr<TFileStream>& stream, int volume, platform::FileAccess mode,
                               std::string& fileName) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    stream.reset();
    if (headers_.Spanned) fileName = VolumeName(fileName, volume);
    if (!platform::fileExists(fileName)) {
      if (!OnNewDisk) throw EKstrCompress("Could not open the correct disk file %d", {volume});
      std::string dir = ExtractFileDir(fileName);
      OnNewDisk(this, volume, dir);
      fileName = JoinPath(dir, ExtractFileName(fileName));
      if (!platform::fileExists(fileName)) continue;
    }
    auto file = platform::File::tryOpen(fileName, mode);
    if (!file) throw EKstrCompress("Cannot open the compressed file %s", {fileName});
    stream = std::make_unique<TFileStream>(std::move(*file), fileName);
    return;
  }
  throw EKstrCompress("Cannot open the compressed file %s", {fileName});
}

void TKstrCompress::AddStatus() {
  if (!destFile_) {
    checkAbort();
    ProcessMessages();
    throw EKstrCompress("AddStatus has Nil DestFile");
  }
  addStatus(sourceFile_ ? sourceFile_->Position() : status_.FileDone, destFile_->Size());
}

void TKstrCompress::addStatus(int64_t done, int64_t compressed) {
  checkAbort();
  ProcessMessages();
  status_.TotalDone += done - status_.FileDone;
  status_.FileDone = done;
  status_.FileCompressed = compressed;
  status_.FilePercent = PercentOf(status_.FileDone, status_.FileSize);
  status_.TotalPercent = PercentOf(status_.TotalDone, status_.TotalSize);
  status();
}

void TKstrCompress::DoFullDisk() {
  if (!OnFullDisk) throw EkcDiskFull();
  OnFullDisk(this);
}

void TKstrCompress::writeAll(platform::File& file, const uint8_t* data, size_t count) {
  size_t done = file.write(data, count);
  if (done == count) return;
  // The handler may make room (or ask the user to); a second short write is final.
  DoFullDisk();
  if (file.write(data + done, count - done) != count - done) throw EkcDiskFull();
}

void TKstrCompress::writeAll(TStream& stream, const uint8_t* data, size_t count) {
  size_t done = stream.Write(data, count);
  if (done == count) return;
  DoFullDisk();
  if (stream.Write(data + done, count - done) != count - done) throw EkcDiskFull();
}

const ClassInfo& TKstrCompress::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TKstrCompress::Abort, &TKstrCompress::SetAbort>("Abort").Default(0),
      prop<&TKstrCompress::CompressedFile, &TKstrCompress::SetCompressedFile>("CompressedFile"),
      prop<&TKstrCompress::CompressionLevel, &TKstrCompress::SetCompressionLevel>("CompressionLevel")
          .Default(static_cast<int64_t>(TCompressionLevel::colMax)),
      prop<&TKstrCompress::ExtractDirectory, &TKstrCompress::SetExtractDirectory>("ExtractDirectory"),
      prop<&TKstrCompress::FilesToProcess>("FilesToProcess"),
      prop<&TKstrCompress::Offset, &TKstrCompress::SetOffset>("Offset").Default(0),
      prop<&TKstrCompress::Overwrite, &TKstrCompress::SetOverwrite>("Overwrite")
          .Default(static_cast<int64_t>(TOverwriteType::owAlways)),
      eventProp("OnAborted"), eventProp("OnAfterAdding"), eventProp("OnAfterExtracting"),
      eventProp("OnBeforeAdding"), eventProp("OnBeforeExtracting"), eventProp("OnFullDisk"),
      eventProp("OnListing"), eventProp("OnNewDisk"), eventProp("OnReplace"), eventProp("OnStatus")};
  static const ClassInfo info{"TKstrCompress", &TComponent::classInfo(), create<TKstrCompress>, props};
  return info;
}

TKstrCompress& SharedArchiveEngine() {
  static std::unique_ptr<TKstrCompress> engine(new TKstrCompress(nullptr));
  return *engine;
}

}  // namespace kestrune
