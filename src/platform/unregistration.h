// Removing an in-process ActiveX server's registration through its DllUnregisterServer
// export (the uninstaller's counterpart of callDllRegisterServer).
#pragma once
#include <string>

namespace kestrune::platform {

// Loads the library, calls DllUnregisterServer and unloads it. True when the call
// succeeded; false when the library cannot be loaded, lacks the export or refuses.
// Never raises; natively always false.
bool callDllUnregisterServer(const std::string& path);

}  // namespace kestrune::platform
