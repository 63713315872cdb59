// Appending lines to the uninstall entry, and reading the whole entry back.
#include "objects/uninstall_entry.h"

#include <algorithm>
#include <map>
#include <set>

#include "objects/engine_seam.h"
#include "objects/run_state.h"
#include "platform/platform_error.h"
#include "platform/registry.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

// Numbered "Files" subkeys tried before a registry that cannot be written is an error.
constexpr int kFilesKeyTries = 16;

void appendLinePlain(const std::string& sub, const std::string& value) {
  // The key is opened once for the count and both values (an installation appends a line
  // for every file, and under Wine every opening of a key is a round trip to the server).
  // Where it cannot be opened for writing, each step opens it on its own, which reports the
  // value that could not be written.
  std::optional<platform::RegKey> key;
  try {
    key = platform::RegKey::create(platform::RegRoot::LocalMachine, sub);
  } catch (const platform::PlatformError&) {
  }
  std::string entries = "0";
  if (key) {
    try {
      entries = key->tryReadString("Entries").value_or("0");
    } catch (const platform::PlatformError&) {
    }
  } else {
    entries = ReadRegistryString(rkLocalMachine, sub, "Entries", "0");
  }
  const std::optional<int> count = ParseEntryCount(entries);
  if (!count) throw EIRCannotWriteValue("Cannot install into registry. Key: %s Ident: %s Value %s", {sub, "Entries", entries});
  const int n = *count + 1;
  auto write = [&](const std::string& name, const std::string& text) {
    if (!key) return WriteRegistryString(rkLocalMachine, sub, name, text);
    try {
      key->writeString(name, text);
    } catch (const platform::PlatformError&) {
      throw EIRCannotWriteValue("Cannot install into registry. Key: %s Ident: %s Value %s", {sub, name, text});
    }
  };
  write("File" + std::to_string(n), value);
  write("Entries", std::to_string(n));
}

constexpr std::string_view kSessionManager = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr std::string_view kPendingRenames = "PendingFileRenameOperations";

// What the engine's run has learnt of the registry, so that a file costs no round trips
// beyond its own lines: the records of written paths made sure of, and the delayed
// deletes waiting for the next start (read at the first written file). Used only while
// the run is active; ForgetUninstallEntryCache clears it when a run starts.
struct RunCache {
  std::set<std::string> ensured;
  // The lists of the entry ("Written", "Files", "ActiveX") stay open, with their count,
  // from file to file: each gets a line for every file.
  std::map<std::string, std::pair<platform::RegKey, int>> lists;
  bool pendingRead = false;
  std::vector<std::string> deletes;
};

RunCache& runCache() {
  static RunCache cache;
  return cache;
}


// A line appended to a list of the entry: during a run through the list's key kept open
// with its count (two values written per line), otherwise opened for the line. A key that
// cannot be opened, read or written (the entry was deleted meanwhile) goes the plain way,
// which opens it anew and reports what cannot be written. True when the open key took it.
bool appendLine(const std::string& sub, const std::string& value) {
  if (!EngineRunActive()) {
    appendLinePlain(sub, value);
    return false;
  }
  auto& open = runCache().lists;
  auto at = open.find(sub);
  if (at == open.end()) {
    std::optional<platform::RegKey> k;
    std::optional<int> count;
    try {
      k = platform::RegKey::create(platform::RegRoot::LocalMachine, sub);
      count = ParseEntryCount(k->tryReadString("Entries").value_or("0"));
    } catch (const platform::PlatformError&) {
    }
    if (!k || !count) {
      appendLinePlain(sub, value);
      return false;
    }
    at = open.emplace(sub, std::make_pair(std::move(*k), *count)).first;
  }
  auto& [k, count] = at->second;
  try {
    k.writeString("File" + std::to_string(count + 1), value);
    k.writeString("Entries", std::to_string(count + 1));
    ++count;
    return true;
  } catch (const platform::PlatformError&) {
    open.erase(at);
    appendLinePlain(sub, value);
    return false;
  }
}

// The record of written paths exists from the first line of a run on, so that an entry
// whose runs wrote nothing still tells the uninstaller to delete nothing.
void ensureWrittenRecord(const std::string& key) {
  const bool cached = EngineRunActive();
  if (cached && runCache().ensured.contains(key)) return;
  const std::string sub = key + "\\Written";
  if (ReadRegistryString(rkLocalMachine, sub, "Entries", "").empty()) WriteRegistryString(rkLocalMachine, sub, "Entries", "0");
  if (cached) runCache().ensured.insert(key);
}

// The path of a delayed move as the system keeps it ("\??\C:\..." on NT).
std::string pendingPath(std::string path) {
  if (path.starts_with("\\??\\")) path.erase(0, 4);
  return path;
}

// True when pending names path itself or a folder above it.
bool coversPath(const std::string& pending, const std::string& path) {
  const std::string p = UpperCase(RemoveBackslash(pending)), q = UpperCase(path);
  return !p.empty() && (p == q || (q.size() > p.size() && q.compare(0, p.size(), p) == 0 && q[p.size()] == '\\'));
}

}  // namespace

void ForgetUninstallEntryCache() { runCache() = RunCache(); }

