// System routines: Windows and system directories, the platform class, temporary file
// names, short paths, INI values and unique component names. Failures of the system raise
// EAPIRoutines with the kit's texts.
#pragma once
#include <string>
#include <string_view>

namespace kestrune {

class TComponent;

// Platform classes of GetWindowsPlatform.
enum TWindowsPlatform : int {
  wpWin32s = 0,
  wpWindows95 = 1,
  wpWindowsNT = 2,   // Windows NT 4.0 or later
  wpWindowsNT35 = 3, // Windows NT 3.5x
  wpOther = 4,
};

// The short (8.3) form of a path; the path unchanged when the system cannot shorten it
// (it does not exist, or the volume keeps no short names).
std::string GetShortPath(std::string_view path);
// Raises EAPIRoutines "Could not get information about the current version of Windows".
int GetWindowsPlatform();
// The class of a version: platform id 0, 1, 2 (3 for versions "3.5x"), anything else 4.
int WindowsPlatformOf(unsigned platformId, unsigned major, unsigned minor);
// A new unique file name "bat....tmp" in the temporary directory. The system creates the
// file; it is deleted again unless keep. Raises EAPIRoutines "Cannot create a temporary file".
std::string MakeTempFileName(bool keep);
// The directories as the system gives them. Raise EAPIRoutines.
std::string GetSystemDir();
std::string GetWindowsDir();
// The value of key in section of an INI file; empty when the file, section or key is missing.
std::string ReadIniString(std::string_view file, std::string_view section, std::string_view key);
// Names the component baseName, or baseName1, baseName2, ... when the name is taken by
// another component of its owner. An invalid name raises EComponentError.
void SetUniqueName(TComponent& component, std::string_view baseName);

}  // namespace kestrune
