// Enumerations shared by the install objects, with their value names for the streams.
#pragma once
#include "objects/component_calls.h"
#include "runtime/classinfo.h"

namespace kestrune {

enum class TInstallType { itFull, itDefault, itCompact, itAlways, itCustom };
using TInstallTypes = TSet<TInstallType>;
const EnumType& EnumTypeInfo(TInstallType);

enum class TlzhCommand { lzcOverwrite, lzcOnlyAdd };
const EnumType& EnumTypeInfo(TlzhCommand);

enum class TDistributeType { dtTraditional, dtWeb, dtTraditionalNet };
const EnumType& EnumTypeInfo(TDistributeType);

// Options of TFileContainer::Compress; the numbers are the bit positions the build passes.
enum class TCompressOption { coNone0, coRelocateArchives, coReserved, coForceNetFilesLocal, coForceFilesNet, coIncludeAll };
using TCompressOptions = TSet<TCompressOption>;

}  // namespace kestrune
