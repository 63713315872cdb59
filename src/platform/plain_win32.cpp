// File, profile and registry calls without exceptions or the C++ runtime (plain_files.h).
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/plain_files.h"

namespace kestrune::platform::plain {
namespace {

// The ANSI text as UTF-16 in a new malloc'd block, null when it cannot be converted.
wchar_t* widen(const char* ansi, size_t extra = 0) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  if (n <= 0) return nullptr;
  auto* wide = static_cast<wchar_t*>(malloc((static_cast<size_t>(n) + extra) * sizeof(wchar_t)));
  if (wide && MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, n) != n) {
    free(wide);
    return nullptr;
  }
  return wide;
}

bool writeAll(HANDLE file, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

}  // namespace

bool readFile(const char* path, char** data, size_t* size) {
  *data = nullptr;
  *size = 0;
  wchar_t* wide = widen(path);
  if (!wide) return false;
  HANDLE file = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  free(wide);
  if (file == INVALID_HANDLE_VALUE) return false;
  size_t capacity = 64 * 1024, used = 0;
  char* buffer = static_cast<char*>(malloc(capacity));
  bool ok = buffer != nullptr;
  while (ok) {
    if (used == capacity) {
      char* bigger = capacity <= SIZE_MAX / 2 ? static_cast<char*>(realloc(buffer, capacity * 2)) : nullptr;
      if (!bigger) {
        ok = false;
        break;
      }
      buffer = bigger;
      capacity *= 2;
    }
    const size_t room = capacity - used;
    DWORD got = 0;
    if (!ReadFile(file, buffer + used, room > (1u << 30) ? (1u << 30) : static_cast<DWORD>(room), &got, nullptr)) {
      ok = false;
    } else if (got == 0) {
      break;
    }
    used += got;
  }
  CloseHandle(file);
  if (!ok) {
    free(buffer);
    return false;
  }
  *data = buffer;
  *size = used;
  return true;
}

bool writeFile(const char* path, const void* data, size_t size) {
  wchar_t* target = widen(path);
  if (!target) return false;
  // "~NAME.XXXXXX.tmp" beside the target: the folder part, "~", the name, the number.
  const size_t length = wcslen(target);
  size_t leaf = length;
  while (leaf > 0 && target[leaf - 1] != L'\\' && target[leaf - 1] != L'/') --leaf;
  auto* temp = static_cast<wchar_t*>(malloc((length + 16) * sizeof(wchar_t)));
  if (!temp) {
    free(target);
    return false;
  }
  static unsigned counter = 0;
  const unsigned seed = GetTickCount() ^ GetCurrentProcessId();
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
    const unsigned tag = (seed ^ (InterlockedIncrement(reinterpret_cast<volatile LONG*>(&counter)) * 2654435761u)) &
                         0xFFFFFFu;
    memcpy(temp, target, leaf * sizeof(wchar_t));
    size_t at = leaf;
    temp[at++] = L'~';
    memcpy(temp + at, target + leaf, (length - leaf) * sizeof(wchar_t));
    at += length - leaf;
    temp[at++] = L'.';
    for (int shift = 20; shift >= 0; shift -= 4) temp[at++] = L"0123456789abcdef"[(tag >> shift) & 0xF];
    memcpy(temp + at, L".tmp", 5 * sizeof(wchar_t));
    file = CreateFileW(temp, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE && (attempt >= 16 || GetFileAttributesW(temp) == INVALID_FILE_ATTRIBUTES)) break;
  }
  bool ok = file != INVALID_HANDLE_VALUE && writeAll(file, data, size);
  bool committed = false;
  if (ok && renameOpenFile(file, target, true)) {
    committed = true;
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (ok && !committed) committed = MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING) != 0;
  if (file != INVALID_HANDLE_VALUE && !committed) DeleteFileW(temp);
  free(temp);
  free(target);
  return committed;
}

bool writeWindowsProfileString(const char* file, const char* section, const char* key, const char* value) {
  wchar_t folder[MAX_PATH + 1];
  const UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  wchar_t* leaf = widen(file);
  wchar_t* wideSection = widen(section);
  wchar_t* wideKey = widen(key);
  wchar_t* wideValue = widen(value);
  wchar_t* path = leaf ? static_cast<wchar_t*>(malloc((n + 2 + wcslen(leaf)) * sizeof(wchar_t))) : nullptr;
  bool ok = path && wideSection && wideKey && wideValue;
  if (ok) {
    memcpy(path, folder, n * sizeof(wchar_t));
    path[n] = L'\\';
    memcpy(path + n + 1, leaf, (wcslen(leaf) + 1) * sizeof(wchar_t));
    ok = WritePrivateProfileStringW(wideSection, wideKey, wideValue, path) != 0;
    // Windows 95 caches profile writes; this flushes the cache to the file.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path);
  }
  free(path);
  free(leaf);
  free(wideSection);
  free(wideKey);
  free(wideValue);
  return ok;
}

bool incrementLocalMachineDword(const char* key, const char* name) {
  wchar_t* wideKey = widen(key);
  wchar_t* wideName = widen(name);
  HKEY handle = nullptr;
  bool ok = wideKey && wideName &&
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, wideKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                            nullptr, &handle, nullptr) == ERROR_SUCCESS;
  if (ok) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(handle, wideName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
      value = 0;
    ++value;
    ok = RegSetValueExW(handle, wideName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  free(wideKey);
  free(wideName);
  return ok;
}

}  // namespace kestrune::platform::plain
