// The header table of an archive: reading and writing the member records.
#include "archive/cmp_TFileHeaders.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "archive/archive_names.h"
#include "archive/streams.h"
#include "platform/files.h"
#include "platform/text.h"
#include "runtime/exceptions.h"
#include "runtime/strings.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace af = archive_format;

namespace {
const char* const kReadHeadersError =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";
const char* const kWriteHeadersError = "Could not write the file headers for the compressed file";
}  // namespace

int32_t TFileHeader::getInt(size_t at) const {
  uint32_t v = static_cast<uint32_t>(Bytes[at]) | static_cast<uint32_t>(Bytes[at + 1]) << 8 |
               static_cast<uint32_t>(Bytes[at + 2]) << 16 | static_cast<uint32_t>(Bytes[at + 3]) << 24;
  return static_cast<int32_t>(v);
}

void TFileHeader::setInt(size_t at, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) Bytes[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

double TFileHeader::FileDate() const {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | Bytes[af::kFileDate + i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void TFileHeader::SetFileDate(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) Bytes[af::kFileDate + i] = static_cast<uint8_t>(bits >> (8 * i));
}

std::string TFileHeader::getText(size_t at, size_t max) const {
  const size_t len = std::min<size_t>(Bytes[at], max);
  return platform::FromAnsi(std::string_view(reinterpret_cast<const char*>(&Bytes[at + 1]), len));
}

void TFileHeader::setText(size_t at, size_t max, std::string_view utf8) {
  std::string ansi = platform::ToAnsi(utf8);
  if (ansi.size() > max) ansi.resize(max);
  std::memset(&Bytes[at], 0, max + 1);
  Bytes[at] = static_cast<uint8_t>(ansi.size());
  std::memcpy(&Bytes[at + 1], ansi.data(), ansi.size());
}

std::string TFileHeader::FileName() const { return getText(af::kFileName, af::kMaxFileName); }
void TFileHeader::SetFileName(std::string_view name) { setText(af::kFileName, af::kMaxFileName, name); }
std::string TFileHeader::FileVersion() const { return getText(af::kFileVersion, af::kMaxFileVersion); }
void TFileHeader::SetFileVersion(std::string_view v) { setText(af::kFileVersion, af::kMaxFileVersion, v); }

bool TFileHeader::IsValid() const { return !Trim(FileName()).empty(); }

uint8_t PercentOf(int64_t part, int64_t whole) {
  if (whole == 0) return 0;
  const double v = std::nearbyint(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
  if (!(v > 0)) return 0;
  return v >= 255 ? 255 : static_cast<uint8_t>(v);
}

void TlzhFileStats::FillFromHeader(const TFileHeader& header) {
  FileName = header.FileName();
  FileSize = header.OriginalSize();
  FileCompressed = header.CompressedSize();
  FileRatio = PercentOf(FileCompressed, FileSize);
  Header = header;
  FileDone = 0;
  FilePercent = 0;
  Finished = 0;
}

std::string FirstListItem(std::string_view line) {
  const size_t semi = line.find(';');
  return std::string(semi == std::string_view::npos ? line : line.substr(0, semi));
}

TFileHeader& TFileHeaders::headerAt(int index) {
  return const_cast<TFileHeader&>(std::as_const(*this).FileHeaders(index));
}

const TFileHeader& TFileHeaders::FileHeaders(int index) const {
  if (index < 0 || index >= Count())
    throw EKstrCompress("%d is an invalid TFileHeader index in TFileHeaders.GetFileHeaders", {index});
  return headers_[static_cast<size_t>(index)];
}

void TFileHeaders::Add(const TFileHeader& header, const std::string& sourcePath) {
  if (!header.IsValid()) throw EKstrCompress("Tried to add an invalid file header");
  if (!sourcePath.empty()) {
    sources_.resize(headers_.size() + 1);
    sources_.back() = sourcePath;
  }
  headers_.push_back(header);
  totalSize_ += header.OriginalSize();
  totalCompressed_ += header.CompressedSize();
  if (indexed_) byName_.Add(NameIndex::Hash(header.FileName()), static_cast<NameIndex::Value>(Count()));
}

const std::string& TFileHeaders::SourcePath(int index) const {
  static const std::string none;
  return index >= 0 && static_cast<size_t>(index) < sources_.size() ? sources_[static_cast<size_t>(index)] : none;
}

void TFileHeaders::Clear() {
  headers_.clear();
  sources_.clear();
  totalSize_ = totalCompressed_ = 0;
  byName_.Clear();
  indexed_ = false;
}

void TFileHeaders::TruncateTo(int count) {
  if (count >= 0 && count < Count()) {
    for (size_t i = static_cast<size_t>(count); i < headers_.size(); ++i) {
      totalSize_ -= headers_[i].OriginalSize();
      totalCompressed_ -= headers_[i].CompressedSize();
    }
    headers_.resize(static_cast<size_t>(count));
    if (sources_.size() > headers_.size()) sources_.resize(headers_.size());
  }
  byName_.Clear();
  indexed_ = false;
}

TFileHeaders::Recount::Recount(TFileHeaders& table, const TFileHeader& header)
    : table_(table),
      header_(header),
      size_(header.OriginalSize()),
      compressed_(header.CompressedSize()),
      before_(header.Bytes) {}

TFileHeaders::Recount::~Recount() {
  table_.totalSize_ += header_.OriginalSize() - size_;
  table_.totalCompressed_ += header_.CompressedSize() - compressed_;
  const auto name = before_.begin() + af::kFileName;
  if (!std::equal(name, name + af::kMaxFileName + 1, header_.Bytes.begin() + af::kFileName)) {
    table_.byName_.Clear();
    table_.indexed_ = false;
  }
}

void TFileHeaders::LoadFromStream(TStream& stream, int64_t offset) {
  Clear();
  uint8_t head[af::kHeadSize];
  if (offset < 0) throw EKstrCompress("Could not read the file header count for the compressed file");
  stream.SetPosition(offset);
  if (stream.Read(head, af::kHeadSize) < af::kHeadSize)
    throw EKstrCompress("Could not read the file header count for the compressed file");
  const int32_t count = static_cast<int32_t>(static_cast<uint32_t>(head[0]) | static_cast<uint32_t>(head[1]) << 8 |
                                             static_cast<uint32_t>(head[2]) << 16 |
                                             static_cast<uint32_t>(head[3]) << 24);
  Spanned = head[af::kHeadSpanned];
  // Every record needs 172 bytes of its own after the head, so a count that cannot fit in
  // the stream is corrupt; checking it first keeps a hostile count from being believed.
  const int64_t room = stream.Size() - offset - static_cast<int64_t>(af::kHeadSize);
  if (count < 0 || count > room / static_cast<int64_t>(af::kHeaderSize)) throw EKstrCompress(kReadHeadersError);
  int64_t p = offset + static_cast<int64_t>(af::kHeadSize);
  // The table's exact size at once (the count fits in the stream): grown by doubling, the
  // table of a large archive would hold up to twice its records' room.
  headers_.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TFileHeader header;
    stream.SetPosition(p);
    if (stream.Read(header.Bytes.data(), af::kHeaderSize) < af::kHeaderSize) throw EKstrCompress(kReadHeadersError);
    header.InArchive = true;
    // The next record must lie after this one: positions that point back would walk in
    // circles.
    const int64_t next = offset + static_cast<int64_t>(header.NextHeader());
    if (i + 1 < count && next < p + static_cast<int64_t>(af::kHeaderSize)) throw EKstrCompress(kReadHeadersError);
    p = next;
    Add(header);
  }
}

void TFileHeaders::SaveToStream(TStream& stream) {
  uint8_t head[af::kHeadSize];
  const uint32_t count = static_cast<uint32_t>(Count());
  for (int i = 0; i < 4; ++i) head[i] = static_cast<uint8_t>(count >> (8 * i));
  head[af::kHeadSpanned] = Spanned;
  stream.SetPosition(0);
  if (stream.Write(head, af::kHeadSize) < af::kHeadSize) throw EKstrCompress(kWriteHeadersError);
  if (!Spanned) return;
  for (auto& header : headers_) {
    header.SetNextHeader(static_cast<int32_t>(stream.Position() + static_cast<int64_t>(af::kHeaderSize)));
    if (stream.Write(header.Bytes.data(), af::kHeaderSize) < af::kHeaderSize) throw EKstrCompress(kWriteHeadersError);
  }
}

void TFileHeaders::AddFiles(const TStrings& list, bool keepExisting) {
  if (!keepExisting) Clear();
  for (int i = 0; i < list.Count(); ++i) {
    const std::string path = FirstListItem(list[i]);
    const std::string onDisk = SourceFileOnDisk(path);
    const auto facts = platform::fileSizeAndDate(onDisk);
    if (!facts) throw EKstrCompress("Cannot open the file %s", {onDisk});
    // Sizes and positions in the format are signed 32-bit numbers.
    if (facts->size > std::numeric_limits<int32_t>::max())
      throw EKstrCompress("The file %s is too large for an archive", {path});
    TFileHeader header;
    header.SetFileName(path);
    header.SetFileDate(facts->date);
    header.SetOriginalSize(static_cast<int32_t>(facts->size));
    header.SetFileNumber(i + 1);
    Add(header, onDisk);
  }
}

std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

int TFileHeaders::IndexOfName(std::string_view name) const {
  if (!indexed_) {
    byName_.Clear();
    byName_.Reserve(headers_.size());
    for (size_t i = 0; i < headers_.size(); ++i)
      byName_.Add(NameIndex::Hash(headers_[i].FileName()), static_cast<NameIndex::Value>(i + 1));
    indexed_ = true;
  }
  const std::string wanted = FirstListItem(name);
  // Members may share a name: the first of them.
  int first = -1;
  byName_.Any(NameIndex::Hash(wanted), [&](NameIndex::Value v) {
    const int index = static_cast<int>(v) - 1;
    if ((first < 0 || index < first) && NameIndex::SameName(headers_[static_cast<size_t>(index)].FileName(), wanted))
      first = index;
    return false;
  });
  return first;
}

void TFileHeaders::GetTotals(TlzhFileStats& stats) const {
  stats.TotalSize = totalSize_;
  stats.TotalCompressed = totalCompressed_;
  stats.TotalRatio = PercentOf(totalCompressed_, totalSize_);
  stats.TotalDone = 0;
  stats.TotalPercent = 0;
}

}  // namespace kestrune
