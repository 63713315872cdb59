// Enumerations shared by the archive engine, the version rules and the install objects.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune {

enum class TCompressionLevel { colNone, colFastest, colDefault, colMax };
const EnumType& EnumTypeInfo(TCompressionLevel);

enum class TOverwriteType { owAlways, owNever, owVersion, owDate, owVersionDate };
const EnumType& EnumTypeInfo(TOverwriteType);

}  // namespace kestrune
