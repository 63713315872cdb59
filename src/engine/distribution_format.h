// The distribution's own binary layouts: the 56-byte extraction info at the end of a
// self-extracting setup.exe and the 72-byte records of the remote file list
// "filelist.lst". Integers are little-endian two's complement. Header-only and free of the
// kit's runtime, so the loader program reads the extraction info with the same code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kestrune::distribution_format {

// Extraction info: length byte 14, "SELFEXTRACTING", a zero, then four int32 offsets into
// setup.exe (first and last byte, inclusive, of the appended setup.1 and files.1; the
// files.1 pair is 0 when none was appended) and 24 zero bytes.
inline constexpr size_t kInfoTextLength = 0;
inline constexpr size_t kInfoText = 1;
inline constexpr size_t kInfoSetupStart = 16;
inline constexpr size_t kInfoSetupEnd = 20;
inline constexpr size_t kInfoFilesStart = 24;
inline constexpr size_t kInfoFilesEnd = 28;
inline constexpr size_t kInfoSize = 56;
inline constexpr char kInfoSignature[] = "SELFEXTRACTING";
inline constexpr size_t kInfoSignatureLength = sizeof kInfoSignature - 1;

static_assert(kInfoSignatureLength == 14);
static_assert(kInfoText + kInfoSignatureLength + 1 == kInfoSetupStart);
static_assert(kInfoSetupStart + 4 == kInfoSetupEnd && kInfoSetupEnd + 4 == kInfoFilesStart);
static_assert(kInfoFilesStart + 4 == kInfoFilesEnd && kInfoFilesEnd + 4 + 24 == kInfoSize);

// File list: int32 record count, then the records.
inline constexpr size_t kListCountSize = 4;
inline constexpr size_t kRecordSize = 0;         // int32, uncompressed size in bytes
inline constexpr size_t kRecordDate = 4;         // double, days since 30 Dec 1899
inline constexpr size_t kRecordName = 12;        // component name, NUL-padded
inline constexpr size_t kRecordNameLength = 40;
inline constexpr size_t kRecordVersion = 52;     // version text, NUL-padded, no terminator at 20
inline constexpr size_t kRecordVersionLength = 20;
inline constexpr size_t kRecordLength = 72;
// A component name keeps a terminating NUL inside its field: longer names are cut to 39.
inline constexpr size_t kRecordNameMax = kRecordNameLength - 1;

static_assert(kRecordDate + 8 == kRecordName);
static_assert(kRecordName + kRecordNameLength == kRecordVersion);
static_assert(kRecordVersion + kRecordVersionLength == kRecordLength);
static_assert(sizeof(double) == 8);

inline int32_t getInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
inline void putInt32(uint8_t* p, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// The four offsets of an extraction info record.
struct ExtractionOffsets {
  int32_t setupStart = 0, setupEnd = 0, filesStart = 0, filesEnd = 0;
  bool hasFiles() const { return filesStart != 0 || filesEnd != 0; }
};

inline ExtractionOffsets decodeOffsets(const uint8_t* info) {
  return {getInt32(info + kInfoSetupStart), getInt32(info + kInfoSetupEnd), getInt32(info + kInfoFilesStart),
          getInt32(info + kInfoFilesEnd)};
}

// An all-zero record with the length byte and the signature.
inline void initInfo(uint8_t* info) {
  std::memset(info, 0, kInfoSize);
  info[kInfoTextLength] = static_cast<uint8_t>(kInfoSignatureLength);
  std::memcpy(info + kInfoText, kInfoSignature, kInfoSignatureLength);
}

inline bool hasSignature(const uint8_t* info) {
  return info[kInfoTextLength] == kInfoSignatureLength &&
         std::memcmp(info + kInfoText, kInfoSignature, kInfoSignatureLength) == 0;
}

// Why offsets cannot describe a file of fileSize bytes (the info included), or nullptr
// when they can: a loader in front, setup.1 next, files.1 (when present) after it, every
// part non-empty and before the info record.
inline const char* offsetsProblem(const ExtractionOffsets& o, int64_t fileSize) {
  const int64_t infoStart = fileSize - static_cast<int64_t>(kInfoSize);
  if (infoStart <= 0) return "the file is shorter than its extraction info";
  if (o.setupStart <= 0) return "no loader program stands before the setup archive";
  if (o.setupEnd < o.setupStart) return "the setup archive ends before it starts";
  if (o.setupEnd >= infoStart) return "the setup archive runs past the end of the file";
  if (!o.hasFiles()) return nullptr;
  if (o.filesStart <= o.setupEnd) return "the file archive overlaps the setup archive";
  if (o.filesEnd < o.filesStart) return "the file archive ends before it starts";
  if (o.filesEnd >= infoStart) return "the file archive runs past the end of the file";
  return nullptr;
}

}  // namespace kestrune::distribution_format
