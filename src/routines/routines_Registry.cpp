// Registry routines over the platform layer's keys.
#include "routines/routines_Registry.h"

#include "platform/platform_error.h"
#include "runtime/exceptions.h"

namespace kestrune {

using platform::RegKey;
using platform::RegRoot;

namespace {
constexpr RegRoot kRoots[] = {RegRoot::ClassesRoot, RegRoot::CurrentConfig, RegRoot::CurrentUser,
                              RegRoot::DynData,     RegRoot::LocalMachine,  RegRoot::Users};
}  // namespace

RegRoot RootKeyFromCode(int code) {
  int index = code & ~0x80;
  return index >= 0 && index < static_cast<int>(std::size(kRoots)) ? kRoots[index] : RegRoot::CurrentUser;
}

int RootKeyCode(RegRoot root, int defaultCode) {
  for (int i = 0; i < static_cast<int>(std::size(kRoots)); ++i)
    if (kRoots[i] == root) return i;
  return defaultCode;
}

void WriteRegistryString(int rootCode, std::string_view key, std::string_view name, std::string_view value) {
  try {
    RegKey::create(RootKeyFromCode(rootCode), key).writeString(name, value);
  } catch (const platform::PlatformError&) {
    throw EIRCannotWriteValue("Cannot install into registry. Key: %s Ident: %s Value %s", {key, name, value});
  }
}

void WriteRegistryInteger(int rootCode, std::string_view key, std::string_view name, int32_t value) {
  try {
    RegKey::create(RootKeyFromCode(rootCode), key).writeDword(name, static_cast<uint32_t>(value));
  } catch (const platform::PlatformError&) {
    throw EIRCannotWriteValue(std::string(key));
  }
}

std::string ReadRegistryString(int rootCode, std::string_view key, std::string_view name,
                               std::string_view defaultValue) {
  try {
    if (auto opened = RegKey::open(RootKeyFromCode(rootCode), key))
      if (auto value = opened->tryReadString(name)) return *value;
  } catch (const platform::PlatformError&) {
  }
  return std::string(defaultValue);
}

int32_t ReadRegistryInteger(int rootCode, std::string_view key, std::string_view name, int32_t defaultValue) {
  try {
    if (auto opened = RegKey::open(RootKeyFromCode(rootCode), key))
      if (auto value = opened->tryReadDword(name)) return static_cast<int32_t>(*value);
  } catch (const platform::PlatformError&) {
  }
  return defaultValue;
}

namespace {
// Deletes the sub-keys first, then the key; false at the first failure.
bool deleteTree(RegRoot root, const std::string& key) {
  std::vector<std::string> children;
  {
    auto opened = RegKey::open(root, key);
    if (!opened) return false;
    children = opened->subKeyNames();
  }
  for (const std::string& child : children)
    if (!deleteTree(root, key + "\\" + child)) return false;
  return platform::deleteKey(root, key);
}
}  // namespace

void DeleteRegistryTree(int rootCode, std::string_view key) {
  std::string path = platform::normalizeKeyPath(key);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  // An empty path names the root key itself: its sub-keys are the whole hive, never ours.
  if (path.empty()) return;
  try {
    deleteTree(RootKeyFromCode(rootCode), path);
  } catch (const platform::PlatformError&) {
  }
}

bool AddRunOnce(std::string_view valueName, std::string_view command, bool numbered) {
  try {
    RegKey runOnce = RegKey::create(RegRoot::LocalMachine, kRunOnceKey);
    std::string name(valueName);
    if (numbered)
      for (int suffix = 1; runOnce.valueExists(name); ++suffix) name = std::string(valueName) + std::to_string(suffix);
    runOnce.writeString(name, command);
    runOnce.flush();
    return true;
  } catch (const platform::PlatformError&) {
    return false;
  }
}

}  // namespace kestrune
