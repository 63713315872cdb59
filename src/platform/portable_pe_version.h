// A portable reader of version resources: finds the version resource of a PE file
// (resource type 16, name 1) through its section table and resource directory, and
// answers the queries of the version API on the block. Every offset and length read from
// the file is checked against what is there; bad input gives "no version", never a read
// outside the input. Natively this is the version API; the Windows build keeps the
// system's reader and carries this one for comparison.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/version_api.h"

namespace kestrune::platform::pe {

// Reads count bytes at offset; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, void* buffer, size_t count)>;

// The VS_VERSIONINFO block of a PE image (its first wLength bytes); empty when the image
// is not a PE file or carries no well-formed version resource. Among several languages
// of the resource the neutral one is taken, then US English, then the first.
std::optional<std::vector<uint8_t>> FindVersionResource(const ReadAt& readAt);
std::optional<std::vector<uint8_t>> FindVersionResource(const uint8_t* data, size_t size);
// The same for a file on disk. Raises PlatformError when the file cannot be opened.
std::optional<std::vector<uint8_t>> ReadVersionResource(const std::string& path);

// The fixed file information (the root value "\"); empty when the root value is shorter
// than the 52-byte VS_FIXEDFILEINFO.
std::optional<FixedFileInfo> QueryFixedFileInfo(const std::vector<uint8_t>& block);
// The value at a path such as "\StringFileInfo\040904E4\CompanyName" (keys compared
// ignoring ASCII case, empty path components skipped), as UTF-8 up to its first NUL;
// empty when a key is not found.
std::optional<std::string> QueryVersionString(const std::vector<uint8_t>& block, const std::string& subBlock);
// The language and code-page pairs of "\VarFileInfo\Translation", in their stored order;
// empty when the block has none.
std::vector<std::pair<uint16_t, uint16_t>> QueryTranslations(const std::vector<uint8_t>& block);

}  // namespace kestrune::platform::pe
