// The uninstaller's install file and its published properties.
#include "objects/cmp_TUninstallEXE.h"

#include <algorithm>
#include <cstdint>

#include "archive/cmp_TKstrCompress.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/published_props.h"
#include "objects/run_state.h"
#include "objects/uninstall_entry.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TUninstallEXE::classInfo() {
  using F = TCustomInstallFile;
  static constexpr auto props = JoinProps(
      kInstallObjectProps, FileRelatedPropTable<false>(),
      std::array{prop<&TFileRelated::Net, &TFileRelated::SetNet>("Net").Default(1),
                 prop<&F::FileName, &F::SetFileName>("FileName"),
                 prop<&F::IncludeFromDir, &F::SetIncludeFromDir>("IncludeFromDir"),
                 prop<&F::DestName, &F::SetDestName>("DestName"),
                 prop<&F::FileType, &F::SetFileType>("FileType").Default(0),
                 prop<&F::OverwriteMode, &F::SetOverwriteMode>("OverwriteMode").Default(0),
                 prop<&F::State, &F::SetState>("State").Default(0),
                 prop<&F::UpdateDLLCounter, &F::SetUpdateDLLCounter>("UpdateDLLCounter").Default(0),
                 eventProp("OnAfterCompress"), eventProp("OnAfterCopy"), eventProp("OnAfterInstall"),
                 eventProp("OnBeforeCompress"), eventProp("OnBeforeCopy"), eventProp("OnBeforeInstall"),
                 eventProp("OnStatus"), eventProp("OnNewDisk"), eventProp("OnReplacing")});
  static const ClassInfo info{"TUninstallEXE", &TCustomInstallFile::classInfo(), create<TUninstallEXE>, props};
  return info;
}

TUninstallEXE::TUninstallEXE(TComponent* owner) : TCustomInstallFile(owner) { net_ = true; }

void TUninstallEXE::WriteUninstallInfo(const std::string& key) {
  IInstallEngine* engine = CurrentEngine();
  if (!engine)
    throw IEUninstallEXE(
        "%s could not write information about the uninstall to the registry because there was no TInstall component", {Name()});
  const std::string product = engine->EngineProductName();
  const std::string path = AddBackslash(GetDestDir()) + DestName();
  WriteRegistryString(rkLocalMachine, key, "DisplayName", product);
  // The program's path in double quotes, so that Windows does not try "C:\Program.exe"
  // for "C:\Program Files\..."; the product name follows as it is, everything after the
  // path being the uninstaller's product name.
  WriteRegistryString(rkLocalMachine, key, "UninstallString", "\"" + path + "\" " + product);
  // What Windows' list of programs shows and offers beside them: the version, the maker,
  // the folder, an icon, the size in KB, the uninstall without questions (the
  // uninstaller's /Q), and no Change or Repair, which the uninstaller does not do.
  WriteRegistryString(rkLocalMachine, key, "QuietUninstallString", "\"" + path + "\" /Q " + product);
  if (!engine->EngineVersion().empty()) WriteRegistryString(rkLocalMachine, key, "DisplayVersion", engine->EngineVersion());
  if (!engine->EngineCompany().empty()) WriteRegistryString(rkLocalMachine, key, "Publisher", engine->EngineCompany());
  if (TFileContainer* root = engine->EngineContainer()) {
    WriteRegistryString(rkLocalMachine, key, "InstallLocation", root->GetDestDir());
    const int64_t kb = (root->TotalSize(false) + 1023) / 1024;
    WriteRegistryInteger(rkLocalMachine, key, "EstimatedSize", static_cast<int32_t>(std::min<int64_t>(kb, INT32_MAX)));
  }
  WriteRegistryString(rkLocalMachine, key, "DisplayIcon", path + ",0");
  WriteRegistryInteger(rkLocalMachine, key, "NoModify", 1);
  WriteRegistryInteger(rkLocalMachine, key, "NoRepair", 1);
  // The uninstaller speaks the installation's language.
  if (!engine->EngineLanguage().empty()) WriteRegistryString(rkLocalMachine, key, "Language", engine->EngineLanguage());
  // A delete the last uninstall left for the next start must not take the new copy.
  if (InstallIt()) RecordWrittenPath(key, path);
  else CancelDelayedDeletes(path);
}

bool TUninstallEXE::CompleteEntryOfEndedRun() {
  IInstallEngine* engine = CurrentEngine();
  if (!engine) return false;
  try {
    const std::optional<UninstallEntry> entry = ReadUninstallEntry(engine->EngineProductName());
    if (!entry || !entry->uninstallString.empty() || (entry->files.empty() && entry->activeX.empty())) return false;
    for (int i = 0; i < InstallFiles().Count(); ++i) {
      auto* uninstaller = As<TUninstallEXE>(InstallFiles().Items(i));
      if (!uninstaller || uninstaller->Processed() || !uninstaller->IsIncluded()) continue;
      // The user's cancel or the failure left the archive engine stopped.
      SharedArchiveEngine().SetAbort(false);
      uninstaller->Process();
      return uninstaller->Processed();
    }
  } catch (...) {
    // The run has failed already; the entry stays as it is.
  }
  return false;
}

}  // namespace kestrune
