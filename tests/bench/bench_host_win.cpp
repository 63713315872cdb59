// The benchmark's host on Windows: peak working set, and a real message pump so that the
// cost of pumping at every extraction step can be measured (the user interface installs
// the same kind of pump).
#include <windows.h>
#include <psapi.h>

#include "bench_host.h"
#include "runtime/process_messages.h"
#include "runtime/seams.h"

namespace kestrune::bench {

namespace {

void peekPump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Asking the message queue goes to the window server each time; reading the tick count
// does not. Pumping once per 10 ms keeps a window responsive at a fraction of the cost.
void cheapPump() {
  static DWORD last = 0;
  const DWORD now = GetTickCount();
  if (now - last < 10) return;
  last = now;
  peekPump();
}

}  // namespace

uint64_t peakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
  return pmc.PeakWorkingSetSize;
}

bool installPump(const std::string& kind) {
  if (kind == "none") SetProcessMessagesHook(nullptr);
  else if (kind == "peek") SetProcessMessagesHook(peekPump);
  else if (kind == "cheap") SetProcessMessagesHook(cheapPump);
  else return false;
  // Creates this thread's message queue, as a program with windows has one.
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  return true;
}

}  // namespace kestrune::bench
