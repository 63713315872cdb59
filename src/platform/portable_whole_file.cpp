// Whole files in one call: the inputs and outputs of the kit's tools.
#include <cerrno>

#include "platform/files.h"
#include "platform/platform_error.h"

namespace kestrune::platform {

std::vector<uint8_t> readWholeFile(const std::string& path) {
  File in = File::open(path, FileAccess::Read);
  std::vector<uint8_t> bytes;
  uint8_t chunk[64 * 1024];
  for (size_t n; (n = in.read(chunk, sizeof chunk)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  return bytes;
}

void writeWholeFile(const std::string& path, const void* data, size_t size) {
  PendingFile out(path);
  out.writeAll(data, size);
  out.commit();
}

bool isDiskFull(const PlatformError& error) {
#ifdef _WIN32
  return error.Code() == 112 || error.Code() == 39;  // ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL
#else
  return error.Code() == 112 || error.Code() == ENOSPC || error.Code() == EDQUOT;  // 112: File::writeAll
#endif
}

}  // namespace kestrune::platform
