// The command line and resource updates of program files through the Win32 API.
#include <windows.h>
#include <shellapi.h>

#include "platform/platform_error.h"
#include "platform/system.h"
#include "platform/text.h"

namespace kestrune::platform {

std::vector<std::string> commandLineArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) throwWin32("CommandLineToArgvW", GetLastError());
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

void replaceRcData(const std::string& exePath, std::string_view name, const std::vector<uint8_t>& data) {
  HANDLE update = BeginUpdateResourceW(Widen(exePath).c_str(), FALSE);
  if (!update) throwWin32("BeginUpdateResourceW", GetLastError());
  std::wstring wname = Widen(name);
  // RCDATA names are stored in upper case by the resource compiler; update the same entry.
  for (wchar_t& c : wname) c = static_cast<wchar_t>(towupper(c));
  if (!UpdateResourceW(update, MAKEINTRESOURCEW(10), wname.c_str(), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                       const_cast<uint8_t*>(data.data()), static_cast<DWORD>(data.size()))) {
    DWORD code = GetLastError();
    EndUpdateResourceW(update, TRUE);
    throwWin32("UpdateResourceW", code);
  }
  if (!EndUpdateResourceW(update, FALSE)) throwWin32("EndUpdateResourceW", GetLastError());
}

}  // namespace kestrune::platform
