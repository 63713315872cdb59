// Errors of the platform layer: the failing API and its system error code. One level up
// they are turned into the kit's own exception classes and messages.
#pragma once
#include <string>

#include "runtime/exceptions.h"

namespace kestrune::platform {

class PlatformError : public Exception {
 public:
  PlatformError(std::string api, unsigned long code)
      : Exception(Format("%s failed (error %d)", {api, static_cast<long long>(code)})), api_(std::move(api)), code_(code) {}
  const char* ClassName() const noexcept override { return "PlatformError"; }
  const std::string& Api() const { return api_; }
  unsigned long Code() const { return code_; }

 private:
  std::string api_;
  unsigned long code_;
};

[[noreturn]] inline void throwWin32(const char* api, unsigned long code) { throw PlatformError(api, code); }

}  // namespace kestrune::platform
