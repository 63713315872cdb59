// System services through kernel32, advapi32, user32 and shell32.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/platform_error.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/win_system_library.h"

namespace kestrune::platform {

namespace {

// Calls an API of the "fill this buffer, or tell me the size you need" kind: it returns the
// length without the null when the text fits, the size needed (with the null) when it does
// not, and 0 on failure.
template <typename Call>
std::string fetchText(const char* api, Call call) {
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throwWin32(api, GetLastError());
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.assign(n + 1, L'\0');
  }
}

int showCommand(ShowMode show) {
  switch (show) {
    case ShowMode::Normal: return SW_SHOWNORMAL;
    case ShowMode::Hidden: return SW_HIDE;
    case ShowMode::Minimized: return SW_SHOWMINNOACTIVE;
    case ShowMode::Maximized: return SW_SHOWMAXIMIZED;
  }
  return SW_SHOWNORMAL;
}

// Null for an empty text, so the system applies its default.
const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() {
    if (handle) CloseHandle(handle);
  }
};

}  // namespace

unsigned processorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? static_cast<unsigned>(info.dwNumberOfProcessors) : 1;
}

std::string windowsDirectory() {
  return fetchText("GetWindowsDirectoryW", [](wchar_t* b, DWORD n) { return GetWindowsDirectoryW(b, n); });
}

std::string systemDirectory() {
  return fetchText("GetSystemDirectoryW", [](wchar_t* b, DWORD n) { return GetSystemDirectoryW(b, n); });
}

std::string tempDirectory() {
  return fetchText("GetTempPathW", [](wchar_t* b, DWORD n) { return GetTempPathW(n, b); });
}

std::optional<std::string> shortPathName(std::string_view path) {
  std::wstring wide = Widen(path);
  try {
    return fetchText("GetShortPathNameW", [&](wchar_t* b, DWORD n) { return GetShortPathNameW(wide.c_str(), b, n); });
  } catch (const PlatformError&) {
    return std::nullopt;
  }
}

uint16_t userDefaultLanguageId() { return GetUserDefaultLangID(); }

OsVersion osVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) throwWin32("GetVersionExW", GetLastError());
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::string moduleFileName() {
  // GetModuleFileNameW returns the buffer size, not the size needed, when it truncates.
  std::wstring buffer(MAX_PATH + 1, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throwWin32("GetModuleFileNameW", GetLastError());
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

std::string currentDirectory() {
  return fetchText("GetCurrentDirectoryW", [](wchar_t* b, DWORD n) { return GetCurrentDirectoryW(n, b); });
}

void setCurrentDirectory(std::string_view path) {
  if (!SetCurrentDirectoryW(Widen(path).c_str())) throwWin32("SetCurrentDirectoryW", GetLastError());
}

std::optional<std::string> environmentVariable(std::string_view name) {
  std::wstring wname = Widen(name);
  std::wstring buffer(256, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD n = GetEnvironmentVariableW(wname.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      // 0 is also the length of a variable that is set to an empty text.
      DWORD error = GetLastError();
      if (error == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      if (error != ERROR_SUCCESS) throwWin32("GetEnvironmentVariableW", error);
      return std::string();
    }
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.assign(n + 1, L'\0');
  }
}

void setEnvironmentVariable(std::string_view name, const std::optional<std::string>& value) {
  std::wstring wvalue = value ? Widen(*value) : std::wstring();
  if (!SetEnvironmentVariableW(Widen(name).c_str(), value ? wvalue.c_str() : nullptr))
    throwWin32("SetEnvironmentVariableW", GetLastError());
}

uint32_t startProcess(std::string_view commandLine, const ProcessOptions& options) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring command = Widen(commandLine);
  std::vector<wchar_t> mutableCommand(command.begin(), command.end());
  mutableCommand.push_back(L'\0');
  std::wstring directory = Widen(options.directory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand(options.show));
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, orNull(directory), &startup,
                      &process))
    throwWin32("CreateProcessW", GetLastError());
  HandleCloser processHandle{process.hProcess}, threadHandle{process.hThread};
  if (!options.wait) return 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_FAILED) throwWin32("WaitForSingleObject", GetLastError());
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.hProcess, &exitCode)) throwWin32("GetExitCodeProcess", GetLastError());
  return exitCode;
}

void shellExecute(std::string_view file, std::string_view parameters, std::string_view directory, ShowMode show,
                  std::string_view verb) {
  std::wstring wverb = Widen(verb), wfile = Widen(file), wparams = Widen(parameters), wdir = Widen(directory);
  auto result = reinterpret_cast<INT_PTR>(
      KESTRUNE_SYSTEM_CALL("shell32.dll", ShellExecuteW)(nullptr, orNull(wverb), wfile.c_str(), orNull(wparams), orNull(wdir), showCommand(show)));
  // Values up to 32 are the shell's error codes (ERROR_FILE_NOT_FOUND, SE_ERR_NOASSOC, ...).
  if (result <= 32) throwWin32("ShellExecuteW", static_cast<unsigned long>(result));
}

void enableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    throwWin32("OpenProcessToken", GetLastError());
  HandleCloser tokenHandle{token};
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
    throwWin32("LookupPrivilegeValueW", GetLastError());
  // AdjustTokenPrivileges succeeds even when the token lacks the privilege; that case is
  // told by ERROR_NOT_ALL_ASSIGNED.
  if (!AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr))
    throwWin32("AdjustTokenPrivileges", GetLastError());
  if (DWORD error = GetLastError(); error != ERROR_SUCCESS) throwWin32("AdjustTokenPrivileges", error);
}

void exitWindows(ExitMode mode, bool force) {
  UINT flags = 0;
  switch (mode) {
    case ExitMode::Logoff: flags = EWX_LOGOFF; break;
    case ExitMode::Shutdown: flags = EWX_SHUTDOWN; break;
    case ExitMode::Reboot: flags = EWX_REBOOT; break;
    case ExitMode::PowerOff: flags = EWX_POWEROFF; break;
  }
  if (force) flags |= EWX_FORCE;
  if (!ExitWindowsEx(flags, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                SHTDN_REASON_FLAG_PLANNED))
    throwWin32("ExitWindowsEx", GetLastError());
}

void moveFileAfterReboot(std::string_view source, std::string_view target) {
  std::wstring wsource = Widen(source), wtarget = Widen(target);
  DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | (target.empty() ? 0 : MOVEFILE_REPLACE_EXISTING);
  if (!MoveFileExW(wsource.c_str(), orNull(wtarget), flags)) throwWin32("MoveFileExW", GetLastError());
}

std::string readProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
  std::wstring wfile = Widen(file), wsection = Widen(section), wkey = Widen(key), wdefault = Widen(defaultValue);
  std::wstring buffer(1024, L'\0');
  for (;;) {
    DWORD n = GetPrivateProfileStringW(wsection.c_str(), wkey.c_str(), wdefault.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()), wfile.c_str());
    // A value that filled the buffer may have been cut: try again with more room.
    if (n + 1 < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

void writeProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::wstring wfile = Widen(file);
  if (!WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(), wfile.c_str()))
    throwWin32("WritePrivateProfileStringW", GetLastError());
  // Windows 95 caches profile writes; this flushes the cache to the file.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, wfile.c_str());
}

bool createDirectory(std::string_view path) { return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0; }

bool removeDirectory(std::string_view path) { return RemoveDirectoryW(Widen(path).c_str()) != 0; }

}  // namespace kestrune::platform
