// The version API through GetFileVersionInfoSizeW, GetFileVersionInfoW and VerQueryValueW.
#include <windows.h>

#include <cwchar>

#include "platform/platform_error.h"
#include "platform/text.h"
#include "platform/version_api.h"
#include "platform/win_system_library.h"

namespace kestrune::platform {

namespace {

// Whether the file's first two bytes are readable and not "MZ": then it is no program file
// and has no version resource. The system's version reader maps every file it is given
// as a module first (under Wine several server calls and a section per file), which a build
// of thousands of data files paid for each. A file that cannot be opened or read is left
// to the system's reader, which reports why.
bool surelyNoProgram(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char magic[2] = {};
  DWORD got = 0;
  const bool read = ReadFile(h, magic, sizeof magic, &got, nullptr) != 0;
  CloseHandle(h);
  return read && !(got == 2 && magic[0] == 'M' && magic[1] == 'Z');
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadVersionInfo(const std::string& path) {
  const std::wstring wide = Widen(path);
  if (surelyNoProgram(wide)) return std::nullopt;
  DWORD handle = 0;
  DWORD size = KESTRUNE_SYSTEM_CALL("version.dll", GetFileVersionInfoSizeW)(wide.c_str(), &handle);
  if (size == 0) {
    // Size 0 also answers "no version resource" and "not a program file"; only the
    // failures to reach the file's bytes are errors.
    const DWORD code = GetLastError();
    switch (code) {
      case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_ACCESS_DENIED:
      case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION: case ERROR_NOT_READY:
      case ERROR_READ_FAULT: case ERROR_CRC: case ERROR_INVALID_NAME:
        throwWin32("GetFileVersionInfoSizeW", code);
      default:
        return std::nullopt;
    }
  }
  std::vector<uint8_t> block(size);
  if (!KESTRUNE_SYSTEM_CALL("version.dll", GetFileVersionInfoW)(wide.c_str(), 0, size, block.data())) throwWin32("GetFileVersionInfoW", GetLastError());
  return block;
}

std::optional<FixedFileInfo> QueryFixedFileInfo(const std::vector<uint8_t>& block) {
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!KESTRUNE_SYSTEM_CALL("version.dll", VerQueryValueW)(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  FixedFileInfo f;
  f.fileVersionMS = info->dwFileVersionMS;
  f.fileVersionLS = info->dwFileVersionLS;
  f.productVersionMS = info->dwProductVersionMS;
  f.productVersionLS = info->dwProductVersionLS;
  f.fileOS = info->dwFileOS;
  f.fileType = info->dwFileType;
  f.fileSubtype = info->dwFileSubtype;
  return f;
}

std::optional<std::string> QueryVersionString(const std::vector<uint8_t>& block, const std::string& subBlock) {
  wchar_t* value = nullptr;
  UINT len = 0;
  if (!KESTRUNE_SYSTEM_CALL("version.dll", VerQueryValueW)(block.data(), Widen(subBlock).c_str(), reinterpret_cast<void**>(&value), &len) || !value)
    return std::nullopt;
  // len counts characters including the terminator; trust the terminator within it.
  size_t n = wcsnlen(value, len);
  return Narrow(std::wstring_view(value, n));
}

}  // namespace kestrune::platform
