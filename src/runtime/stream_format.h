// The binary component stream: signature and value tags.
#pragma once
#include <cstdint>

namespace kestrune::stream {

inline constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
static_assert(sizeof(kSignature) == 4);

enum ValueTag : uint8_t {
  vaNull = 0,       // end of a list
  vaList = 1,       // values until vaNull
  vaInt8 = 2,       // 1 byte, signed
  vaInt16 = 3,      // 2 bytes, signed
  vaInt32 = 4,      // 4 bytes, signed
  vaExtended = 5,   // 10-byte float (accepted by no property of the kit)
  vaString = 6,     // short string
  vaIdent = 7,      // short string: enumeration value, constant or component name
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,    // 4-byte length, bytes
  vaSet = 11,       // short strings until an empty one
  vaLString = 12,   // 4-byte length, text
  vaNil = 13,
  vaCollection = 14,
};

// Prefix byte before a class name marking filer flags (high nibble 0xF).
inline constexpr uint8_t kFilerFlagsMask = 0xF0;
inline constexpr uint8_t ffInherited = 1, ffChildPos = 2, ffInline = 4;

// Deepest nesting of objects or lists the reader accepts (protects the stack).
inline constexpr int kMaxDepth = 64;

}  // namespace kestrune::stream
