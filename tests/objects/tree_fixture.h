// Test doubles for the install object tree: a form, an engine, an install file that
// reports like a real one, and a recorder of events and component calls.
#pragma once
#include <string>
#include <vector>

#include "common/fake_engine.h"
#include "objects/cmp_GrabCall.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "runtime/format.h"
#include "runtime/published.h"

namespace kestrune::test {

inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

class TTestForm : public TComponent {
  KESTRUNE_CLASS()
 public:
  explicit TTestForm(TComponent* owner = nullptr) : TComponent(owner) { SetName("frmTest"); }
  ~TTestForm() override { DestroyComponents(); }
  bool IsFormOrDataModule() const override { return true; }
};

// The engine at the root, as a class of the registry: an absolute destination and a
// source directory.
class TTestEngine : public FakeEngine {
  KESTRUNE_CLASS()
 public:
  explicit TTestEngine(TComponent* owner) : FakeEngine(owner) { sourceDir = "D:\\Setup"; }
  void WriteUninstallInfo(const std::string& key) override { Log().push_back(Name() + ":uninstall"); }
};

// An install file whose install step reports start, progress in two steps, and end.
class TTestFile : public TCustomInstallFile {
  KESTRUNE_CLASS()
 public:
  explicit TTestFile(TComponent* owner) : TCustomInstallFile(owner) {}
  void Compress() override {
    Log().push_back(Name() + ":compress " + GetArchiveFile() + (AddToArchive() == TlzhCommand::lzcOnlyAdd ? " add" : " new"));
  }
  void Copy() override { Log().push_back(Name() + ":copy"); }
  void ReadInfoFromArchive() override { Log().push_back(Name() + ":readinfo"); }
  void ReadInfoFromFile() override { Log().push_back(Name() + ":readfile"); }
  void WriteUninstallInfo(const std::string&) override { Log().push_back(Name() + ":uninstall"); }
  void ProcessHelpers() override;
  bool replaces = false;
  bool newDisk = false;
};

// Records every component call it receives.
class TRecorder : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TRecorder(TComponent* owner) : TInstallObject(owner) {}
  int RegisteredType() const override { return rt::Dialog; }
  void HandleMessage(TInstallContainer* sender, int call, TPersistent*) override {
    Log().push_back(Format("%s:%d", {sender->Name(), call}));
  }
};

// A database engine group stand-in: the class name is what puts it first.
class TInstallBDE : public TInstallFileGroup {
  KESTRUNE_CLASS()
 public:
  explicit TInstallBDE(TComponent* owner) : TInstallFileGroup(owner) {}
};

void RegisterTestClasses(ClassRegistry& registry);

template <class T>
T* Make(TComponent* form, const std::string& name, TInstallContainer* container = nullptr) {
  T* o = new T(form);
  o->SetName(name);
  if (container) static_cast<TInstallObject*>(static_cast<TInstallContainer*>(o))->SetContainer(container);
  return o;
}

}  // namespace kestrune::test
