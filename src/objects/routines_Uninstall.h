// Removing an installed product by its uninstall entry: the uninstaller's work, apart
// from its questions and messages.
#pragma once
#include <string>
#include <vector>

namespace kestrune {

struct UninstallReport {
  // Files and servers that could not be removed, each with the reason.
  std::vector<std::string> notRemoved;
  // Files in use, deleted when Windows next starts.
  std::vector<std::string> afterRestart;
  // Shared files kept because other products still count on them.
  std::vector<std::string> sharedKept;
};

// Unregisters and removes the entry's ActiveX servers, removes its files and shortcuts
// (a shared file only when its SharedDLLs counter falls to zero; a file in use at the
// next restart), removes the emptied folders that held them (one level, never a system
// folder, never a folder with anything left in it), and deletes the entry. uninstaller is
// the running uninstaller's own path: it is deleted at the next restart, with its folder
// when nothing else is left there. Raises IEUninstallEXE when the product has no entry.
UninstallReport RemoveProduct(const std::string& productName, const std::string& uninstaller);

}  // namespace kestrune
