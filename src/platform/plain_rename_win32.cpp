// Renaming an open file (plain_files.h); a file of its own, so that a program that only
// renames (through File::tryRenameOpen) links nothing else of the plain calls.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/plain_files.h"

namespace kestrune::platform::plain {

bool renameOpenFile(void* handle, const wchar_t* target, bool replace) {
  // SetFileInformationByHandle exists from Windows Vista on; older systems rename by name.
  // The rename record is declared here because the headers show it only to Vista builds.
  // Looked up once (a race only looks it up twice).
  using SetInfo = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
  static SetInfo setInfo = nullptr;
  static bool looked = false;
  if (!looked) {
    setInfo = reinterpret_cast<SetInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetFileInformationByHandle")));
    looked = true;
  }
  if (!setInfo) return false;
  struct RenameInfo {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
  };
  constexpr int kFileRenameInfo = 3;
  const size_t length = wcslen(target);
  const size_t bytes = offsetof(RenameInfo, fileName) + (length + 1) * sizeof(WCHAR);
  auto* info = static_cast<RenameInfo*>(malloc(bytes));
  if (!info) return false;
  info->replaceIfExists = replace ? TRUE : FALSE;
  info->rootDirectory = nullptr;
  info->fileNameLength = static_cast<DWORD>(length * sizeof(WCHAR));
  memcpy(info->fileName, target, (length + 1) * sizeof(WCHAR));
  const bool renamed = setInfo(static_cast<HANDLE>(handle), kFileRenameInfo, info, static_cast<DWORD>(bytes)) != 0;
  free(info);
  return renamed;
}

}  // namespace kestrune::platform::plain
