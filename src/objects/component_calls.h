// The numbers that travel through the install object tree: component calls sent to
// dialog-type helpers (negative), EventIDs reported up to the container (1001-1016) and
// the RegisteredType numbers that order helpers and route component calls.
#pragma once

namespace kestrune {

// Component calls. An object sends them to its own dialog-type helpers
// (CallExternalComponents); dialog managers, the status dialog and TGrabCall react.
namespace cc {
// Sent by every install object's processing step.
inline constexpr int BeforeProcess = -990;  // after OnBeforeProcess
inline constexpr int Included = -999;       // the object is included
inline constexpr int AfterProcess = -989;   // after OnAfterProcess
// Status line of the install status dialog (TMessageParameter / none).
inline constexpr int ShowStatus = -974;
inline constexpr int HideStatus = -973;
// Progress and operations of file containers and files.
inline constexpr int DownloadProgress = -988;  // TDownloadStatusParameter
inline constexpr int StartInstallWalk = -992;
inline constexpr int NewDisk = -993;           // list: the file, a TDiskParameter
inline constexpr int OperationEnd = -996;      // end of a compress, install or copy
inline constexpr int Replacing = -997;         // the file about to replace its destination
inline constexpr int FileProgress = -998;      // TFileStatusParameter
inline constexpr int ShortcutGroup = -991;
// Sent by the engine during the installation run.
inline constexpr int BeforeReadArchiveInfo = -984;
inline constexpr int AfterReadArchiveInfo = -983;
inline constexpr int InstallStart = -986;  // the database engine group resets its state
// Stage calls that follow InstallStart, in this order; only a script's own external
// call objects react to them.
inline constexpr int InstallStage1 = -976;
inline constexpr int InstallStage2 = -975;
inline constexpr int InstallStage3 = -982;
inline constexpr int InstallStage4 = -981;
inline constexpr int InstallStage5 = -977;
inline constexpr int BeforeInstallDialogs = -980;  // welcome, licence and selection pages
inline constexpr int BeforeGoodEnding = -995;
inline constexpr int GoodEnding = -979;  // the success pages
inline constexpr int BeforeBadEnding = -994;
inline constexpr int BadEnding = -978;   // the failure pages
inline constexpr int Reboot = -987;      // a restart is about to happen
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
