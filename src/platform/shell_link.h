// The shell's link objects: .lnk files written and read through the shell link object and
// its persist-file interface.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform_error.h"

namespace kestrune::platform {

// A COM call that failed: the call's name and its result code (an HRESULT).
class ComError : public PlatformError {
 public:
  using PlatformError::PlatformError;
  const char* ClassName() const noexcept override { return "ComError"; }
  long Result() const { return static_cast<long>(Code()); }
};

// The link object itself could not be made (CoCreateInstance or the interface query).
class ComCreateError : public ComError {
 public:
  using ComError::ComError;
  const char* ClassName() const noexcept override { return "ComCreateError"; }
};

// Initialises COM on the calling thread (apartment threaded). Returns the result code:
// 0 (S_OK) or 1 (S_FALSE, already initialised) are success.
long initializeCom();

struct ShellLinkData {
  std::string path;
  std::string arguments;
  std::string workingDirectory;
  uint16_t hotKey = 0;
};

// Creates the link object, sets path, hot key, arguments and working directory in that
// order, and saves it as linkFile. Raises ComCreateError when the object cannot be made,
// ComError naming the first call that failed otherwise.
void saveShellLink(const ShellLinkData& data, const std::string& linkFile);

// Loads a .lnk file through the same interfaces and returns what it holds. Raises ComError.
ShellLinkData loadShellLink(const std::string& linkFile);

// The system's text for a result code; empty when it has none.
std::string systemMessage(long code);

}  // namespace kestrune::platform
