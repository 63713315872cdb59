// The install objects' view of the one archive engine shared by the whole program.
#pragma once

namespace kestrune {

// The shared engine's abort flag: set when the user cancelled the running operation.
bool SharedArchiveEngineAborted();

}  // namespace kestrune
