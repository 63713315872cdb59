// Registration natively: there are no ActiveX servers to load, and version blocks carry
// no translation table the portable reader exposes.
#include "platform/registration.h"

namespace kestrune::platform {

DllRegisterResult callDllRegisterServer(const std::string&) { return {DllRegisterOutcome::LoadFailed, 120}; }

std::vector<std::pair<uint16_t, uint16_t>> versionTranslations(const std::vector<uint8_t>&) { return {}; }

}  // namespace kestrune::platform
