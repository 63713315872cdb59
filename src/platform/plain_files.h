// File, profile and registry calls without exceptions, std::string or the C++ runtime, for
// IDAPINST.DLL (which links neither). Paths and texts are null-terminated strings in the
// ANSI code page, as the library's callers pass them; each call reports failure by its
// result. Memory comes from malloc and is given back with free.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kestrune::platform::plain {

// The whole file in a new malloc'd block (*data, *size; a block even for an empty file).
bool readFile(const char* path, char** data, size_t* size);

// Writes the whole file as PendingFile does: under a new temporary name beside it
// ("~NAME.XXXXXX.tmp"), renamed over the target when complete; on failure the target is
// left as it was and the temporary file removed.
bool writeFile(const char* path, const void* data, size_t size);

// Sets KEY in [SECTION] of the profile file FILE in the Windows folder (WIN.INI) to value.
bool writeWindowsProfileString(const char* file, const char* section, const char* key, const char* value);

// Renames the open file (a HANDLE) to target, over an existing file when replace; false
// where the system cannot rename through a handle (before Windows Vista) or refuses.
bool renameOpenFile(void* handle, const wchar_t* target, bool replace);

// Adds one to the DWORD value NAME of HKEY_LOCAL_MACHINE\KEY, made when missing (a missing
// or non-DWORD value counts as 0).
bool incrementLocalMachineDword(const char* key, const char* name);

}  // namespace kestrune::platform::plain
