// The header table of an archive: TFileHeader (one 172-byte member record held byte for
// byte), TFileHeaders (the table with its spanned flag) and the status record
// TlzhFileStats that the archive engine hands to its events.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_format.h"
#include "runtime/name_index.h"

namespace kestrune {

class TStream;
class TStrings;

class TFileHeader {
 public:
  using Record = std::array<uint8_t, archive_format::kHeaderSize>;

  Record Bytes{};
  // True when the record was read from an existing archive; such members are never
  // compressed again.
  bool InArchive = false;

  int32_t FileNumber() const { return getInt(archive_format::kFileNumber); }
  void SetFileNumber(int32_t v) { setInt(archive_format::kFileNumber, v); }
  double FileDate() const;
  void SetFileDate(double v);
  uint8_t EndDisk() const { return Bytes[archive_format::kEndDisk]; }
  void SetEndDisk(uint8_t v) { Bytes[archive_format::kEndDisk] = v; }
  int32_t LastByte() const { return getInt(archive_format::kLastByte); }
  void SetLastByte(int32_t v) { setInt(archive_format::kLastByte, v); }
  // The stored name converted from the ANSI code page; a length byte above 100 reads as 100.
  std::string FileName() const;
  // Stores the name in the ANSI code page, cut to 100 characters.
  void SetFileName(std::string_view name);
  int32_t NextHeader() const { return getInt(archive_format::kNextHeader); }
  void SetNextHeader(int32_t v) { setInt(archive_format::kNextHeader, v); }
  int32_t OriginalSize() const { return getInt(archive_format::kOriginalSize); }
  void SetOriginalSize(int32_t v) { setInt(archive_format::kOriginalSize, v); }
  int32_t DataStart() const { return getInt(archive_format::kDataStart); }
  void SetDataStart(int32_t v) { setInt(archive_format::kDataStart, v); }
  int32_t CompressedSize() const { return getInt(archive_format::kCompressedSize); }
  void SetCompressedSize(int32_t v) { setInt(archive_format::kCompressedSize, v); }
  uint8_t StartDisk() const { return Bytes[archive_format::kStartDisk]; }
  void SetStartDisk(uint8_t v) { Bytes[archive_format::kStartDisk] = v; }
  int32_t UniqueID() const { return getInt(archive_format::kUniqueID); }
  void SetUniqueID(int32_t v) { setInt(archive_format::kUniqueID, v); }
  std::string FileVersion() const;
  void SetFileVersion(std::string_view version);

  // A header whose name, trimmed of blanks, is empty is invalid.
  bool IsValid() const;

 private:
  int32_t getInt(size_t at) const;
  void setInt(size_t at, int32_t v);
  std::string getText(size_t at, size_t max) const;
  void setText(size_t at, size_t max, std::string_view utf8);
};

// Progress and totals handed to the archive engine's events. Percentages and ratios are
// rounded to the nearest integer (ties to even); a division by zero gives 0.
struct TlzhFileStats {
  uint8_t FilePercent = 0;
  int64_t FileDone = 0;
  std::string FileName;
  int64_t FileCompressed = 0;
  uint8_t FileRatio = 0;
  int64_t FileSize = 0;
  TFileHeader Header;
  uint8_t Finished = 0;
  uint8_t TotalPercent = 0;
  int64_t TotalDone = 0;
  int64_t TotalCompressed = 0;
  uint8_t TotalRatio = 0;
  int64_t TotalSize = 0;

  // Sets FileName, FileSize, FileCompressed, FileRatio and Header from a header and zeroes
  // FileDone, FilePercent and Finished.
  void FillFromHeader(const TFileHeader& header);
};

// part * 100 / whole, rounded half to even, 0 for a zero whole, limited to 0..255.
uint8_t PercentOf(int64_t part, int64_t whole);

class TFileHeaders {
 public:
  // The archive's flag byte: 0 plain, 1 spanned.
  uint8_t Spanned = 0;

  int Count() const { return static_cast<int>(headers_.size()); }
  // Raises EKstrCompress "%d is an invalid TFileHeader index in TFileHeaders.GetFileHeaders".
  const TFileHeader& FileHeaders(int index) const;
  // Changes the header at index through change(TFileHeader&), in place. This is the one way
  // to change a header of the table, so the totals and the name index kept with the table
  // follow every change, also one that a throwing change leaves half made. Raises as
  // FileHeaders for a bad index.
  template <class Change>
  void ChangeHeader(int index, Change&& change) {
    TFileHeader& header = headerAt(index);
    const Recount recount(*this, header);
    change(header);
  }
  // Appends; raises EKstrCompress "Tried to add an invalid file header" for an invalid one.
  // sourcePath: the full path of a member about to be compressed (the record keeps at most
  // 100 characters of it).
  void Add(const TFileHeader& header, const std::string& sourcePath = {});
  // The source path given with the header at index; empty for members read from an archive.
  const std::string& SourcePath(int index) const;
  void Clear();
  // Drops every header from index count on.
  void TruncateTo(int count);
  // Reads the table of the archive that starts at offset in the stream. A table that does
  // not fit in the stream (counts, positions) raises the read error, so hostile archives
  // cannot make it loop or allocate without bound.
  void LoadFromStream(TStream& stream, int64_t offset);
  // Writes count and flag at position 0 and, for a spanned archive, the whole table.
  void SaveToStream(TStream& stream);
  // Adds a header made from each listed file (the first ";" item of each line): name, size
  // and date, read without opening the file (the archive engine reads the version when it
  // compresses the member). Clears the table first unless keepExisting. Raises "Cannot open
  // the file %s" for a file that is missing or a folder.
  void AddFiles(const TStrings& list, bool keepExisting);
  // Index of the first member whose name equals the first ";" item of name
  // (case-insensitive); -1 when none. The first lookup builds an index of the names, so
  // that looking up every member of a large archive stays linear.
  int IndexOfName(std::string_view name) const;
  // The sums of the original and compressed sizes over all headers, kept as the table
  // changes (no pass over the table).
  void GetTotals(TlzhFileStats& stats) const;

 private:
  TFileHeader& headerAt(int index);
  // Brings the totals and the name index up to date with a header once it has been changed
  // (until then they describe it as it was).
  class Recount {
   public:
    Recount(TFileHeaders& table, const TFileHeader& header);
    ~Recount();
    Recount(const Recount&) = delete;
    Recount& operator=(const Recount&) = delete;

   private:
    TFileHeaders& table_;
    const TFileHeader& header_;
    const int64_t size_, compressed_;
    const TFileHeader::Record before_;
  };

  std::vector<TFileHeader> headers_;
  // The source paths given to Add, by index (only up to the last one given): the table of an
  // installation has none, and its records stay the records' size.
  std::vector<std::string> sources_;
  int64_t totalSize_ = 0;
  int64_t totalCompressed_ = 0;
  // The members by name (values: index + 1); built at the first lookup, kept up to date by
  // Add and dropped by any other change of a name.
  mutable NameIndex byName_;
  mutable bool indexed_ = false;
};

// name with its ASCII letters in lower case: equal for names that SameText finds equal.
std::string FoldedName(std::string_view name);

// The first ";"-separated item of a list line.
std::string FirstListItem(std::string_view line);

}  // namespace kestrune
