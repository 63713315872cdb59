// The product's uninstall entry under HKEY_LOCAL_MACHINE: the lines install objects append
// while the run goes on, and the whole entry read back by the uninstaller.
//
// Layout under U = "\Software\Microsoft\Windows\CurrentVersion\Uninstall\" + product name:
//   U                  "DisplayName", "UninstallString"
//   U\Files, U\Files1… "Entries" (decimal count) and "File1".."FileN": installed files and
//                      shortcuts (a numbered subkey only when a lower one could not be used)
//   U\ActiveX          "Entries", "File1".."FileN": path + ";1" (local server) or ";0"
//   U\BDE              "Entries": installations that registered the database engine
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

inline constexpr const char* kUninstallRoot = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The count an "Entries" value holds: decimal digits only (blanks around allowed), at most
// nine; nullopt for anything else.
std::optional<int> ParseEntryCount(const std::string& text);

// Appends path as the next "File" value of key\Files, or of the first numbered subkey that
// can be read and written. Raises EIRCannotWriteValue when none can.
void AppendUninstallFileLine(const std::string& key, const std::string& path);
// Appends line as the next "File" value of key\ActiveX. Raises EIRCannotWriteValue.
void AppendUninstallActiveXLine(const std::string& key, const std::string& line);

struct UninstallEntry {
  std::string displayName;
  std::string uninstallString;
  // Every "File" value of U\Files, U\Files1, … in order (duplicates of repeated installs kept).
  std::vector<std::string> files;
  // "path;1" or "path;0" lines of U\ActiveX.
  std::vector<std::string> activeX;
  int bdeInstalls = 0;
};

// The entry of a product; nullopt when U does not exist. Values that are missing or whose
// count is not a number are passed over.
std::optional<UninstallEntry> ReadUninstallEntry(const std::string& productName);
// Deletes U with its subkeys; false when it was not there.
bool DeleteUninstallEntry(const std::string& productName);

}  // namespace kestrune
