// Enumerations shared by the install objects, with their value names for the streams.
#pragma once
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

// Component calls sent to dialog-type helpers.
namespace cc {
inline constexpr int BeforeProcess = -990;
inline constexpr int Included = -999;
inline constexpr int AfterProcess = -989;
inline constexpr int ShowStatus = -974;
inline constexpr int HideStatus = -973;
inline constexpr int DownloadProgress = -988;
inline constexpr int StartInstallWalk = -992;
inline constexpr int NewDisk = -993;
inline constexpr int OperationEnd = -996;
inline constexpr int Replacing = -997;
inline constexpr int FileProgress = -998;
inline constexpr int ShortcutGroup = -991;
}  // namespace cc

// EventIDs reported by files and containers to their container.
namespace ev {
inline constexpr int FileInstalled = 1001;
inline constexpr int FileInstallStart = 1002;
inline constexpr int FileReplacing = 1003;
inline constexpr int CompressStart = 1004;
inline constexpr int CompressEnd = 1005;
inline constexpr int CopyStart = 1006;
inline constexpr int CopyEnd = 1007;
inline constexpr int InstallProgress = 1008;
inline constexpr int CompressProgress = 1009;
inline constexpr int CopyProgress = 1010;
inline constexpr int NewDisk = 1011;
inline constexpr int OperationStart = 1012;
inline constexpr int OperationEnd = 1013;
inline constexpr int DownloadProgress = 1014;
inline constexpr int FileSkipped = 1015;
inline constexpr int FileKept = 1016;
}  // namespace ev

// RegisteredType numbers: sort position among helpers and routing of component calls.
namespace rt {
inline constexpr int FileContainer = 1000;
inline constexpr int InstallFile = 2000;
inline constexpr int ShortcutGroup = 7000;
inline constexpr int Shortcut = 8000;
inline constexpr int Dialog = 9000;
}  // namespace rt

}  // namespace kestrune
