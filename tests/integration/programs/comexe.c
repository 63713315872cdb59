/* A small local server: started with /RegServer it records its registration under
   HKLM\Software\KestruneTest (value = the program's file name, data "registered"); with
   /UnregServer it sets the value to "unregistered". */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  char path[MAX_PATH];
  const char* name;
  HKEY key;
  const char* state = "registered";
  if (strstr(commandLine, "/UNREGSERVER") || strstr(commandLine, "/UnregServer")) state = "unregistered";
  else if (!strstr(commandLine, "/REGSERVER") && !strstr(commandLine, "/RegServer")) return 0;
  GetModuleFileNameA(NULL, path, sizeof path);
  name = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\KestruneTest", 0, NULL, 0, KEY_WRITE, NULL, &key, NULL)) return 1;
  RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)state, (DWORD)strlen(state) + 1);
  RegCloseKey(key);
  return 0;
}
