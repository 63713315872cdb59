// Registry routines with a numeric root-key code. Each opens its own key and closes it
// before returning. Reads never raise (a missing key or value gives the default); writes
// raise EIRCannotWriteValue.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace kestrune {

// Root-key codes: 0 HKEY_CLASSES_ROOT, 1 HKEY_CURRENT_CONFIG, 2 HKEY_CURRENT_USER,
// 3 HKEY_DYN_DATA, 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS. Bit 7 of a code is ignored.
enum TRootKeyCode : int {
  rkClassesRoot = 0,
  rkCurrentConfig = 1,
  rkCurrentUser = 2,
  rkDynData = 3,
  rkLocalMachine = 4,
  rkUsers = 5,
};

// The root key of a code; any other code gives HKEY_CURRENT_USER.
platform::RegRoot RootKeyFromCode(int code);
// The code of a root key; defaultCode for a root key the table does not hold.
int RootKeyCode(platform::RegRoot root, int defaultCode);

// Opens the key (creating it) and writes the value. Raises EIRCannotWriteValue
// "Cannot install into registry. Key: %s Ident: %s Value %s".
void WriteRegistryString(int rootCode, std::string_view key, std::string_view name, std::string_view value);
// The same for a DWORD value; the error's message is the key path alone.
void WriteRegistryInteger(int rootCode, std::string_view key, std::string_view name, int32_t value);
// The value when the key and a string value of that name exist, else defaultValue. Never
// creates the key.
std::string ReadRegistryString(int rootCode, std::string_view key, std::string_view name,
                               std::string_view defaultValue);
int32_t ReadRegistryInteger(int rootCode, std::string_view key, std::string_view name, int32_t defaultValue);
// Deletes the key with all its sub-keys, depth first. The first registry error ends the
// deletion silently.
void DeleteRegistryTree(int rootCode, std::string_view key);

// The RunOnce key of HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kRunOnceKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// Writes command as a RunOnce value named valueName, or, when numbered, under the first of
// valueName, valueName1, valueName2, ... that is free; writes the key through to disk.
// False when the key cannot be opened or the value not written.
bool AddRunOnce(std::string_view valueName, std::string_view command, bool numbered);

}  // namespace kestrune
