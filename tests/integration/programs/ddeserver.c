/* A stand-in for Program Manager's DDE command server, for the client's tests: service
   and topic from the command line; it keeps one group whose lines a request for any item
   returns (the group line, then one line per item), takes CreateGroup, ShowGroup, AddItem
   and ReplaceItem, refuses every command that mentions "Fail", and ends on [Quit()].
   Usage: ddeserver SERVICE [LOG-FILE]: with a log file it writes each command it gets
   there as a line of UTF-8 (the file is made empty first, so it also tells that the
   server is ready). */
#include <windows.h>
#include <ddeml.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

static DWORD instance;
static HSZ service;
static char group[256];
static char items[64][512];
static int itemCount;
static FILE *logFile;

/* The text between "[Name(" and ")]", quotes around the whole kept. */
static const char *args(const char *command, const char *name, char *out, size_t size) {
  const char *at = strstr(command, name);
  if (!at) return NULL;
  at += strlen(name);
  const char *end = strstr(at, ")]");
  size_t n = end ? (size_t)(end - at) : strlen(at);
  if (n >= size) n = size - 1;
  memcpy(out, at, n);
  out[n] = 0;
  return out;
}

static void unquote(char *s) {
  size_t n = strlen(s);
  if (n >= 2 && s[0] == '"' && s[n - 1] == '"') {
    memmove(s, s + 1, n - 2);
    s[n - 2] = 0;
  }
}

static int execute(const char *command) {
  char a[512];
  if (strstr(command, "Fail")) return 0;
  if (strstr(command, "[Quit()]")) {
    PostQuitMessage(0);
    return 1;
  }
  if (args(command, "[CreateGroup(", a, sizeof a)) {
    unquote(a);
    if (strcmp(a, group) != 0) itemCount = 0;
    strcpy(group, a);
    return 1;
  }
  if (args(command, "[ShowGroup(", a, sizeof a)) return 1;
  if (args(command, "[AddItem(", a, sizeof a)) {
    /* command line, name, icon path, ... : the line Program Manager would give back. */
    char *comma = strchr(a, ',');
    if (!comma || itemCount == 64) return 0;
    *comma = 0;
    char *name = comma + 1;
    char *rest = strchr(name, ',');
    if (rest) *rest++ = 0;
    snprintf(items[itemCount++], sizeof items[0], "\"%s\",%s,%s", name, a, rest ? rest : "");
    return 1;
  }
  if (args(command, "[ReplaceItem(", a, sizeof a)) {
    unquote(a);
    for (int i = 0; i < itemCount; ++i) {
      char quoted[300];
      snprintf(quoted, sizeof quoted, "\"%s\",", a);
      if (strncmp(items[i], quoted, strlen(quoted)) == 0) {
        memmove(items[i], items[i + 1], (size_t)(itemCount - i - 1) * sizeof items[0]);
        --itemCount;
        return 1;
      }
    }
    return 0;
  }
  return 0;
}

static HDDEDATA CALLBACK callback(UINT type, UINT format, HCONV conv, HSZ topic, HSZ item, HDDEDATA data, ULONG_PTR d1,
                                  ULONG_PTR d2) {
  (void)conv; (void)topic; (void)d1; (void)d2;
  switch (type) {
    case XTYP_CONNECT: return (HDDEDATA)TRUE;
    case XTYP_EXECUTE: {
      DWORD size = 0;
      const BYTE *bytes = DdeAccessData(data, &size);
      char command[2048] = {0};
      if (bytes) WideCharToMultiByte(CP_ACP, 0, (const wchar_t *)bytes, -1, command, sizeof command - 1, NULL, NULL);
      if (bytes && logFile) {
        char line[4096] = {0};
        WideCharToMultiByte(CP_UTF8, 0, (const wchar_t *)bytes, -1, line, sizeof line - 1, NULL, NULL);
        fprintf(logFile, "%s\n", line);
        fflush(logFile);
      }
      DdeUnaccessData(data);
      return (HDDEDATA)(ULONG_PTR)(execute(command) ? DDE_FACK : DDE_FNOTPROCESSED);
    }
    case XTYP_REQUEST: {
      if (format != CF_TEXT || !group[0]) return NULL;
      static char text[64 * 520 + 300];
      snprintf(text, sizeof text, "\"%s\",%s.grp,%d,0\r\n", group, group, itemCount);
      for (int i = 0; i < itemCount; ++i) {
        strcat(text, items[i]);
        strcat(text, "\r\n");
      }
      return DdeCreateDataHandle(instance, (BYTE *)text, (DWORD)strlen(text) + 1, 0, item, CF_TEXT, 0);
    }
  }
  return NULL;
}

int wmain(int argc, wchar_t **argv) {
  if (argc < 2) return 3;
  if (DdeInitializeW(&instance, callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0) !=
      DMLERR_NO_ERROR)
    return 1;
  service = DdeCreateStringHandleW(instance, argv[1], CP_WINUNICODE);
  if (!DdeNameService(instance, service, NULL, DNS_REGISTER)) return 1;
  if (argc > 2 && !(logFile = _wfopen(argv[2], L"wb"))) return 1;
  MSG msg;
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DdeNameService(instance, service, NULL, DNS_UNREGISTER);
  DdeFreeStringHandle(instance, service);
  DdeUninitialize(instance);
  if (logFile) fclose(logFile);
  return 0;
}
