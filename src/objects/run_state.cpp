// The process-wide state of an installation.
#include "objects/run_state.h"

#include <vector>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TInstallContainer.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/run_log.h"
#include "objects/uninstall_entry.h"

namespace kestrune {

namespace {

struct RunState {
  IInstallEngine* engine = nullptr;
  std::string installRecordKey;
  bool netAbortRequested = false;
  bool quiet = false;
  TCustomNetInstallLocation* netLocation = nullptr;
  TInstallContainerList containers;
  TPathSpecifierList pathSpecifiers;
  TStandardPathSpecList standardSpecifiers;
  TCustomInstallFileList installFiles;
  TCustomInstallFileList failedRegistrations;
  TInstallShellLinkList shellLinks;
  TInstallShellLinkList mainLinks;
  TShellLinkGroupList linkGroups;
  TMainLinkGroup* mainLinkGroup = nullptr;
  TNetInstallLocationList netLocations;
  TCustomNetInstallLocation* lastConnected = nullptr;
};

// Created on first use, so that components made by other static objects find it.
RunState& state() {
  static RunState instance;
  return instance;
}

// Filled by static initialisers of the layers above: created on first use as well.
std::vector<void (*)()>& resets() {
  static std::vector<void (*)()> list;
  return list;
}

}  // namespace

IInstallEngine* CurrentEngine() { return state().engine; }
void SetCurrentEngine(IInstallEngine* engine) { state().engine = engine; }
const std::string& InstallRecordKey() { return state().installRecordKey; }
void SetInstallRecordKey(const std::string& key) { state().installRecordKey = key; }
bool QuietRun() { return state().quiet; }
void SetQuietRun(bool quiet) { state().quiet = quiet; }
bool NetAbortRequested() { return state().netAbortRequested; }
void SetNetAbortRequested(bool aborted) { state().netAbortRequested = aborted; }
TCustomNetInstallLocation* CurrentNetLocation() { return state().netLocation; }
void SetCurrentNetLocation(TCustomNetInstallLocation* location) { state().netLocation = location; }
TInstallContainerList& InstallContainers() { return state().containers; }
TPathSpecifierList& PathSpecifiers() { return state().pathSpecifiers; }
TStandardPathSpecList& StandardPathSpecifiers() { return state().standardSpecifiers; }
TCustomInstallFileList& InstallFiles() { return state().installFiles; }
TInstallShellLinkList& InstallShellLinks() { return state().shellLinks; }
TInstallShellLinkList& InstallMainLinks() { return state().mainLinks; }
TShellLinkGroupList& ShellLinkGroups() { return state().linkGroups; }
TMainLinkGroup* MainLinkGroup() { return state().mainLinkGroup; }
void SetMainLinkGroup(TMainLinkGroup* group) { state().mainLinkGroup = group; }
TNetInstallLocationList& NetInstallLocations() { return state().netLocations; }
TCustomInstallFileList& FailedRegistrations() { return state().failedRegistrations; }
TCustomNetInstallLocation* LastConnectedLocation() { return state().lastConnected; }
void SetLastConnectedLocation(TCustomNetInstallLocation* location) { state().lastConnected = location; }

void ResetRunState() {
  RunState& s = state();
  s.engine = nullptr;
  s.installRecordKey.clear();
  s.netAbortRequested = false;
  s.quiet = false;
  s.netLocation = nullptr;
  s.failedRegistrations.Clear();
  s.lastConnected = nullptr;
  SharedArchiveEngine().SetAbort(false);
  CloseRunLog();
  ForgetUninstallEntryCache();
  SetSourceFolder({});
  for (void (*reset)() : resets()) reset();
}

void AddRunStateReset(void (*reset)()) { resets().push_back(reset); }

}  // namespace kestrune
