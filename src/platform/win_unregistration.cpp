// DllUnregisterServer of an in-process server, called with OLE initialised.
#include <windows.h>
#include <ole2.h>

#include "platform/text.h"
#include "platform/unregistration.h"

namespace kestrune::platform {

bool callDllUnregisterServer(const std::string& path) {
  const bool ole = SUCCEEDED(OleInitialize(nullptr));
  bool done = false;
  if (HMODULE module = LoadLibraryW(Widen(path).c_str())) {
    using Entry = HRESULT(STDAPICALLTYPE*)();
    if (auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer"))))
      done = SUCCEEDED(entry());
    FreeLibrary(module);
  }
  if (ole) OleUninitialize();
  return done;
}

}  // namespace kestrune::platform