void CancelDelayedDeletes(const std::string& path) {
  const bool cached = EngineRunActive();
  RunCache& cache = runCache();
  if (cached && cache.pendingRead &&
      std::none_of(cache.deletes.begin(), cache.deletes.end(), [&](const std::string& d) { return coversPath(d, path); }))
    return;
  try {
    std::optional<platform::RegKey> key = platform::RegKey::open(platform::RegRoot::LocalMachine, kSessionManager, true);
    std::optional<std::vector<std::string>> pending;
    if (key) pending = key->tryReadMultiString(kPendingRenames);
    std::vector<std::string> kept, deletes;
    for (size_t i = 0; pending && i + 1 < pending->size(); i += 2) {
      const std::string& source = (*pending)[i];
      const bool isDelete = (*pending)[i + 1].empty();
      if (isDelete && coversPath(pendingPath(source), path)) continue;
      kept.insert(kept.end(), {source, (*pending)[i + 1]});
      if (isDelete) deletes.push_back(pendingPath(source));
    }
    if (cached) {
      cache.pendingRead = true;
      cache.deletes = deletes;
    }
    if (!pending || kept.size() + 1 >= pending->size()) return;
    if (kept.empty()) key->deleteValue(kPendingRenames);
    else key->writeMultiString(kPendingRenames, kept);
  } catch (const platform::PlatformError&) {
    // Without the right to change the list the old delete stays; the file is written.
  }
}

namespace {

void readLines(const platform::RegKey& key, std::vector<std::string>& out) {
  const std::optional<int> count = ParseEntryCount(key.tryReadString("Entries").value_or("0"));
  if (count && *count > kMaxEntryLines)
    throw IEUninstallEXE("The uninstall entry lists %d lines; more than %d are not read", {static_cast<long long>(*count),
                                                                                         static_cast<long long>(kMaxEntryLines)});
  for (int n = 1; count && n <= *count; ++n)
    if (std::optional<std::string> v = key.tryReadString("File" + std::to_string(n))) out.push_back(*v);
}

}  // namespace

std::optional<int> ParseEntryCount(const std::string& text) {
  std::string t = Trim(text);
  if (t.empty() || t.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

void AppendUninstallFileLine(const std::string& key, const std::string& path, bool written) {
  if (written) RecordWrittenPath(key, path);
  else ensureWrittenRecord(key);
  // A subkey whose list cannot be read or written is passed over for the next one; a
  // registry that takes none of them is an error.
  for (int k = 0;; ++k) {
    try {
      appendLine(key + "\\Files" + (k == 0 ? std::string() : std::to_string(k)), path);
      return;
    } catch (const EIRCannotWriteValue&) {
      if (k + 1 >= kFilesKeyTries) throw;
    }
  }
}

void AppendUninstallActiveXLine(const std::string& key, const std::string& path, bool exeServer, bool written) {
  if (written) RecordWrittenPath(key, path);
  else ensureWrittenRecord(key);
  appendLine(key + "\\ActiveX", path + (exeServer ? ";1" : ";0"));
}

void RecordWrittenPath(const std::string& key, const std::string& path) {
  // A record the run's open key took exists; any other way, what was made sure of may
  // have gone with the entry and is checked again.
  if (appendLine(key + "\\Written", path)) runCache().ensured.insert(key);
  else if (EngineRunActive()) runCache().ensured.clear();
  CancelDelayedDeletes(path);
}

std::optional<UninstallEntry> ReadUninstallEntry(const std::string& productName) {
  const std::string u = kUninstallRoot + productName;
  std::optional<platform::RegKey> root = platform::RegKey::open(platform::RegRoot::LocalMachine, u);
  if (!root) return std::nullopt;
  UninstallEntry entry;
  entry.displayName = root->tryReadString("DisplayName").value_or("");
  entry.uninstallString = root->tryReadString("UninstallString").value_or("");
  for (int k = 0; k < kFilesKeyTries; ++k)
    if (auto files = platform::RegKey::open(platform::RegRoot::LocalMachine,
                                            u + "\\Files" + (k == 0 ? std::string() : std::to_string(k))))
      readLines(*files, entry.files);
  if (auto activeX = platform::RegKey::open(platform::RegRoot::LocalMachine, u + "\\ActiveX"))
    readLines(*activeX, entry.activeX);
  if (auto written = platform::RegKey::open(platform::RegRoot::LocalMachine, u + "\\Written")) {
    entry.written.emplace();
    readLines(*written, *entry.written);
  }
  if (auto bde = platform::RegKey::open(platform::RegRoot::LocalMachine, u + "\\BDE"))
    entry.bdeInstalls = ParseEntryCount(bde->tryReadString("Entries").value_or("0")).value_or(0);
  return entry;
}

bool DeleteUninstallEntry(const std::string& productName) {
  const std::string u = kUninstallRoot + productName;
  std::optional<platform::RegKey> root = platform::RegKey::open(platform::RegRoot::LocalMachine, u, true);
  if (!root) return false;
  for (const std::string& name : root->subKeyNames()) root->deleteSubKey(name);
  root.reset();
  return platform::deleteKey(platform::RegRoot::LocalMachine, u);
}

}  // namespace kestrune
