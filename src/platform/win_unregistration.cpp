// DllUnregisterServer of an in-process server, called with OLE initialised.
#include <windows.h>
#include <ole2.h>

#include "platform/text.h"
#include "platform/unregistration.h"
#include "platform/win_system_library.h"

namespace kestrune::platform {

bool callDllUnregisterServer(const std::string& path) {
  const bool ole = SUCCEEDED(KESTRUNE_SYSTEM_CALL("ole32.dll", OleInitialize)(nullptr));
  bool done = false;
  if (HMODULE module = LoadLibraryW(Widen(path).c_str())) {
    using Entry = HRESULT(STDAPICALLTYPE*)();
    if (auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer"))))
      done = SUCCEEDED(entry());
    FreeLibrary(module);
  }
  if (ole) KESTRUNE_SYSTEM_CALL("ole32.dll", OleUninitialize)();
  return done;
}

}  // namespace kestrune::platform
