// Libraries loaded at run time by their full path, with their exports looked up by name.
#pragma once
#include <cstdint>
#include <string>

// The calling convention of the exports the kit calls in libraries it ships itself.
#if defined(_WIN32)
#define KESTRUNE_STDCALL __stdcall
#else
#define KESTRUNE_STDCALL
#endif

namespace kestrune::platform {

class DynamicLibrary {
 public:
  // Loads the library at path (a full path: the system's search order is not used).
  // Raises PlatformError("LoadLibraryW", code); natively every load fails with error 120.
  static DynamicLibrary load(const std::string& path);
  DynamicLibrary(DynamicLibrary&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  ~DynamicLibrary() { free(); }

  // The export of that name; nullptr when the library has none.
  void* procAddress(const char* name) const;
  bool isLoaded() const { return handle_ != 0; }
  // Unloads the library; later calls do nothing.
  void free();

 private:
  explicit DynamicLibrary(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = 0;
};

}  // namespace kestrune::platform
