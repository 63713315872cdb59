// `kestrune-script add-folder`: a whole folder of the product added to a text script as one
// install file object per file.
#pragma once
#include <string>

namespace kestrune::tools {

// Adds to the text script at scriptPath one TInstallFile per file under folder (sub-folders
// included, in name order) in the file container named container: the source taken from
// the folder relative to the script's folder when it lies inside it, the destination the
// container's folder plus the file's sub-folder. Files the script already has (same source)
// are left out, so that running it again adds only new files. The result must load; it is
// written to outPath (the script itself when empty) only then. Returns the number added.
int AddFolder(const std::string& scriptPath, const std::string& folder, const std::string& container,
              const std::string& outPath);

}  // namespace kestrune::tools
