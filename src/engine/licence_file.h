// The licence agreement a script names in LicenseFile, read into its LicenseText when a
// setup program is made from the script.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// The lines of a licence file: UTF-8 (a leading byte order mark skipped) or, when the
// bytes are not UTF-8, Windows-1250 text; an RTF document is text of that kind too and
// stays one document. Raises EConvertError "... is not a text file" for a file holding a
// NUL byte, and for one larger than 1 MB.
std::vector<std::string> LicenseLines(std::string_view bytes, const std::string& name);

}  // namespace kestrune
