// Shell folders, special directories and meta-variable expansion.
#include "paths/routines_ExpandPaths.h"

#include <cctype>

#include "platform/files.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

constexpr std::string_view kShellFolders = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kCurrentVersion = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::string shellFolder(int rootCode, std::string_view key, std::string_view name, const std::string& fallback) {
  return RemoveBackslash(ReadRegistryString(rootCode, key, name, fallback));
}

// The root of the drive that holds the current directory ("C:\").
std::string currentDriveRoot() { return AddBackslash(ExtractFileDrive(platform::currentDirectory())); }

}  // namespace

bool DirectoryExists(std::string_view path) { return platform::directoryExists(std::string(path)); }

void CreateDirectories(std::string_view path) {
  if (path.empty()) throw Exception("Unable to create directory");
  std::string dir = RemoveBackslash(path);
  if (dir.size() <= 2 || DirectoryExists(dir)) return;
  std::string parent = RemoveBackslash(ExtractFileDir(dir));
  // A relative name without a folder has no parent to create.
  if (!parent.empty() && parent != dir) CreateDirectories(parent);
  platform::createDirectory(dir);
}

std::string GetStartMenuDir() {
  return shellFolder(rkCurrentUser, kShellFolders, "Start Menu", AddBackslash(GetWindowsDir()) + "Startmen");
}

std::string GetProgramsDir() {
  return shellFolder(rkCurrentUser, kShellFolders, "Programs", AddBackslash(GetStartMenuDir()) + "Programs");
}

std::string GetDesktopDir() {
  return shellFolder(rkCurrentUser, kShellFolders, "Desktop", AddBackslash(GetWindowsDir()) + "Desktop");
}

std::string GetStartupDir() {
  return shellFolder(rkCurrentUser, kShellFolders, "Startup", AddBackslash(GetWindowsDir()) + "Startup");
}

std::string GetProgramFilesDir() {
  return shellFolder(rkLocalMachine, kCurrentVersion, "ProgramFilesDir", currentDriveRoot() + "Program Files");
}

std::string GetCommonFilesDir() {
  return shellFolder(rkLocalMachine, kCurrentVersion, "CommonFilesDir",
                     currentDriveRoot() + "Program Files\\Common Files");
}

std::string ExpandMetaVariablesWith(std::string_view text, const TMetaVariableResolver& resolver) {
  std::string result;
  bool afterPercent = false;
  for (char c : text) {
    if (!afterPercent) {
      if (c == '%') afterPercent = true;
      else result += c;
      continue;
    }
    afterPercent = false;
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string path;
    switch (letter) {
      case '%': result += '%'; continue;
      case 'b': path = GetProgramsDir(); break;
      case 'd': path = GetDesktopDir(); break;
      case 'f': path = GetCommonFilesDir(); break;
      case 'm': path = GetStartMenuDir(); break;
      case 'p': path = GetProgramFilesDir(); break;
      case 's': path = GetSystemDir(); break;
      case 'w': path = GetWindowsDir(); break;
      case 'a':
      case 'c':
      case 'i':
        if (!resolver) continue;
        path = resolver(letter);
        break;
      default: continue;
    }
    result += RemoveBackslash(path);
  }
  return result;
}

}  // namespace kestrune
