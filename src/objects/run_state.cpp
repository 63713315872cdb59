// The process-wide state of an installation.
#include "objects/run_state.h"

#include "archive/cmp_TKstrCompress.h"
#include "objects/cmp_TInstallContainer.h"
#include "objects/cmp_TPathSpecifier.h"

namespace kestrune {

namespace {

struct RunState {
  IInstallEngine* engine = nullptr;
  std::string installRecordKey;
  bool netAbortRequested = false;
  TCustomNetInstallLocation* netLocation = nullptr;
  TInstallContainerList containers;
  TPathSpecifierList pathSpecifiers;
  TStandardPathSpecList standardSpecifiers;
};

// Created on first use, so that components made by other static objects find it.
RunState& state() {
  static RunState instance;
  return instance;
}

}  // namespace

IInstallEngine* CurrentEngine() { return state().engine; }
void SetCurrentEngine(IInstallEngine* engine) { state().engine = engine; }
const std::string& InstallRecordKey() { return state().installRecordKey; }
void SetInstallRecordKey(const std::string& key) { state().installRecordKey = key; }
bool NetAbortRequested() { return state().netAbortRequested; }
void SetNetAbortRequested(bool aborted) { state().netAbortRequested = aborted; }
TCustomNetInstallLocation* CurrentNetLocation() { return state().netLocation; }
void SetCurrentNetLocation(TCustomNetInstallLocation* location) { state().netLocation = location; }
TInstallContainerList& InstallContainers() { return state().containers; }
TPathSpecifierList& PathSpecifiers() { return state().pathSpecifiers; }
TStandardPathSpecList& StandardPathSpecifiers() { return state().standardSpecifiers; }

void ResetRunState() {
  RunState& s = state();
  s.engine = nullptr;
  s.installRecordKey.clear();
  s.netAbortRequested = false;
  s.netLocation = nullptr;
  SharedArchiveEngine().SetAbort(false);
}

}  // namespace kestrune
