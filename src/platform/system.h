// System services: Windows, system and temporary directories, short paths, the version,
// the current directory and environment, starting programs, restarting Windows, delayed
// moves, INI files, creating and removing directories (files and their attributes are in
// files.h). Failures throw PlatformError (api, code); std::optional marks answers where
// absence is normal.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

namespace kestrune::platform {

// The directories as the system gives them (no trailing backslash except for a root).
// The processors the program may run on (at least 1).
unsigned processorCount();
std::string windowsDirectory();
std::string systemDirectory();
// The temporary directory, with its trailing backslash.
std::string tempDirectory();
// The 8.3 form of an existing path; nullopt when the system cannot give one.
std::optional<std::string> shortPathName(std::string_view path);

struct OsVersion {
  uint32_t platformId = 0;  // 0 Win32s, 1 Windows 95 family, 2 Windows NT
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};
OsVersion osVersion();
// The user's default language identifier (primary language in the low 10 bits); natively
// U.S. English (0x0409).
uint16_t userDefaultLanguageId();

// Full path of the running program.
std::string moduleFileName();
std::string currentDirectory();
void setCurrentDirectory(std::string_view path);
std::optional<std::string> environmentVariable(std::string_view name);
// Sets the variable for this process and its children; nullopt removes it.
void setEnvironmentVariable(std::string_view name, const std::optional<std::string>& value);

enum class ShowMode { Normal, Hidden, Minimized, Maximized };

struct ProcessOptions {
  std::string directory;  // working directory; empty keeps the caller's
  ShowMode show = ShowMode::Normal;
  bool wait = false;  // wait for the program to end and return its exit code
};
// Starts a command line (program first, quoted when it holds blanks) as WinExec does.
// Returns the exit code when waiting, else 0.
uint32_t startProcess(std::string_view commandLine, const ProcessOptions& options = {});
// Opens a document or program through the shell's associations (verb empty = default).
void shellExecute(std::string_view file, std::string_view parameters = {}, std::string_view directory = {},
                  ShowMode show = ShowMode::Normal, std::string_view verb = {});

// Enables SeShutdownPrivilege in the process token (needed on Windows NT to restart).
void enableShutdownPrivilege();
enum class ExitMode { Logoff, Shutdown, Reboot, PowerOff };
// Asks Windows to end the session; returns once the request was accepted.
void exitWindows(ExitMode mode, bool force = false);

// Registers a rename of source onto target (target empty: a delete of source) to happen
// when Windows next starts. Replaces an existing target.
void moveFileAfterReboot(std::string_view source, std::string_view target);

// INI files through the system's profile functions; relative names are looked up in the
// Windows directory, so callers pass full paths.
std::string readProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view defaultValue = {});
void writeProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value);

// Creates one directory (its parent must exist); false when it could not be created.
bool createDirectory(std::string_view path);
// Deletes an empty directory; false when it could not be removed.
bool removeDirectory(std::string_view path);

// The program's command line split into arguments by SplitCommandLine (runtime/params.h:
// double quotes group, backslashes are ordinary characters); the first is the program.
// Natively the arguments as the process received them.
std::vector<std::string> commandLineArguments();
// The program's command line as the system holds it, unsplit (natively the arguments
// joined by blanks).
std::string rawCommandLine();

// A BITMAP resource of the running program as the bytes of a BMP file, or, without one,
// an RCDATA resource of that name holding a BMP file gzip-compressed (how the shipped
// programs carry their pictures); nullopt when the program has neither or the compressed
// one is damaged.
std::optional<std::vector<uint8_t>> loadBitmapResource(std::string_view name);

// True when the program file on disk carries an RCDATA resource of that name, as the
// system's loader sees it; false when it has none or is no program. Natively raises
// PlatformError. (Programs are rewritten with platform/portable_pe_resources.h.)
bool hasRcData(const std::string& exePath, std::string_view name);

}  // namespace kestrune::platform
