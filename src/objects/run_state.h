// The process-wide state of the program, indexed here; one call, ResetRunState(), puts
// the values of a run back to their start.
//
// Values of a run (reset by ResetRunState):
//   - here: the current engine, the install record key, the quiet flag, both cancel flags
//     (the download loop's and SharedArchiveEngine().Abort()), the engine's network
//     location and the one that connected last, the files whose registration failed;
//   - objects/run_log.h: the run log (closed); objects/uninstall_entry.h: what the run
//     learnt of the registry (ForgetUninstallEntryCache); archive/archive_names.h: the
//     folder relative member names are read from (SourceFolder, emptied);
//   - registered by the layers above with AddRunStateReset: the wizard's chosen install
//     type and the objects "Pouze BDE" left out (dialogs/ordlg_WelcomeDlg.cpp), the
//     current dialog manager (dialogs/dlgcmp_TDialogManager.cpp).
// Registries that follow the lifetimes of their members (left alone by the reset): the
// live install containers, path specifiers, install files, shortcuts, link groups and
// network locations and the main link group (here), the install files' identifier table
// (objects/cmp_TCustomInstallFile.cpp), the live TInstallBDE (dbengine), the main
// translator and the default one the kit made (translation), the main instances of the
// main window's decorations (dialogs/main_instance.h), the application and the live forms
// (ui).
// Set once at start (left alone): the program's seams (runtime/seams.h), the class
// registry, the wizard's form registries (dialogs), the program parameters
// (runtime/params.h).
// Process resources and caches that no run changes the meaning of (left alone): the
// shared archive engine and the module version resource (defined in src/archive, which
// uses them itself), the program manager's DDE conversation, COM's start on this thread,
// the window classes, the numbering of temporary names, the compiled page layouts, the
// pump's last look at the queue, the override cursor, the native build's in-memory
// registry, and the container walks' nesting depth (kept balanced by their scopes).
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

// Puts every value of a run listed at the top back to its start, so that tests that run
// several installations in one process start each as the first. The registries of live
// objects follow the objects' lifetimes and are left as they are.
void ResetRunState();
// A layer above this one that keeps values of a run of its own (the wizard's chosen
// install type, its current dialog manager) registers here how to put them back.
void AddRunStateReset(void (*reset)());

}  // namespace kestrune
