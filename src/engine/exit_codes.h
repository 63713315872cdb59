// The setup program's exit codes, as the README documents them for callers that start it
// from scripts and deployment tools.
#pragma once
#include "engine/cmp_TInstall.h"

namespace kestrune::engine {

inline constexpr int kExitSuccess = 0;         // installed, resumed, built or nothing to do
inline constexpr int kExitFailed = 1;          // the run or the program's start failed
inline constexpr int kExitUserAbort = 2;       // the user cancelled the installation
inline constexpr int kExitBadCommandLine = 3;  // unknown switch, -d without -s, -s missing
inline constexpr int kExitRestartPending = 4;  // installed; work is left for after a restart

// The exit code after the message loop ended. A run still marked as installing never
// reached its ending, which counts as a failure.
inline int ExitCodeAfterRun(const TCustomInstall* engine) {
  if (!engine) return kExitSuccess;
  if (engine->Installing()) return kExitFailed;
  switch (engine->Ending()) {
    case TRunEnding::reNone:
    case TRunEnding::reGood: return kExitSuccess;
    case TRunEnding::reRestartPending: return kExitRestartPending;
    case TRunEnding::reAborted: return kExitUserAbort;
    case TRunEnding::reBadCommandLine: return kExitBadCommandLine;
    case TRunEnding::reFailed: break;
  }
  return kExitFailed;
}

// The exit code of an error that escaped the program's start (reading the script, the
// engine's loading, a build or a resumed run).
inline int ExitCodeOfStartError(const std::exception& e) {
  if (dynamic_cast<const EAbort*>(&e)) return kExitUserAbort;
  if (dynamic_cast<const IEInvalidParameter*>(&e) || dynamic_cast<const IEInstallCommandLine*>(&e))
    return kExitBadCommandLine;
  return kExitFailed;
}

}  // namespace kestrune::engine
