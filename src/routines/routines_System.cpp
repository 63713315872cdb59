// System routines over the platform layer; system failures become EAPIRoutines.
#include "routines/routines_System.h"

#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/system.h"
#include "runtime/component.h"
#include "runtime/exceptions.h"

namespace kestrune {

std::string GetShortPath(std::string_view path) {
  // The path itself is the sound answer when there is no short form: it still names the
  // same file, where an empty text would name none.
  return platform::shortPathName(path).value_or(std::string(path));
}

int WindowsPlatformOf(unsigned platformId, unsigned major, unsigned minor) {
  switch (platformId) {
    case 0: return wpWin32s;
    case 1: return wpWindows95;
    case 2: return (major == 3 && std::to_string(minor).starts_with("5")) ? wpWindowsNT35 : wpWindowsNT;
    default: return wpOther;
  }
}

int GetWindowsPlatform() {
  try {
    platform::OsVersion version = platform::osVersion();
    return WindowsPlatformOf(version.platformId, version.major, version.minor);
  } catch (const platform::PlatformError&) {
    throw EAPIRoutines("Could not get information about the current version of Windows");
  }
}

std::string MakeTempFileName(bool keep) {
  std::string name;
  try {
    name = platform::createTempFile("bat");
  } catch (const platform::PlatformError&) {
    throw EAPIRoutines("Cannot create a temporary file");
  }
  if (!keep) platform::deleteFile(name);
  return name;
}

std::string GetSystemDir() {
  try {
    return platform::systemDirectory();
  } catch (const platform::PlatformError&) {
    throw EAPIRoutines("Could not retrieve the system directroy from windows");
  }
}

std::string GetWindowsDir() {
  try {
    return platform::windowsDirectory();
  } catch (const platform::PlatformError&) {
    throw EAPIRoutines("Could not retrieve the windows directory from windows");
  }
}

std::string ReadIniString(std::string_view file, std::string_view section, std::string_view key) {
  return platform::readProfileString(file, section, key);
}

void SetUniqueName(TComponent& component, std::string_view baseName) {
  std::string candidate(baseName);
  for (int suffix = 1;; ++suffix) {
    try {
      component.SetName(candidate);
      return;
    } catch (const EComponentError&) {
      // Only a taken name is worth another try; a name that is no identifier never
      // becomes one by a number appended.
      if (!IsValidIdent(candidate)) throw;
    }
    candidate = std::string(baseName) + std::to_string(suffix);
  }
}

}  // namespace kestrune
