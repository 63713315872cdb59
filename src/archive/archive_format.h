// The archive file format: the 5-byte archive head and the 172-byte member header record,
// byte for byte. Integers are little-endian two's complement; text is 8-bit ANSI with a
// length byte in front.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kestrune::archive_format {

// Archive head: member count (int32) and the spanned flag (byte).
inline constexpr size_t kHeadCount = 0;
inline constexpr size_t kHeadSpanned = 4;
inline constexpr size_t kHeadSize = 5;

// Member header record.
inline constexpr size_t kFileNumber = 0;       // int32, 1-based number within one compress call
inline constexpr size_t kFileDate = 4;         // double, days since 30 Dec 1899, local time
inline constexpr size_t kEndDisk = 12;         // byte, volume of the last data byte (plain: 0)
inline constexpr size_t kLastByte = 16;        // int32, position of the last data byte
inline constexpr size_t kFileName = 20;        // length byte + 100 characters
inline constexpr size_t kNextHeader = 124;     // int32, position of the next header record
inline constexpr size_t kOriginalSize = 128;   // int32
inline constexpr size_t kDataStart = 132;      // int32, position of the first data byte
inline constexpr size_t kCompressedSize = 136; // int32
inline constexpr size_t kStartDisk = 140;      // byte, volume of the first data byte (plain: 0)
inline constexpr size_t kUniqueID = 144;       // int32
inline constexpr size_t kFileVersion = 148;    // length byte + 20 characters
inline constexpr size_t kHeaderSize = 172;

inline constexpr size_t kMaxFileName = 100;
inline constexpr size_t kMaxFileVersion = 20;
// Unique IDs 0..kUniqueIdSlots-1 are indexed by the engine.
inline constexpr int kUniqueIdSlots = 2000;

static_assert(kFileDate + 8 == kEndDisk);
static_assert(kEndDisk + 1 + 3 == kLastByte);
static_assert(kLastByte + 4 == kFileName);
static_assert(kFileName + 1 + kMaxFileName + 3 == kNextHeader);
static_assert(kNextHeader + 4 == kOriginalSize && kOriginalSize + 4 == kDataStart);
static_assert(kDataStart + 4 == kCompressedSize && kCompressedSize + 4 == kStartDisk);
static_assert(kStartDisk + 1 + 3 == kUniqueID && kUniqueID + 4 == kFileVersion);
static_assert(kFileVersion + 1 + kMaxFileVersion + 3 == kHeaderSize);
static_assert(sizeof(double) == 8);

}  // namespace kestrune::archive_format
