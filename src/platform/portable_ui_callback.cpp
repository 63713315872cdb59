// Hands exceptions caught at system callbacks to the handler of the program's seam.
#include <cstdio>

#include "platform/ui_app.h"
#include "runtime/seams.h"

namespace kestrune::platform::ui {

void ReportCallbackException(std::exception_ptr e) noexcept {
  try {
    if (void (*handler)(std::exception_ptr) = CallbackExceptionHandler()) {
      handler(e);
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
