// No libraries to load natively.
#include "platform/unregistration.h"

namespace kestrune::platform {

bool callDllUnregisterServer(const std::string&) { return false; }

}  // namespace kestrune::platform
