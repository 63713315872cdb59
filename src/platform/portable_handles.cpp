// The parts of the file and registry classes that are the same on every platform.
#include "platform/files.h"
#include "platform/registry.h"

namespace kestrune::platform {

File::~File() { close(); }
File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

std::string normalizeKeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  return std::string(path);
}

}  // namespace kestrune::platform
