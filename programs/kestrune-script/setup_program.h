// The kit's setup program made to carry a given install script.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrune::tools {

// The setup program at setupPath with stream as its install script: the program rewritten
// in memory with its resource section laid out anew. Raises EFOpenError when setupPath is
// not a Windows program or not a setup program of the kit (it carries no script).
std::vector<uint8_t> SetupProgramWithScript(const std::string& setupPath, const std::vector<uint8_t>& stream);

}  // namespace kestrune::tools
