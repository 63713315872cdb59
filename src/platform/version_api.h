// The version API: the version information block of a file, its fixed file information
// and its string values. The Windows build asks the system; natively the portable PE
// reader (portable_pe_version.h) reads the file.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrune::platform {

struct FixedFileInfo {
  uint32_t fileVersionMS = 0, fileVersionLS = 0;
  uint32_t productVersionMS = 0, productVersionLS = 0;
  uint32_t fileOS = 0, fileType = 0, fileSubtype = 0;
};

// The version information block of a file (GetFileVersionInfoSize + GetFileVersionInfo);
// empty when the file has none (also when it is no program file at all). Raises
// PlatformError when the file cannot be opened or read, so that a locked or missing file
// is not taken for one without a version.
std::optional<std::vector<uint8_t>> ReadVersionInfo(const std::string& path);
// The root block "\" of a version information block (VerQueryValue); empty when absent.
std::optional<FixedFileInfo> QueryFixedFileInfo(const std::vector<uint8_t>& block);
// A string value, e.g. "\StringFileInfo\040904E4\CompanyName", as UTF-8; empty when absent.
std::optional<std::string> QueryVersionString(const std::vector<uint8_t>& block, const std::string& subBlock);

}  // namespace kestrune::platform
