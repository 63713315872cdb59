/* Holds a file open without delete sharing, as a running program holds its DLL, until a
   stop file appears or the session ends: like any program at a restart it lets go when
   Windows asks (WM_QUERYENDSESSION, WM_ENDSESSION, or the console's shutdown and close
   events), so the restart can put a waiting file in its place. Told of the session's end,
   it first writes the names of the files beside its file into the ready file: what was
   waiting there at that moment. It gives up on its own after five minutes.
   Usage: holder FILE READY-FILE STOP-FILE */
#include <string.h>
#include <windows.h>

static HANDLE held = INVALID_HANDLE_VALUE;
static const char *heldFile, *readyFile, *stopFile;

static void listFolder(void) {
  char pattern[MAX_PATH];
  lstrcpynA(pattern, heldFile, MAX_PATH - 4);
  char *slash = strrchr(pattern, '\\');
  lstrcpyA(slash ? slash + 1 : pattern, "*");
  HANDLE out = CreateFileA(readyFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (out == INVALID_HANDLE_VALUE) return;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(pattern, &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DWORD written;
      WriteFile(out, found.cFileName, lstrlenA(found.cFileName), &written, NULL);
      WriteFile(out, "\r\n", 2, &written, NULL);
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  CloseHandle(out);
}

static void release(void) {
  HANDLE h = InterlockedExchangePointer(&held, INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

static void endOfSession(void) {
  if (held != INVALID_HANDLE_VALUE) listFolder();
  release();
}

static BOOL WINAPI consoleEvent(DWORD type) {
  if (type == CTRL_SHUTDOWN_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_CLOSE_EVENT) {
    endOfSession();
    ExitProcess(0);
  }
  return FALSE;
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      /* Agree and let go at once: a restart may move files right after this answer. */
      endOfSession();
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) {
        endOfSession();
        PostQuitMessage(0);
      }
      return 0;
    case WM_TIMER:
      if (GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES || GetTickCount() > (DWORD)GetWindowLongPtrA(window, GWLP_USERDATA))
        PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

int main(int argc, char **argv) {
  if (argc < 4) return 2;
  heldFile = argv[1], readyFile = argv[2], stopFile = argv[3];
  held = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  if (held == INVALID_HANDLE_VALUE) return 1;
  SetConsoleCtrlHandler(consoleEvent, TRUE);
  /* A hidden top-level window: the session's end reaches programs through their windows. */
  WNDCLASSA wc = {0};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.lpszClassName = "KestruneTestHolder";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "holder", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
  if (!window) return 1;
  SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)(GetTickCount() + 300000));
  SetTimer(window, 1, 50, NULL);
  HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  release();
  DestroyWindow(window);
  return 0;
}
