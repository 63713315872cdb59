// The product's uninstall entry under HKEY_LOCAL_MACHINE: the lines install objects append
// while the run goes on, and the whole entry read back by the uninstaller.
//
// Layout under U = "\Software\Microsoft\Windows\CurrentVersion\Uninstall\" + product name:
//   U                  "DisplayName", "UninstallString"
//   U\Files, U\Files1… "Entries" (decimal count) and "File1".."FileN": installed files and
//                      shortcuts (a numbered subkey only when a lower one could not be used)
//   U\ActiveX          "Entries", "File1".."FileN": path + ";1" (local server) or ";0"
//   U\BDE              "Entries": installations that registered the database engine
//   U\Written          "Entries", "File1".."FileN": the paths this product's runs really
//                      wrote (files extracted, the uninstaller, shortcuts made). Files lists
//                      kept files too; the uninstaller deletes only what is also here. An
//                      entry without this subkey was written by an older kit.
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
// can be read and written; written: this run wrote the file (RecordWrittenPath), otherwise
// the record is only made sure of. Raises EIRCannotWriteValue when no subkey can be used.
void AppendUninstallFileLine(const std::string& key, const std::string& path, bool written);
// Appends path + ";1" (exeServer) or ";0" as the next "File" value of key\ActiveX, and
// records the path as AppendUninstallFileLine does. Raises EIRCannotWriteValue.
void AppendUninstallActiveXLine(const std::string& key, const std::string& path, bool exeServer, bool written);
// Appends path to key\Written, and takes back the delayed deletes that wait for the next
// start for that path or a folder above it: a product removed and installed again before
// the restart keeps what the new run wrote. Raises EIRCannotWriteValue.
void RecordWrittenPath(const std::string& key, const std::string& path);
// Takes back the delayed deletes waiting for the next start for path or a folder above
// it (the uninstaller's own program and folder are deleted that way). Failures to change
// the system's list are passed over.
void CancelDelayedDeletes(const std::string& path);
// While the engine's run is active the records made sure of and the delayed deletes are
// remembered from file to file (the run's own writes are the only change to them); a run
// forgets them when it starts.
void ForgetUninstallEntryCache();

struct UninstallEntry {
  std::string displayName;
  std::string uninstallString;
  // Every "File" value of U\Files, U\Files1, … in order (duplicates of repeated installs kept).
  std::vector<std::string> files;
  // "path;1" or "path;0" lines of U\ActiveX.
  std::vector<std::string> activeX;
  // The paths of U\Written; nullopt for an entry written by an older kit, which has none.
  std::optional<std::vector<std::string>> written;
  int bdeInstalls = 0;
};

// The most lines one list of an entry may hold; a larger count is refused, not read.
inline constexpr int kMaxEntryLines = 100000;

// The entry of a product; nullopt when U does not exist. Values that are missing or whose
// count is not a number are passed over; a count above kMaxEntryLines raises
// IEUninstallEXE (a damaged or planted entry).
std::optional<UninstallEntry> ReadUninstallEntry(const std::string& productName);
// Deletes U with its subkeys; false when it was not there.
bool DeleteUninstallEntry(const std::string& productName);

}  // namespace kestrune
