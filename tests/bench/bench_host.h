// What the archive benchmark needs from the host: peak memory and, on Windows, a real
// message pump installed as the user-interface hook.
#pragma once
#include <cstdint>
#include <string>

namespace kestrune::bench {

// Peak resident (working set) bytes of this process so far.
uint64_t peakMemoryBytes();
// Installs a pump: "none" (no hook), "peek" (a PeekMessage loop at every call) or "cheap"
// (the same loop, run only when the tick count moved on by 10 ms or more). Returns false for
// a pump this host cannot install.
bool installPump(const std::string& kind);

}  // namespace kestrune::bench
