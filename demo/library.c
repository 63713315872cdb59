/* A shared system library of the Zarvotill product. With ZV_SERVER it is an ActiveX server:
   DllRegisterServer records the library under HKEY_LOCAL_MACHINE\Software\Zarvotill\Servers
   (value: the library's name, data: its full path), DllUnregisterServer removes it. */
#include <windows.h>

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

__declspec(dllexport) int WINAPI ZvLibraryVersion(void) { return ZV_MAJOR; }

#ifdef ZV_SERVER
static const wchar_t serversKey[] = L"Software\\Zarvotill\\Servers";

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  HKEY key;
  LONG rc;
  if (n == 0 || n >= MAX_PATH) return E_FAIL;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, serversKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
    return E_FAIL;
  rc = RegSetValueExW(key, ZV_NAME, 0, REG_SZ, (const BYTE*)path, (n + 1) * sizeof(wchar_t));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, serversKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return S_OK;
  RegDeleteValueW(key, ZV_NAME);
  RegCloseKey(key);
  return S_OK;
}
#endif
