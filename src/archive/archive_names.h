// File names of archives: volume names, joining directory and name, and the checks that
// keep a member's stored name from leaving the extraction directory.
#pragma once
#include <string>
#include <string_view>

namespace kestrune {

// The name of volume n of a spanned set: the extension replaced by "." + n.
std::string VolumeName(std::string_view archive, int volume);
// dir + separator + name; just name when dir is empty. A trailing separator of dir is kept
// single.
std::string JoinPath(std::string_view dir, std::string_view name);
// The last part of a member name (after the last "\", "/" or ":"), or an empty string when
// that part is not a plain file name: empty, "." or "..", only dots and blanks, control or
// reserved characters, or a device name such as CON or LPT1.
std::string SafeLeafName(std::string_view name);

// The folder from which the relative source file names of a build are taken (the script's
// folder; the setup program's own folder for -b). Empty: the current directory.
void SetSourceFolder(std::string folder);
const std::string& SourceFolder();
// True for "C:...", "\\..." and "/..." names: they do not depend on a folder.
bool IsAbsoluteName(std::string_view name);
// Where a source file that a script names lies on the building machine: a relative name
// joined to the source folder, any other as it is. The name stays the archive member's.
std::string SourceFileOnDisk(std::string_view name);

}  // namespace kestrune
