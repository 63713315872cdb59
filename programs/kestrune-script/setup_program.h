// The kit's setup program made to carry a given install script.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {
class TCustomInstall;
}

namespace kestrune::tools {

// The setup program at setupPath with stream as its install script: the program rewritten
// in memory with its resource section laid out anew. Raises EFOpenError when setupPath is
// not a Windows program or not a setup program of the kit (it carries no script).
std::vector<uint8_t> SetupProgramWithScript(const std::string& setupPath, const std::vector<uint8_t>& stream);

// The script with the licence file its engine names (LicenseFile, relative to scriptDir
// unless absolute) carried in the engine's LicenseText: the lines go into the engine's
// object of the script's text form, which is otherwise left as it is. The script as it
// is when it names no file or sets LicenseText itself. Raises the reading error of the
// file, or EConvertError for one that is not text.
std::vector<uint8_t> ScriptWithLicense(const std::vector<uint8_t>& stream, const TCustomInstall& engine,
                                       const std::string& scriptDir);

}  // namespace kestrune::tools
