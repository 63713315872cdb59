// Prints what a .lnk file holds, read back through the shell's link object: the target
// path, the arguments and the working directory, one line each. For shell tests of
// installed shortcuts. Exit code 0, 1 when the link cannot be read, 2 for a usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/shell_link.h"
#include "platform/system.h"

int main() {
  namespace platform = kestrune::platform;
  std::vector<std::string> args = platform::commandLineArguments();
  if (args.size() != 2) {
    std::fputs("usage: lnkinfo LINK\n", stderr);
    return 2;
  }
  try {
    platform::initializeCom();
    platform::ShellLinkData link = platform::loadShellLink(args[1]);
    std::printf("%s\n%s\n%s\n", link.path.c_str(), link.arguments.c_str(), link.workingDirectory.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", args[1].c_str(), e.what());
    return 1;
  }
}
