/* Holds a file open without delete sharing, as a running program holds its DLL, until a
   stop file appears. Usage: holder FILE READY-FILE STOP-FILE */
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  HANDLE h = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) return 1;
  HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  for (int i = 0; i < 6000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
  CloseHandle(h);
  return 0;
}
