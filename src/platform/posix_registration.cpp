// Registration natively: there are no ActiveX servers to load; the translation table
// comes from the portable version reader, so a native build sees self-registering files.
#include "platform/portable_pe_version.h"
#include "platform/registration.h"

namespace kestrune::platform {

DllRegisterResult callDllRegisterServer(const std::string&) { return {DllRegisterOutcome::LoadFailed, 120}; }

std::vector<std::pair<uint16_t, uint16_t>> versionTranslations(const std::vector<uint8_t>& block) {
  return pe::QueryTranslations(block);
}

}  // namespace kestrune::platform
