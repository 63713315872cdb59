// The install engine as the objects and the wizard's pages see it, for tests that build
// a tree without the real engine: the product's data, the source directory and the
// self-extractor flags are fields a test sets; what the objects and pages ask of the
// engine during a run (the unfinished list, the restart request and choice, the user's
// abort) is recorded. It registers itself as the current engine while it lives.
#pragma once
#include <string>
#include <vector>

#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/run_state.h"

namespace kestrune::test {

class FakeEngine : public TFileContainer, public IInstallEngine {
 public:
  explicit FakeEngine(TComponent* owner) : TFileContainer(owner) { SetCurrentEngine(this); }
  ~FakeEngine() override {
    if (CurrentEngine() == this) SetCurrentEngine(nullptr);
  }
  TFileContainer* EngineContainer() override { return this; }
  std::string EngineProductName() const override { return productName; }
  std::string EngineVersion() const override { return version; }
  std::vector<std::string> EngineLicenseText() const override { return licence; }
  std::string InstallSourceDirectory() const override { return sourceDir; }
  bool CalledBySelfExtractor() const override { return selfExtractor; }
  std::string SelfExtractorName() const override { return selfExtractorName; }
  TDistributeType EngineDistributeType() const override { return TDistributeType::dtTraditional; }
  TCustomNetInstallLocation* EngineNetLocation() const override { return NetLocation(); }
  bool EngineInstalling() const override { return installing; }
  void EngineAddUnfinished(const std::string& name, int kind) override {
    unfinished.push_back(name + ";" + std::to_string(kind));
  }
  void EngineSetReboot() override { reboot = true; }
  bool EngineUserAbortAllowed() override {
    ++abortQuestions;
    return allowAbort;
  }

  std::string productName = "Zarvotill";
  std::string version;
  std::vector<std::string> licence;
  std::string sourceDir = "C:\\src";
  bool selfExtractor = false;
  std::string selfExtractorName;
  bool installing = false;
  bool allowAbort = true;
  // Recorded: the unfinished work ("name;kind"), the restart request, the abort questions.
  std::vector<std::string> unfinished;
  bool reboot = false;
  int abortQuestions = 0;
};

}  // namespace kestrune::test
