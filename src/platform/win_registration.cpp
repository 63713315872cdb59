// ActiveX registration through LoadLibrary and DllRegisterServer, and the translation
// table of version resources through VerQueryValue.
#include <windows.h>
#include <ole2.h>

#include "platform/registration.h"
#include "platform/text.h"
#include "platform/win_system_library.h"

namespace kestrune::platform {

namespace {

// OLE for the duration of one registration; a server's DllRegisterServer may create COM
// objects (type libraries) and expects it.
class OleScope {
 public:
  OleScope() : initialised_(SUCCEEDED(KESTRUNE_SYSTEM_CALL("ole32.dll", OleInitialize)(nullptr))) {}
  ~OleScope() {
    if (initialised_) KESTRUNE_SYSTEM_CALL("ole32.dll", OleUninitialize)();
  }

 private:
  bool initialised_;
};

class LibraryScope {
 public:
  explicit LibraryScope(HMODULE module) : module_(module) {}
  ~LibraryScope() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

DllRegisterResult callDllRegisterServer(const std::string& path) {
  OleScope ole;
  const std::wstring wide = Widen(path);
  LibraryScope library(LoadLibraryW(wide.c_str()));
  if (!library.get()) return {DllRegisterOutcome::LoadFailed, static_cast<long>(GetLastError())};
  using RegisterFunction = HRESULT(STDAPICALLTYPE*)();
  auto entry = reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(GetProcAddress(library.get(), "DllRegisterServer")));
  if (!entry) return {DllRegisterOutcome::NoEntryPoint, static_cast<long>(GetLastError())};
  // Foreign code: it reports through its result, and no C++ exception of ours is in flight.
  HRESULT result = entry();
  if (result != S_OK) return {DllRegisterOutcome::Refused, static_cast<long>(result)};
  return {};
}

std::vector<std::pair<uint16_t, uint16_t>> versionTranslations(const std::vector<uint8_t>& block) {
  std::vector<std::pair<uint16_t, uint16_t>> pairs;
  if (block.empty()) return pairs;
  WORD* table = nullptr;
  UINT len = 0;
  if (!KESTRUNE_SYSTEM_CALL("version.dll", VerQueryValueW)(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&table), &len) || !table)
    return pairs;
  for (UINT i = 0; i + 1 < len / sizeof(WORD); i += 2) pairs.emplace_back(table[i], table[i + 1]);
  return pairs;
}

}  // namespace kestrune::platform
