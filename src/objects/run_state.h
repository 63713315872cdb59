// The process-wide state of an installation kept by the objects layer: the current engine,
// the install record key, the cancel flags, the current and last connected network
// locations, the files whose registration failed, the registries of live install
// containers, path specifiers, install files, shortcuts, link groups and network
// locations, and the archive layer's shared archive engine and module version resource.
// Layers above with values of a run of their own register their reset here
// (AddRunStateReset), so that ResetRunState() puts a whole run back.
//
// The program is single-threaded (the run happens inside window message handling), so
// the state is plain values without locks.
#pragma once
#include <string>

namespace kestrune {

class IInstallEngine;
class TCustomNetInstallLocation;
class TInstallContainerList;
class TPathSpecifierList;
class TStandardPathSpecList;
class TKstrCompress;
class TVersionResource;
class TCustomInstallFileList;
class TInstallShellLinkList;
class TShellLinkGroupList;
class TMainLinkGroup;
class TNetInstallLocationList;

// The engine at the root of the tree; at most one exists. Null before an engine is
// created and after it is destroyed.
IInstallEngine* CurrentEngine();
void SetCurrentEngine(IInstallEngine* engine);

// Registry key (under HKEY_LOCAL_MACHINE, leading backslash) of the current install
// record; empty when none is known yet.
const std::string& InstallRecordKey();
void SetInstallRecordKey(const std::string& key);

// An unattended run (the setup program's -q): no window is shown, not even a message box;
// what would be asked takes its default and errors go to the exit code and the run log.
bool QuietRun();
void SetQuietRun(bool quiet);

// Set by the download loop when the user cancels; tested by the objects after a transfer.
// The archive engine's own cancel flag is SharedArchiveEngine().Abort().
bool NetAbortRequested();
void SetNetAbortRequested(bool aborted);

// The network location the engine uses for objects without one of their own (the
// engine's NetLocation property); cleared when that component goes.
TCustomNetInstallLocation* CurrentNetLocation();
void SetCurrentNetLocation(TCustomNetInstallLocation* location);

// Registries of live objects: each member adds itself at construction and removes itself
// at destruction.
TInstallContainerList& InstallContainers();
TPathSpecifierList& PathSpecifiers();
TStandardPathSpecList& StandardPathSpecifiers();
TCustomInstallFileList& InstallFiles();
// Every live shortcut, and every live main-folder shortcut.
TInstallShellLinkList& InstallShellLinks();
TInstallShellLinkList& InstallMainLinks();
// The list of link groups (kept empty) and the single main link group (null when none).
TShellLinkGroupList& ShellLinkGroups();
TMainLinkGroup* MainLinkGroup();
void SetMainLinkGroup(TMainLinkGroup* group);
TNetInstallLocationList& NetInstallLocations();

// Files whose ActiveX registration failed in this run (registered again at its end).
TCustomInstallFileList& FailedRegistrations();
// The location that connected last (its host names the server in error messages); null
// when none has connected or it is gone.
TCustomNetInstallLocation* LastConnectedLocation();
void SetLastConnectedLocation(TCustomNetInstallLocation* location);

// The archive layer's process-wide objects, created on first use. They are defined in
// src/archive because that layer uses them itself (headers of new members carry the
// version the module version resource reads).
TKstrCompress& SharedArchiveEngine();
TVersionResource& ModuleVersionResource();

// Puts the values of a run back to their start: no engine, no install record key, no
// network location, no failed registrations, no last connected location, both cancel
// flags cleared, not quiet, and what the layers above registered with AddRunStateReset. The
// registries of live objects follow the objects' lifetimes and are left as they are. For
// tests that run several installations in one process.
void ResetRunState();
// A layer above this one that keeps values of a run of its own (the wizard's chosen
// install type, its current dialog manager) registers here how to put them back.
void AddRunStateReset(void (*reset)());

}  // namespace kestrune
