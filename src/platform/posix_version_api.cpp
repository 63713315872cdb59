// The version API natively: version resources are read from the PE file itself by the
// portable reader, so native tools see the same versions as the Windows build.
#include "platform/portable_pe_version.h"
#include "platform/version_api.h"

namespace kestrune::platform {

std::optional<std::vector<uint8_t>> ReadVersionInfo(const std::string& path) { return pe::ReadVersionResource(path); }

std::optional<FixedFileInfo> QueryFixedFileInfo(const std::vector<uint8_t>& block) {
  return pe::QueryFixedFileInfo(block);
}

std::optional<std::string> QueryVersionString(const std::vector<uint8_t>& block, const std::string& subBlock) {
  return pe::QueryVersionString(block, subBlock);
}

}  // namespace kestrune::platform
