// Value names of the archive enumerations.
#include "archive/archive_types.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TCompressionLevel) {
  static constexpr std::string_view values[] = {"colNone", "colFastest", "colDefault", "colMax"};
  static constexpr EnumType t{"TCompressionLevel", values};
  return t;
}

const EnumType& EnumTypeInfo(TOverwriteType) {
  static constexpr std::string_view values[] = {"owAlways", "owNever", "owVersion", "owDate", "owVersionDate"};
  static constexpr EnumType t{"TOverwriteType", values};
  return t;
}

}  // namespace kestrune
