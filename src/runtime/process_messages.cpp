// The user-interface pump.
#include "runtime/process_messages.h"

#include "runtime/seams.h"

namespace kestrune {

void ProcessMessages() { CallProcessMessagesHook(); }

}  // namespace kestrune
