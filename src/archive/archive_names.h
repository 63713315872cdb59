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

}  // namespace kestrune
