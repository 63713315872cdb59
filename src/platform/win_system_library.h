// System libraries that an ordinary run does not need (COM, the shell, the common controls,
// the version reader), loaded at the first call of one of their functions instead of by
// the import table: under Wine every imported library and what it pulls in (the common
// controls alone bring the X11 driver, ole32, uxtheme) is mapped before main runs, several
// megabytes of working set that a run installing files never touches.
#pragma once
#include <string>

#include "platform/platform_error.h"

namespace kestrune::platform {

// A system library or one of its functions that cannot be had: the message names both.
class SystemLibraryError : public PlatformError {
 public:
  SystemLibraryError(const std::string& library, const std::string& function, unsigned long code);
  const char* ClassName() const noexcept override { return "SystemLibraryError"; }
};

// The export FUNCTION of LIBRARY, a library of the system folder (loaded from there by its
// full path at the first call and kept loaded). Raises SystemLibraryError when the library
// cannot be loaded or has no such export.
void* systemProc(const char* library, const char* function);

}  // namespace kestrune::platform

// The function FUNCTION of the system library LIBRARY, with the type the system headers give
// it, looked up once per place of use.
#define KESTRUNE_SYSTEM_CALL(library, function)                                                      \
  ([]() {                                                                                            \
    static const auto resolved =                                                                     \
        reinterpret_cast<decltype(&::function)>(::kestrune::platform::systemProc(library, #function)); \
    return resolved;                                                                                 \
  }())
