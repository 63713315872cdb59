// TUninstallEXE: the install file that ships the uninstaller. It installs like any file
// and registers the product in the system's list of installed programs.
#pragma once
#include "objects/cmp_TCustomInstallFile.h"

namespace kestrune {

class TUninstallEXE : public TCustomInstallFile {
  KESTRUNE_CLASS()
 public:
  explicit TUninstallEXE(TComponent* owner);
  // Writes "DisplayName" and "UninstallString" (the uninstaller's path in double quotes, a
  // blank and the product name) under key; the uninstaller itself is never a line of key\Files. Raises
  // IEUninstallEXE without an engine, EIRCannotWriteValue when the registry refuses.
  void WriteUninstallInfo(const std::string& key) override;

  // For a run that ended early (failed or cancelled): when the product's entry lists files
  // or servers but has no "UninstallString", the run's uninstaller (included, not yet
  // processed) is installed now, so that the entry is complete and the product can be
  // removed. True when it was; every failure is swallowed (the entry stays as it is).
  static bool CompleteEntryOfEndedRun();
};

}  // namespace kestrune
