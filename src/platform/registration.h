// Registration of installed files with the system: in-process ActiveX servers through
// their DllRegisterServer export, and the translation table of a version resource (a file
// that registers itself names "OLESelfRegister" under its first translation).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrune::platform {

enum class DllRegisterOutcome { Registered, LoadFailed, NoEntryPoint, Refused };

struct DllRegisterResult {
  DllRegisterOutcome outcome = DllRegisterOutcome::Registered;
  // The system error for LoadFailed and NoEntryPoint; DllRegisterServer's result for Refused.
  long code = 0;
};

// Initialises OLE, loads the library, calls its DllRegisterServer and unloads it again
// (also when the call failed). Never raises; natively every load fails with error 120.
DllRegisterResult callDllRegisterServer(const std::string& path);

// The language and code-page pairs of "\VarFileInfo\Translation" of a version block, in
// their stored order; empty when the block has none.
std::vector<std::pair<uint16_t, uint16_t>> versionTranslations(const std::vector<uint8_t>& block);

}  // namespace kestrune::platform
