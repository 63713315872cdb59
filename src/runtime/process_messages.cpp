// The user-interface pump hook.
#include "runtime/process_messages.h"

namespace kestrune {

namespace {
void (*g_pump)() = nullptr;
}

void ProcessMessages() {
  if (g_pump) g_pump();
}

void SetProcessMessagesHook(void (*pump)()) { g_pump = pump; }

}  // namespace kestrune
