// TKstrCompress: the archive engine. Adds files to an archive, extracts members (also
// from spanned volume sets), copies an archive onto a set of volumes and copies plain
// files under the overwrite rules, reporting progress through its events.
//
// The kit keeps one shared instance for the whole program (SharedArchiveEngine); tests and
// tools create their own.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/archive_types.h"
#include "archive/cmp_TFileHeaders.h"
#include "archive/streams.h"
#include "runtime/component.h"
#include "platform/files.h"
#include "runtime/strings.h"

namespace kestrune {

enum class TKstrOperation { koIdle, koCompressing, koExtracting };

class TKstrCompress : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TNotify = std::function<void(TComponent* sender)>;
  using TlzhFileStatsEvent = std::function<void(TComponent* sender, TlzhFileStats& stats)>;
  // Returns in directory where volume `disk` can be found or written.
  using TlzhNewDiskEvent = std::function<void(TComponent* sender, int disk, std::string& directory)>;

  static constexpr size_t kInputBufferSize = 65536;
  static constexpr size_t kOutputStep = 4096;
  static constexpr size_t kCopyBufferSize = 8192;

  explicit TKstrCompress(TComponent* owner);
  ~TKstrCompress() override;

  // Published properties.
  bool Abort() const { return abort_; }
  void SetAbort(bool abort) { abort_ = abort; }
  const std::string& CompressedFile() const { return compressedFile_; }
  // A different archive drops the cached header table unless both names are volumes of
  // one set (equal once both extensions are ".1").
  void SetCompressedFile(const std::string& name);
  TCompressionLevel CompressionLevel() const { return compressionLevel_; }
  void SetCompressionLevel(TCompressionLevel level) { compressionLevel_ = level; }
  const std::string& ExtractDirectory() const { return extractDirectory_; }
  void SetExtractDirectory(const std::string& dir) { extractDirectory_ = dir; }
  TStrings* FilesToProcess() const { return filesToProcess_.get(); }
  // Copies the list without its blank lines.
  void SetFilesToProcess(const TStrings& list);
  int32_t Offset() const { return offset_; }
  void SetOffset(int32_t offset);
  TOverwriteType Overwrite() const { return overwrite_; }
  void SetOverwrite(TOverwriteType rule) { overwrite_ = rule; }

  TNotify OnAborted;
  TlzhFileStatsEvent OnAfterAdding, OnBeforeAdding, OnBeforeExtracting, OnAfterExtracting, OnListing;
  TNotify OnFullDisk;
  TlzhNewDiskEvent OnNewDisk;
  TlzhFileStatsEvent OnReplace, OnStatus;

  // Public state.
  // Name under which the next member is extracted; empty: the stored name without its
  // directory. ExtractFiles takes a name set before the call for its first member and
  // shows each member's name here to the handlers, which may change it; empty again after
  // each member.
  std::string DestFileName;
  // Set by a handler to skip the current member; cleared before each member.
  bool SkipCurrent = false;
  // Set by a caller that has already decided to replace the next member's destination: an
  // existing destination is replaced without the Overwrite rule. Cleared after each member.
  bool ReplaceExisting = false;

  // Adds every file of FilesToProcess as a member with the given unique ID; append keeps
  // the members of an existing archive. Without append, every input is opened first and
  // the new archive replaces the old one only when complete (a failure leaves the old one
  // untouched). A failed append cuts the archive back to its complete members; an abort
  // keeps the members finished before it.
  void CompressFiles(bool append, int32_t uniqueId);
  // Extracts every member named in FilesToProcess into ExtractDirectory. Members are
  // always written inside ExtractDirectory: only the last part of a stored name is used,
  // and two members whose names end alike are refused before anything is written. A
  // member is written under a temporary name beside its destination ("~NAME.kestrune.tmp",
  // taken over from a writer that was killed), dated, and renamed into place only when
  // its size and checksum were right: a failure or a kill leaves an existing destination
  // as it was and never a partial file under the destination's name. A member that would
  // replace the archive itself is refused.
  void ExtractFiles();
  // Whether a destination exists, answered from the folder listing the extraction keeps
  // while an ArchiveHold lives (each folder's names read once), else by asking the system.
  bool DestinationExists(const std::string& path);
  // Copies the archive (at Offset) onto volumes: destDir\fileName, then fileName with the
  // extension ".2", ".3" ... in the directories OnNewDisk gives when a volume is full.
  void SpanToDisks(const std::string& destDir, const std::string& fileName);
  // Copies one plain file under the overwrite rules.
  void CopyUncompressed(const std::string& source, const std::string& dest);
  // Loads and caches the header table of CompressedFile.
  void ReadHeaders();
  int FileCount();
  // Totals plus the header of member index.
  TlzhFileStats GetFileStats(int index);
  // Index of the member with that unique ID; 0 for an ID outside 0..1999 or not carried.
  int IndexOfUniqueID(int id);
  // Opens volume `volume` of the archive (the name's extension becomes "." + volume for a
  // spanned archive), asking OnNewDisk up to four times while it is missing.
  void OpenVolume(std::unique_ptr<TFileStream>& stream, int volume, platform::FileAccess mode, std::string& fileName);
  // Progress step while compressing (called by the compression stream).
  void AddStatus();
  // Calls OnFullDisk when assigned, else raises EkcDiskFull.
  virtual void DoFullDisk();

