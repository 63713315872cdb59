// The one archive engine shared by the whole program (main archive, status callbacks).
#pragma once

namespace kestrune {

class TKstrCompress;

// Created on first use, lives until the program ends.
TKstrCompress& SharedArchiveEngine();
// The shared engine's abort flag (false when it was never created).
bool SharedArchiveEngineAborted();

}  // namespace kestrune
