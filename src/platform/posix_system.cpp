// System services for the native build: what has a POSIX meaning is done the POSIX way;
// the Windows-only services (system directories, version, restart, delayed moves, INI files,
// the shell) fail with ERROR_CALL_NOT_IMPLEMENTED.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/platform_error.h"
#include "platform/system.h"

namespace kestrune::platform {

namespace {
constexpr unsigned long kCallNotImplemented = 120;
[[noreturn]] void notImplemented(const char* api) { throwWin32(api, kCallNotImplemented); }
}  // namespace

unsigned processorCount() {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<unsigned>(n) : 1;
}

std::string windowsDirectory() { notImplemented("GetWindowsDirectoryW"); }
std::string systemDirectory() { notImplemented("GetSystemDirectoryW"); }

std::string tempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  std::string result = dir && *dir ? dir : "/tmp";
  if (result.back() != '/') result += '/';
  return result;
}

// POSIX names have no short form: an existing path is its own short path.
std::optional<std::string> shortPathName(std::string_view path) {
  struct stat st;
  std::string p(path);
  if (stat(p.c_str(), &st) != 0) return std::nullopt;
  return p;
}

OsVersion osVersion() { notImplemented("GetVersionExW"); }

uint16_t userDefaultLanguageId() { return 0x0409; }

std::string moduleFileName() {
  std::vector<char> buffer(PATH_MAX);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n < 0) throwWin32("readlink", errno);
  return std::string(buffer.data(), static_cast<size_t>(n));
}

std::string currentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  if (!getcwd(buffer.data(), buffer.size())) throwWin32("getcwd", errno);
  return buffer.data();
}

void setCurrentDirectory(std::string_view path) {
  if (chdir(std::string(path).c_str()) != 0) throwWin32("chdir", errno);
}

std::optional<std::string> environmentVariable(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

void setEnvironmentVariable(std::string_view name, const std::optional<std::string>& value) {
  int rc = value ? setenv(std::string(name).c_str(), value->c_str(), 1) : unsetenv(std::string(name).c_str());
  if (rc != 0) throwWin32(value ? "setenv" : "unsetenv", errno);
}

// The command line goes to /bin/sh, which splits it as the shell does. A program that is
// not waited for is started by an intermediate child, so it leaves no zombie behind.
uint32_t startProcess(std::string_view commandLine, const ProcessOptions& options) {
  std::string command(commandLine);
  pid_t pid = fork();
  if (pid < 0) throwWin32("fork", errno);
  if (pid == 0) {
    if (!options.wait && fork() != 0) _exit(0);
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(127);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) throwWin32("waitpid", errno);
  if (!options.wait) return 0;
  return WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status)) : 1u;
}

void shellExecute(std::string_view, std::string_view, std::string_view, ShowMode, std::string_view) {
  notImplemented("ShellExecuteW");
}

void enableShutdownPrivilege() { notImplemented("AdjustTokenPrivileges"); }
void exitWindows(ExitMode, bool) { notImplemented("ExitWindowsEx"); }
void moveFileAfterReboot(std::string_view, std::string_view) { notImplemented("MoveFileExW"); }

std::string readProfileString(std::string_view, std::string_view, std::string_view, std::string_view) {
  notImplemented("GetPrivateProfileStringW");
}

void writeProfileString(std::string_view, std::string_view, std::string_view, std::string_view) {
  notImplemented("WritePrivateProfileStringW");
}

bool createDirectory(std::string_view path) { return mkdir(std::string(path).c_str(), 0777) == 0; }
bool removeDirectory(std::string_view path) { return rmdir(std::string(path).c_str()) == 0; }

}  // namespace kestrune::platform
