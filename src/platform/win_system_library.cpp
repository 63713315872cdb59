// Functions of system libraries loaded at their first call (see win_system_library.h).
#include "platform/win_system_library.h"

#include <windows.h>

#include "platform/text.h"

namespace kestrune::platform {

SystemLibraryError::SystemLibraryError(const std::string& library, const std::string& function, unsigned long code)
    : PlatformError(function, code) {
  SetMessage(code == ERROR_PROC_NOT_FOUND
                 ? Format("The system library %s has no function %s", {library, function})
                 : Format("The system library %s, needed for %s, cannot be loaded (error %d)",
                          {library, function, static_cast<long long>(code)}));
}

void* systemProc(const char* library, const char* function) {
  // From the system folder only: a library of that name beside the program is not taken.
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) throw SystemLibraryError(library, function, GetLastError());
  HMODULE module = LoadLibraryW((std::wstring(dir, n) + L"\\" + Widen(library)).c_str());
  if (!module) throw SystemLibraryError(library, function, GetLastError());
  if (FARPROC proc = GetProcAddress(module, function)) return reinterpret_cast<void*>(proc);
  FreeLibrary(module);
  throw SystemLibraryError(library, function, ERROR_PROC_NOT_FOUND);
}

}  // namespace kestrune::platform
