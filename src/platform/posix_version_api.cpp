// The version API natively: there is no system reader, so no file has version information.
#include "platform/version_api.h"

namespace kestrune::platform {

std::optional<std::vector<uint8_t>> ReadVersionInfo(const std::string&) { return std::nullopt; }
std::optional<FixedFileInfo> QueryFixedFileInfo(const std::vector<uint8_t>&) { return std::nullopt; }
std::optional<std::string> QueryVersionString(const std::vector<uint8_t>&, const std::string&) { return std::nullopt; }

}  // namespace kestrune::platform
