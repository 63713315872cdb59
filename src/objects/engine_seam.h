// What the install objects consult of the engine at the root of the tree. The engine
// registers itself as the current engine (objects/run_state.h); at most one exists.
#pragma once
#include <string>
#include <vector>

#include "objects/install_types.h"
#include "objects/run_state.h"

namespace kestrune {

class TFileContainer;
class TCustomNetInstallLocation;
class TPicture;

class IInstallEngine {
 public:
  virtual ~IInstallEngine() = default;
  // The engine as the top file container of the tree.
  virtual TFileContainer* EngineContainer() = 0;
  virtual std::string EngineProductName() const = 0;
  // The rest of the product's data the wizard shows: the line under its name, its version
  // and maker, and the licence agreement's lines (plain text or one RTF document).
  virtual std::string EngineDescription() const { return {}; }
  virtual std::string EngineVersion() const { return {}; }
  virtual std::string EngineCompany() const { return {}; }
  virtual std::vector<std::string> EngineLicenseText() const { return {}; }
  // The language the installation speaks ("English", "German", ...: the main translator's
  // target); empty without a translator, when the pages keep their Czech texts.
  virtual std::string EngineLanguage() const { return {}; }
  // The run left work for after a restart, or a restart was asked for.
  virtual bool EngineRestartNeeded() const { return false; }
  // The directory files are taken from: the -s value, else the program's directory.
  virtual std::string InstallSourceDirectory() const = 0;
  // Started by the self-extractor (-e), and the name that followed the switch.
  virtual bool CalledBySelfExtractor() const = 0;
  virtual std::string SelfExtractorName() const = 0;
  virtual TDistributeType EngineDistributeType() const = 0;
  virtual TCustomNetInstallLocation* EngineNetLocation() const = 0;
  // The installation run is active (registration failures are then collected, not raised).
  virtual bool EngineInstalling() const { return false; }
  // Records work for the run after the restart (kind 0: a component's CompleteAfterReboot,
  // kind 1: a file to delete).
  virtual void EngineAddUnfinished(const std::string& name, int kind) {}
  // Asks for a restart at the end of the run.
  virtual void EngineSetReboot() {}
  // The wizard's questions to the engine: whether the user may abort now (its
  // OnUserAbort; true when nothing refuses), the pages' theme picture (null for none), and
  // the restart chosen on the last page (true or false).
  virtual bool EngineUserAbortAllowed() { return true; }
  virtual const TPicture* EngineThemeBitmap() const { return nullptr; }
  virtual void EngineSetRebootChoice(bool reboot) {}
};

// The current engine's installation run is active (false without an engine).
inline bool EngineRunActive() {
  const IInstallEngine* engine = CurrentEngine();
  return engine && engine->EngineInstalling();
}

}  // namespace kestrune
