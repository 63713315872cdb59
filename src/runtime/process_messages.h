// The user-interface pump that long operations (extraction, copying, downloads) call at
// each step. The UI layer installs the real pump; until then it does nothing.
#pragma once
#include <functional>

namespace kestrune {

// Runs the installed pump once. Must be cheap when nothing is pending.
void ProcessMessages();
// Installs (or, with nullptr, removes) the pump.
void SetProcessMessagesHook(void (*pump)());

}  // namespace kestrune