  // While one of these lives, ExtractFiles leaves the archive open for the next call, so
  // an installation, which extracts one file per call, opens each archive once; so does
  // CompressFiles after an append, so a build, which adds one file per call, opens each
  // archive once (and the archive is the engine's: another writer is noticed by the
  // archive's size and date). A spanned set is closed after every call all the same (its
  // volumes are on disks that change). The archive is closed when the last hold ends,
  // when another archive or offset is set, when the table is read again, before any other
  // operation and after a failed one.
  class ArchiveHold {
   public:
    explicit ArchiveHold(TKstrCompress& engine) : engine_(engine) { ++engine_.holds_; }
    ~ArchiveHold() {
      if (--engine_.holds_ == 0) engine_.CloseArchive();
    }
    ArchiveHold(const ArchiveHold&) = delete;
    ArchiveHold& operator=(const ArchiveHold&) = delete;

   private:
    TKstrCompress& engine_;
  };
  // While one of these lives, the files named (in the order in which they are expected to
  // be added, one call or many: a build's walk names every file it will add) are compressed
  // ahead by worker threads, a limited number of members at a time, into memory (a temporary
  // file beyond MemberBuffer's limit). CompressFiles takes a member compressed ahead instead
  // of compressing it, when its file is still the one that was read (size and last-write
  // time); members expected and not asked for are dropped. The archive, its bytes and order,
  // every event and progress call, the abort checks and the errors stay the calling thread's,
  // as when compressing member by member: the worker's progress steps are passed on as they
  // come, with the same figures, and its error is raised at the same step (a file it could
  // not open is opened again by the caller). A CompressFiles call of several files does the
  // same for its own list. When the scope ends, the workers stop and what they made that was
  // not taken is deleted. Nothing happens while another scope is active or with no workers.
  class CompressAhead {
   public:
    CompressAhead(TKstrCompress& engine, const std::vector<std::string>& names);
    ~CompressAhead();
    CompressAhead(const CompressAhead&) = delete;
    CompressAhead& operator=(const CompressAhead&) = delete;

   private:
    TKstrCompress& engine_;
    bool owner_ = false;
  };
  // Worker threads for compressing ahead: -1 one per processor (none with one processor),
  // 0 none.
  int CompressThreads = -1;
  // Worker threads that inflate the members following the one being extracted while it is
  // written, when an extraction goes on past one member (several named in one call, or an
  // ArchiveHold) in a single-volume archive: -1 one per processor but one (none with one
  // processor), 0 none. The files written, every event and progress call, the abort checks
  // and the errors (raised at the same step) are those of extracting member by member; the
  // workers start with the first member of 128 KB or more and hold under a megabyte.
  int ExtractThreads = -1;

  // Closes the archive kept open between calls (nothing when none is).
  void CloseArchive() {
    closeExtraction();
    appendArchive_.reset();
  }

  TFileHeaders& Headers() { return headers_; }
  bool HeadersCached() const { return cached_; }
  int CurrentDisk() const { return currentDisk_; }
  TKstrOperation CurrentOperation() const { return operation_; }
  const TlzhFileStats& Status() const { return status_; }

