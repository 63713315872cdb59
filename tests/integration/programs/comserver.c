/* A small in-process server: DllRegisterServer records its registration under
   HKLM\Software\KestruneTest (value = the DLL's file name, data "registered"), or refuses
   with E_FAIL while KESTRUNE_REFUSE_REGISTRATION is set in the calling process;
   DllUnregisterServer sets the same value to "unregistered". */
#include <windows.h>

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

static HRESULT record(const char* state) {
  char path[MAX_PATH];
  const char* name;
  HKEY key;
  GetModuleFileNameA(self, path, sizeof path);
  name = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\KestruneTest", 0, NULL, 0, KEY_WRITE, NULL, &key, NULL)) return E_FAIL;
  RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)state, (DWORD)strlen(state) + 1);
  RegCloseKey(key);
  return S_OK;
}

__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) {
  char value[8];
  if (GetEnvironmentVariableA("KESTRUNE_REFUSE_REGISTRATION", value, sizeof value)) return E_FAIL;
  return record("registered");
}

__declspec(dllexport) HRESULT __stdcall DllUnregisterServer(void) { return record("unregistered"); }
