// Test doubles for the install object tree.
#include "tree_fixture.h"

#include "objects/published_props.h"

namespace kestrune::test {

const ClassInfo& TTestForm::classInfo() {
  static const ClassInfo info{"TTestForm", &TComponent::classInfo(), nullptr, {}};
  return info;
}

const ClassInfo& TTestEngine::classInfo() {
  static const ClassInfo info{"TTestEngine", &TFileContainer::classInfo(), create<TTestEngine>,
                              {prop<&TInstallContainer::DestDir, &TInstallContainer::SetDestDir>("DestDir")}};
  return info;
}

const ClassInfo& TTestFile::classInfo() {
  static const ClassInfo info{"TTestFile", &TCustomInstallFile::classInfo(), create<TTestFile>, [] {
                                std::vector<PropInfo> p = InstallObjectProps();
                                for (PropInfo& q : FileRelatedProps(true)) p.push_back(std::move(q));
                                return p;
                              }()};
  return info;
}

const ClassInfo& TRecorder::classInfo() {
  static const ClassInfo info{"TRecorder", &TInstallObject::classInfo(), create<TRecorder>,
                              {prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container")}};
  return info;
}

const ClassInfo& TInstallBDE::classInfo() {
  static const ClassInfo info{"TInstallBDE", &TInstallFileGroup::classInfo(), create<TInstallBDE>, {}};
  return info;
}

void TTestFile::ProcessHelpers() {
  Log().push_back(Name() + ":install");
  TInstallContainer* c = Container();
  if (!c) return;
  c->DoInformationEventControl(this, ev::FileInstallStart, this);
  if (newDisk) {
    TDiskParameter disk;
    disk.NewDisk = 2;
    disk.Path = "A:";
    TList list{this, &disk};
    c->DoInformationEventControl(this, ev::NewDisk, &list);
  }
  if (replaces) c->DoInformationEventControl(this, ev::FileReplacing, this);
  for (int step = 1; step <= 2; ++step) {
    TFileStatusParameter status;
    status.BytesDone = Size() * step / 2;
    status.FilePercentDone = 50 * step;
    status.FileName = FileName();
    status.Status.FileSize = Size();
    status.Status.Finished = step == 2 ? 1 : 0;
    TList list{this, &status};
    c->DoInformationEventControl(this, ev::InstallProgress, &list);
  }
  c->DoInformationEventControl(this, ev::FileInstalled, this);
}

void RegisterTestClasses(ClassRegistry& registry) {
  for (const ClassInfo* c : {&TTestEngine::classInfo(), &TTestFile::classInfo(), &TRecorder::classInfo(),
                             &TInstallBDE::classInfo()})
    registry.Register(*c);
}

}  // namespace kestrune::test
