// TUninstallEXE: the install file that ships the uninstaller. It installs like any file
// and registers the product in the system's list of installed programs.
#pragma once
#include "objects/cmp_TCustomInstallFile.h"

namespace kestrune {

class TUninstallEXE : public TCustomInstallFile {
  KESTRUNE_CLASS()
 public:
  explicit TUninstallEXE(TComponent* owner);
  // Writes "DisplayName" and "UninstallString" (the uninstaller's path, a blank and the
  // product name) under key; the uninstaller itself is never a line of key\Files. Raises
  // IEUninstallEXE without an engine, EIRCannotWriteValue when the registry refuses.
  void WriteUninstallInfo(const std::string& key) override;
};

}  // namespace kestrune
