// The command line natively; program resources exist only in Windows programs.
#include <fstream>
#include <iterator>

#include "platform/platform_error.h"
#include "platform/system.h"

namespace kestrune::platform {

std::vector<std::string> commandLineArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

std::string rawCommandLine() {
  std::string line;
  for (const std::string& arg : commandLineArguments()) line += (line.empty() ? "" : " ") + arg;
  return line;
}

std::optional<std::vector<uint8_t>> loadBitmapResource(std::string_view) { return std::nullopt; }

bool hasRcData(const std::string&, std::string_view) { throw PlatformError("LoadLibraryExW", 120); }

}  // namespace kestrune::platform
