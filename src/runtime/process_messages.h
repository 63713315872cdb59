// The user-interface pump that long operations (extraction, copying, downloads) call at
// each step. The UI layer installs the real pump (SetProcessMessagesHook, runtime/seams.h);
// until then it does nothing.
#pragma once

namespace kestrune {

// Runs the installed pump once. Must be cheap when nothing is pending.
void ProcessMessages();

}  // namespace kestrune
