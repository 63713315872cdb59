// The uninstaller's removal walk over the product's uninstall entry.
#include "objects/routines_Uninstall.h"

#include <algorithm>
#include <optional>
#include <set>

#include "objects/uninstall_entry.h"
#include "paths/routines_ExpandPaths.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/unregistration.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

constexpr std::string_view kSharedDLLsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// What a shared file's counter says after this product lets go of it.
enum class Shared { NotCounted, StillUsed, Released };

Shared releaseSharedCount(const std::string& path) {
  std::optional<platform::RegKey> key = platform::RegKey::open(platform::RegRoot::LocalMachine, kSharedDLLsKey, true);
  if (!key) return Shared::NotCounted;
  for (const std::string& name : {path, GetShortPath(path)}) {
    std::optional<uint32_t> count = key->tryReadDword(name);
    if (!count) continue;
    if (*count > 1) {
      key->writeDword(name, *count - 1);
      return Shared::StillUsed;
    }
    key->deleteValue(name);
    return Shared::Released;
  }
  return Shared::NotCounted;
}

// Folders the kit never removes, even when they are empty.
bool isSystemFolder(const std::string& dir) {
  const std::string d = UpperCase(RemoveBackslash(dir));
  for (auto folder : {GetWindowsDir, GetSystemDir, GetProgramFilesDir, GetCommonFilesDir, GetProgramsDir, GetStartMenuDir,
                      GetStartupDir, GetDesktopDir}) {
    try {
      const std::string s = folder();
      if (!s.empty() && d == UpperCase(RemoveBackslash(s))) return true;
    } catch (const EAPIRoutines&) {
      // A folder the system cannot name is not this one.
    }
  }
  return d.size() <= 3;  // a drive's root
}

// True when the folder can be listed and holds nothing but that file. The platform
// layer's listing, not <filesystem>: std::filesystem::path's conversions would link all
// of std::locale into the uninstaller.
bool folderHoldsOnly(const std::string& dir, const std::string& file) {
  const auto entries = platform::folderEntries(dir);
  if (!entries) return false;
  const std::string prefix = dir.empty() || dir.back() == '\\' || dir.back() == '/' ? dir : dir + platform::kPathDelim;
  return std::all_of(entries->begin(), entries->end(),
                     [&](const std::string& name) { return platform::sameFile(prefix + name, file); });
}

class Remover {
 public:
  explicit Remover(UninstallReport& report) : report_(report) {}

  void removeFile(const std::string& path) {
    folders_.insert(ExtractFileDir(path));
    if (!platform::fileExists(path)) return;
    if (platform::deleteFile(path)) return;
    try {
      platform::moveFileAfterReboot(path, "");
      report_.afterRestart.push_back(path);
    } catch (const platform::PlatformError& e) {
      report_.notRemoved.push_back(path + " (" + e.Message() + ")");
    }
  }

  void removeListed(const std::string& path) {
    try {
      switch (releaseSharedCount(path)) {
        case Shared::StillUsed: report_.sharedKept.push_back(path); return;
        case Shared::NotCounted:
        case Shared::Released: break;
      }
    } catch (const platform::PlatformError& e) {
      report_.notRemoved.push_back(path + " (" + e.Message() + ")");
      return;
    }
    removeFile(path);
  }

  void unregisterServer(const std::string& line) {
    const size_t semi = line.rfind(';');
    const std::string path = semi == std::string::npos ? line : line.substr(0, semi);
    const bool exe = semi != std::string::npos && line.substr(semi + 1) == "1";
    if (platform::fileExists(path)) {
      bool done = false;
      if (exe) {
        try {
          platform::ProcessOptions options;
          options.show = platform::ShowMode::Hidden;
          options.wait = true;
          done = platform::startProcess("\"" + path + "\" /UNREGSERVER", options) == 0;
        } catch (const platform::PlatformError&) {
        }
      } else {
        done = platform::callDllUnregisterServer(path);
      }
      if (!done) report_.notRemoved.push_back(path + " (registration)");
    }
    removeListed(path);
  }

  // One level: the folders that held removed files, deepest first.
  void removeEmptiedFolders() {
    std::vector<std::string> dirs(folders_.begin(), folders_.end());
    std::sort(dirs.begin(), dirs.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& dir : dirs)
      if (!dir.empty() && !isSystemFolder(dir) && platform::directoryExists(dir)) platform::removeDirectory(dir);
  }

  void removeSelf(const std::string& uninstaller) {
    if (uninstaller.empty() || !platform::fileExists(uninstaller)) return;
    const std::string dir = ExtractFileDir(uninstaller);
    try {
      platform::moveFileAfterReboot(uninstaller, "");
      if (!isSystemFolder(dir) && folderHoldsOnly(dir, uninstaller)) platform::moveFileAfterReboot(dir, "");
    } catch (const platform::PlatformError&) {
      // The uninstaller staying behind is no loss to the user.
    }
  }

 private:
  UninstallReport& report_;
  std::set<std::string> folders_;
};

}  // namespace

UninstallReport RemoveProduct(const std::string& productName, const std::string& uninstaller) {
  std::optional<UninstallEntry> entry = ReadUninstallEntry(productName);
  if (!entry) throw IEUninstallEXE("%s is not installed", {productName});
  UninstallReport report;
  Remover remover(report);
  for (const std::string& line : entry->activeX) remover.unregisterServer(line);
  for (const std::string& path : entry->files) remover.removeListed(path);
  remover.removeEmptiedFolders();
  remover.removeSelf(uninstaller);
  DeleteUninstallEntry(productName);
  return report;
}

}  // namespace kestrune
