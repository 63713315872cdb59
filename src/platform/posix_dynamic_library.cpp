// DynamicLibrary natively: the kit's libraries are Windows libraries, so loading fails.
#include "platform/dynamic_library.h"
#include "platform/platform_error.h"

namespace kestrune::platform {

DynamicLibrary DynamicLibrary::load(const std::string&) { throwWin32("LoadLibraryW", 120); }

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  handle_ = other.handle_;
  other.handle_ = 0;
  return *this;
}

void* DynamicLibrary::procAddress(const char*) const { return nullptr; }

void DynamicLibrary::free() { handle_ = 0; }

}  // namespace kestrune::platform
