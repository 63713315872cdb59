// Value names of the archive enumerations.
#include "archive/archive_types.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TCompressionLevel) {
  static const EnumType t{"TCompressionLevel", {"colNone", "colFastest", "colDefault", "colMax"}};
  return t;
}

const EnumType& EnumTypeInfo(TOverwriteType) {
  static const EnumType t{"TOverwriteType", {"owAlways", "owNever", "owVersion", "owDate", "owVersionDate"}};
  return t;
}

}  // namespace kestrune
