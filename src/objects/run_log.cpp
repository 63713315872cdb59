// The run's log. Each line opens the file, appends and closes it again, so a line written
// just before the program ends (or dies) is on the disk, and no handle stays open for
// the length of the run.
#include "objects/run_log.h"

#include <ctime>

#include "platform/files.h"
#include "platform/platform_error.h"

namespace kestrune {

namespace {

std::string& logPath() {
  static std::string path;
  return path;
}

}  // namespace

void OpenRunLog(const std::string& path) {
  platform::File::create(path).close();
  logPath() = path;
}

void CloseRunLog() { logPath().clear(); }

bool RunLogOpen() { return !logPath().empty(); }

void RunLog(const std::string& text) {
  if (logPath().empty()) return;
  char stamp[32] = {};
  const std::time_t now = std::time(nullptr);
  if (const std::tm* t = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", t);
  std::string line = stamp + text;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  line += "\r\n";
  try {
    platform::File file = platform::File::open(logPath(), platform::FileAccess::ReadWrite);
    file.seek(0, platform::SeekOrigin::End);
    file.write(line.data(), line.size());
  } catch (const platform::PlatformError&) {
    // A log that cannot be written does not stop the installation.
  }
}

}  // namespace kestrune
