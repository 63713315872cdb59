// The handler that receives exceptions caught at system callbacks.
#include <cstdio>

#include "platform/ui_app.h"

namespace kestrune::platform::ui {

namespace {
void (*g_handler)(std::exception_ptr) = nullptr;
int (*g_sessionEndExitCode)() = nullptr;
}  // namespace

void SetCallbackExceptionHandler(void (*handler)(std::exception_ptr)) { g_handler = handler; }

void SetSessionEndExitCode(int (*code)()) { g_sessionEndExitCode = code; }
int (*SessionEndExitCode())() { return g_sessionEndExitCode; }

void ReportCallbackException(std::exception_ptr e) noexcept {
  try {
    if (g_handler) {
      g_handler(e);
      return;
    }
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "unhandled exception in a window callback: %s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "unhandled exception in a window callback\n");
  }
}

}  // namespace kestrune::platform::ui
