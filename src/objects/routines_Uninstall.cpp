// The uninstaller's removal walk over the product's uninstall entry.
#include "objects/routines_Uninstall.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>

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

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Why a listed path is no file the uninstaller may touch, whoever wrote it; empty when
// it may. Only "X:\..." paths in their plain spelling: no "\\?\" or "\\.\" device forms,
// no network paths, no "." or ".." parts, no forward slashes (other spellings of other
// folders), no stream names, no wildcards, no part ending in a dot or blank (the system
// drops those, so "kernel32.dll." is kernel32.dll), no device names.
std::string pathRefusal(const std::string& path) {
  const bool drive = path.size() > 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  if (!drive) return "není úplná cesta k souboru na disku";
  if (path.find_first_of("/*?\"<>|", 0) != std::string::npos || path.find(':', 2) != std::string::npos)
    return "cesta obsahuje nepřípustné znaky";
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = std::min(path.find('\\', start), path.size());
    const std::string part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == ".." || part.back() == '.' || part.back() == ' ')
      return "cesta vede mimo svou složku nebo není v obvyklém tvaru";
    std::string stem = UpperCase(part.substr(0, part.find('.')));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"})
      if (stem == device) return "cesta jmenuje zařízení";
    if ((stem.starts_with("COM") || stem.starts_with("LPT")) && stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9')
      return "cesta jmenuje zařízení";
    start = end + 1;
  }
  return {};
}

// True when path lies in the Windows folder (any spelling of it) or in a drive's root.
bool inSystemPlace(const std::string& path) {
  std::string windows;
  try {
    windows = RemoveBackslash(GetWindowsDir());
  } catch (const EAPIRoutines&) {
  }
  const std::string folder = ExtractFileDir(path);
  if (RemoveBackslash(folder).size() <= 2) return true;
  if (windows.empty()) return false;
  const std::string w = UpperCase(windows) + "\\", p = UpperCase(path);
  if (p.compare(0, w.size(), w) == 0) return true;
  // Short names and links: compare each folder above the file with the Windows folder.
  for (std::string dir = folder; dir.size() > 3; dir = ExtractFileDir(dir))
    if (platform::sameFile(dir, windows)) return true;
  return false;
}

class Remover {
 public:
  Remover(UninstallReport& report, const UninstallEntry& entry) : report_(report) {
    if (entry.written) {
      recorded_ = true;
      for (const std::string& path : *entry.written) written_.insert(UpperCase(path));
    }
  }

  // A listed path may be worked on: a plain path of a file, not a system file unless a
  // run of this product recorded it as written.
  bool admissible(const std::string& path) {
    std::string why = pathRefusal(path);
    if (why.empty() && platform::directoryExists(path)) why = "je to složka, ne soubor";
    if (why.empty() && !wrote(path) && inSystemPlace(path)) why = "systémový soubor, který tento produkt nezapsal";
    if (why.empty()) return true;
    report_.refused.push_back(path + " (" + why + ")");
    return false;
  }

  void removeListed(const std::string& path) {
    if (!admissible(path) || !releaseCount(path)) return;
    removeWritten(path);
  }

  void unregisterServer(const std::string& line) {
    const size_t semi = line.rfind(';');
    const std::string path = semi == std::string::npos ? line : line.substr(0, semi);
    const bool exe = semi != std::string::npos && line.substr(semi + 1) == "1";
    if (!admissible(path) || !releaseCount(path)) return;
    // The server goes out of the system's registration only when no product counts on it
    // any more, and only a file this product wrote is run or loaded for that.
    if (platform::fileExists(path) && (!recorded_ || wrote(path))) {
      if (exe && !recorded_) {
        // An entry without a record cannot say that this program is the product's own.
        report_.refused.push_back(path + " (program, o kterém záznam neříká, že ho zapsal tento produkt, se nespouští)");
      } else {
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
    }
    removeWritten(path);
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
  bool wrote(const std::string& path) const { return recorded_ && written_.contains(UpperCase(path)); }

  // Lowers the file's SharedDLLs counter; false when other products still count on it.
  bool releaseCount(const std::string& path) {
    try {
      if (releaseSharedCount(path) != Shared::StillUsed) return true;
      report_.sharedKept.push_back(path);
    } catch (const platform::PlatformError& e) {
      report_.notRemoved.push_back(path + " (" + e.Message() + ")");
    }
    return false;
  }

  // Deletes the file when this product wrote it (any listed file for an entry without a
  // record); a file that was there before the product and was kept stays.
  void removeWritten(const std::string& path) {
    if (recorded_ && !wrote(path)) {
      if (platform::fileExists(path)) report_.keptAsFound.push_back(path);
      return;
    }
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

  UninstallReport& report_;
  bool recorded_ = false;
  std::set<std::string> written_;
  std::set<std::string> folders_;
};

}  // namespace

UninstallReport RemoveProduct(const std::string& productName, const std::string& uninstaller) {
  std::optional<UninstallEntry> entry = ReadUninstallEntry(productName);
  if (!entry) throw IEUninstallEXE("%s is not installed", {productName});
  UninstallReport report;
  Remover remover(report, *entry);
  for (const std::string& line : entry->activeX) remover.unregisterServer(line);
  for (const std::string& path : entry->files) remover.removeListed(path);
  remover.removeEmptiedFolders();
  remover.removeSelf(uninstaller);
  DeleteUninstallEntry(productName);
  return report;
}

UninstallCommand ParseUninstallCommandLine(std::string_view line, const std::function<bool(const std::string&)>& namesSelf) {
  size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  size_t end = line.size();
  if (i < line.size() && line[i] == '"') {
    const size_t close = line.find('"', i + 1);
    end = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    // The shortest run of words naming this program; without one, the first word.
    size_t first = std::string_view::npos;
    for (size_t b = i; b <= line.size(); ++b) {
      if (b < line.size() && !isBlank(line[b])) continue;
      if (b == i || isBlank(line[b - 1])) continue;
      if (first == std::string_view::npos) first = b;
      if (namesSelf(std::string(line.substr(i, b - i)))) {
        first = b;
        break;
      }
    }
    end = first == std::string_view::npos ? line.size() : first;
  }
  std::string_view rest = line.substr(end);
  auto trim = [](std::string_view& t) {
    while (!t.empty() && isBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && (isBlank(t.back()) || t.back() == '\r' || t.back() == '\n')) t.remove_suffix(1);
  };
  trim(rest);
  UninstallCommand command;
  if (rest.size() >= 2 && rest[0] == '/' && (rest[1] == 'Q' || rest[1] == 'q') && (rest.size() == 2 || isBlank(rest[2]))) {
    command.quiet = true;
    rest.remove_prefix(2);
    trim(rest);
  }
  const std::string_view inner = rest.size() >= 2 ? rest.substr(1, rest.size() - 2) : std::string_view();
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"' && inner.find('"') == std::string_view::npos) {
    rest = inner;
    trim(rest);
  }
  command.product = std::string(rest);
  return command;
}

}  // namespace kestrune
