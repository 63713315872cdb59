// DynamicLibrary on Windows: LoadLibraryExW with the altered search path, so the
// library's own dependencies are found beside it.
#include <windows.h>

#include "platform/dynamic_library.h"
#include "platform/platform_error.h"
#include "platform/text.h"

namespace kestrune::platform {

DynamicLibrary DynamicLibrary::load(const std::string& path) {
  HMODULE module = ::LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) throwWin32("LoadLibraryW", ::GetLastError());
  return DynamicLibrary(reinterpret_cast<intptr_t>(module));
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    free();
    handle_ = other.handle_;
    other.handle_ = 0;
  }
  return *this;
}

void* DynamicLibrary::procAddress(const char* name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
}

void DynamicLibrary::free() {
  if (handle_) ::FreeLibrary(reinterpret_cast<HMODULE>(handle_));
  handle_ = 0;
}

}  // namespace kestrune::platform