 private:
  // The operations, each with its state and its steps.
  class Ahead;
  class Compression;
  class Extraction;
  class InflateAhead;
  class Spanning;
  // Runs an operation: EkcAborted calls OnAborted and ends it quietly (so does EAbort when
  // silentEAbort); any other error sets Abort and passes on. cleanup runs in every case.
  void runGuarded(bool silentEAbort, const std::function<void()>& body, const std::function<void()>& cleanup);
  void compressMember(TStream& archive, int index, int32_t uniqueId);
  // Puts a new archive in place; raises "Cannot create the file" when it cannot.
  void commitFresh(platform::PendingFile& file);
  // The members named in FilesToProcess, in order; raises when one is missing or when two
  // different members would be written to one file name (the first under firstName when
  // that is not blank).
  std::vector<int> membersToExtract(const std::string& firstName) const;
  // What ExtractFiles keeps from member to member: the open volume and the folders, for
  // one call, or from call to call while an ArchiveHold lives.
  struct ExtractRun {
    std::unique_ptr<TFileStream> volume;  // the open volume
    std::string volumeName;
    int volumeNumber = 0;
    std::string folder;  // the folder last made sure of
    std::unordered_set<std::string> written;  // destinations written so far, folded
    // For runs of many members: the names in one destination folder, read once (folded;
    // only when every name is ASCII, whose case folding is certain).
    bool listFolders = false;
    std::string listedFolder;
    bool listingUsable = false;
    std::unordered_set<std::string> listed;
    // The workers inflating ahead in the open volume, or the volume they could not open.
    bool aheadWanted = false;  // the extraction may go on past one member
    std::unique_ptr<InflateAhead> ahead;
    std::string aheadRefused;
    bool destinationExists(const std::string& dest);
    void noteWritten(const std::string& dest);
  };
  void closeExtraction();
  ExtractRun run_;
  // The archive the last append under an ArchiveHold completed, left open for the next.
  std::unique_ptr<TFileStream> appendArchive_;
  int holds_ = 0;
  // The archive the last CompressFiles completed, with its size and date then: while it is
  // unchanged the table in memory is its table, and an append (a build adds one file per
  // call) need not read thousands of headers back. Cleared by anything else that loads or
  // changes the table.
  std::string writtenArchive_;
  int64_t writtenSize_ = -1;
  double writtenDate_ = 0;
  void decompress(const TFileHeader& header, std::unique_ptr<TFileStream>& volume, std::string& volumeName,
                  platform::File& out);
  // Writes member index from the workers that inflate ahead; false when there are none for
  // this extraction (the caller inflates it itself).
  bool extractAhead(int index, const TFileHeader& header, platform::File& out);
  InflateAhead* inflateAhead();
  // Raises for a header whose data cannot lie in the archive.
  void checkSpan(const TFileHeader& header) const;
  // A member's output step of produced bytes: progress and OnStatus.
  void stepStatus(size_t produced);
  // The member's last progress call, then its size and its end checked.
  void endMember(const TFileHeader& header, int64_t written, bool ended, platform::File& out);
  void writeAll(platform::File& file, const uint8_t* data, size_t count);
  void writeAll(TStream& stream, const uint8_t* data, size_t count);
  // ExtractDirectory joined with the last part of name; raises for a name without one.
  std::string destinationPath(const std::string& name) const;
  void status() {
    if (OnStatus) OnStatus(this, status_);
  }
  // A progress step with the source bytes read and the compressed bytes made so far.
  void addStatus(int64_t done, int64_t compressed);
  std::unique_ptr<Ahead> ahead_;
  void checkAbort();

  bool abort_ = false;
  std::string compressedFile_;
  TCompressionLevel compressionLevel_ = TCompressionLevel::colMax;
  std::string extractDirectory_;
  std::unique_ptr<TStringList> filesToProcess_;
  int32_t offset_ = 0;
  TOverwriteType overwrite_ = TOverwriteType::owAlways;

  TFileHeaders headers_;
  bool cached_ = false;
  std::array<int, 2000> uniqueIndex_{};
  int currentDisk_ = 0;
  TKstrOperation operation_ = TKstrOperation::koIdle;
  TlzhFileStats status_;
  // While compressing: the source being read and the temporary member file (DestFile).
  TStream* sourceFile_ = nullptr;
  TStream* destFile_ = nullptr;
  std::vector<uint8_t> inBuffer_;
  std::vector<uint8_t> outBuffer_;
  std::vector<uint8_t> memberBuffer_;  // a small member's header and data, written at once
};

// The engine instance the install objects share; created at first use and kept until the
// program ends.
TKstrCompress& SharedArchiveEngine();

}  // namespace kestrune
