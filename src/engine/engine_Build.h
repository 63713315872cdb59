// Building and distributing a setup: the -b build from "BUILD.INF", the setup archive,
// the self-extracting setup.exe and its extraction info, the remote file list, the floppy
// transfer (-f), the kit directory and the parsers of the files these steps read back.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/distribution_format.h"

namespace kestrune {

class TCustomInstall;

// The -b mode: builds into the directory named by the first line of "BUILD.INF" beside the
// program. Every error is shown in a message box; the application is then told to end.
void BuildFromBuildInf(TCustomInstall& engine);
// The build directory that a "BUILD.INF" text names (its first line, trimmed). Raises
// IEInstall "Must be 1 line in BUILD.INF. ..." when there is no line or it is blank.
std::string BuildDirectoryFromBuildInf(std::string_view text);

// Puts the setup program into the build directory: with the loader, setup.1 and a copy of
// the loader as setup.exe; without it, a copy of the program under its own name.
void CopySetupProgram(TCustomInstall& engine, const std::string& buildDirectory, const std::string& programPath,
                      const std::string& kitDirectory = {});
// Writes "filelist.lst" for the files compressed in this build into the engine's network
// sub-directory of the build directory.
void WriteFileList(TCustomInstall& engine);
// Appends setup.1, files.1 (when it exists) and the extraction info to setup.exe. The
// result replaces setup.exe only when complete.
void CreateSelfExtractor(const std::string& setupExe, const std::string& setup1, const std::string& files1);

using TExtractionInfo = std::array<uint8_t, distribution_format::kInfoSize>;
// The last 56 bytes of a file. Raises IEInstall "Could not read the extraction info ..."
// when the file cannot be opened or is shorter.
TExtractionInfo ReadExtractionInfo(const std::string& path);
// Reads the extraction info of the self-extracting file, checks that its offsets describe
// that file and makes it the shared archive engine's archive, starting at the files.1
// part, whose offset it returns. Raises IEInstall for an unreadable file or offsets that lie.
int64_t ReadSelfExtractOffset(TCustomInstall& engine, const std::string& selfExtractor);
// The -f mode: copies the loader, setup.1 and the spanned files.1 onto disks in target
// ("a:"), asking for each new disk. Errors are shown; the application is told to end.
void TransferToFloppies(TCustomInstall& engine, const std::string& target);

// The first directory on the library search path that holds "K32V35.TXT", without
// trailing backslash. When there is none: raises IENoKestrunePath if required, else "".
std::string FindKitDirectory(bool required);
// The registry value FindKitDirectory reads (HKEY_CURRENT_USER).
inline constexpr const char* kKitSearchKey = "\\Software\\Borland\\Delphi\\3.0\\Library";
inline constexpr const char* kKitSearchValue = "SearchPath";
inline constexpr const char* kKitMarkerFile = "K32V35.TXT";
inline constexpr const char* kLoaderProgram = "KestruneLoadProgram.exe";

// One record of the remote file list.
struct TFileListRecord {
  int32_t Size = 0;
  double FileDate = 0;
  std::string Name;         // cut to 39 characters when written
  std::string FileVersion;  // cut to 20 characters when written
  bool operator==(const TFileListRecord&) const = default;
};
std::vector<uint8_t> EncodeFileList(const std::vector<TFileListRecord>& records);
// Raises IEInstall when the count is negative or does not match the length.
std::vector<TFileListRecord> ParseFileList(const uint8_t* data, size_t size);

}  // namespace kestrune
