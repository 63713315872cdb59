// The shell's link objects do not exist natively: every call fails with error 120.
#include "platform/shell_link.h"

namespace kestrune::platform {

namespace {
constexpr unsigned long kNotImplemented = 120;
}

long initializeCom() { return 0; }

void saveShellLink(const ShellLinkData&, const std::string&) { throw ComCreateError("CoCreateInstance", kNotImplemented); }

ShellLinkData loadShellLink(const std::string&) { throw ComCreateError("CoCreateInstance", kNotImplemented); }

std::string systemMessage(long) { return {}; }

}  // namespace kestrune::platform
