// Removing an installed product by its uninstall entry: the uninstaller's work, apart
// from its questions and messages.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

struct UninstallReport {
  // Files and servers that could not be removed, each with the reason.
  std::vector<std::string> notRemoved;
  // Lines of the entry that were refused (not a file of this product's, a system file, a
  // path that climbs out or names a device), each with the reason.
  std::vector<std::string> refused;
  // Files in use, deleted when Windows next starts.
  std::vector<std::string> afterRestart;
  // Shared files kept because other products still count on them.
  std::vector<std::string> sharedKept;
  // Listed files no run of the product wrote (they were there before and kept): left.
  std::vector<std::string> keptAsFound;
};

// Walks the product's entry: a shared file's SharedDLLs counter is lowered first, and the
// file is unregistered (ActiveX) and removed only when the counter falls to zero or there
// is none; a file is removed only when the entry's record of written files names it (an
// entry written by an older kit has no record: then every listed file is removed, but no
// listed program is run to unregister it); lines naming a folder, a device, a path that
// climbs out with "..", or a file in the Windows folder or a drive's root that no run
// recorded as written are refused. Files in use go at the next restart. The emptied
// folders that held removed files go (one level, never a system folder, never a folder
// with anything left in it), and the entry is deleted. uninstaller is the running
// uninstaller's own path: it is deleted at the next restart, with its folder when
// nothing else is left there. Raises IEUninstallEXE when the product has no entry or
// the entry is damaged beyond reading (a list of more lines than any product has).
UninstallReport RemoveProduct(const std::string& productName, const std::string& uninstaller);

// What the uninstaller was started for.
struct UninstallCommand {
  bool quiet = false;  // "/Q": no questions, no messages
  std::string product;
};

// Reads the uninstaller's raw command line: the program's path first, in double quotes or
// not (an entry written by an older kit has it unquoted, blanks and all: the shortest run
// of words that namesSelf accepts is the path, else the first word); then an optional
// "/Q"; everything after is the product name as it stands (inner blanks kept; blanks
// around it and one pair of double quotes around all of it dropped).
UninstallCommand ParseUninstallCommandLine(std::string_view line, const std::function<bool(const std::string&)>& namesSelf);

}  // namespace kestrune
