// The -b build: "BUILD.INF", the setup program and its setup.1 archive, the product
// archives through the engine's compress walk, the remote file list and the
// self-extracting setup.exe.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "ui/application.h"

namespace kestrune {

namespace df = distribution_format;

namespace {

constexpr size_t kCopyBlock = 65536;

// Copies a whole file to a new target through a pending file; any failure raises
// IEInstall with the given message (placeholders: source, target).
void copyWholeFile(const std::string& from, const std::string& to, const char* message) {
  try {
    platform::File source = platform::File::open(from, platform::FileAccess::Read);
    platform::PendingFile out(to);
    std::vector<uint8_t> buffer(kCopyBlock);
    for (size_t got; (got = source.read(buffer.data(), buffer.size())) > 0;) out.writeAll(buffer.data(), got);
    out.commit();
  } catch (const std::exception&) {
    throw IEInstall(message, {from, to});
  }
}

std::string programName(const std::string& path) { return ExtractFileName(path); }

// Appends the rest of in to out; returns the bytes written, fewer than read when out is full.
int64_t appendFile(platform::File& out, platform::File& in) {
  std::vector<uint8_t> buffer(kCopyBlock);
  int64_t copied = 0;
  for (size_t got; (got = in.read(buffer.data(), buffer.size())) > 0;) {
    size_t put = out.write(buffer.data(), got);
    copied += static_cast<int64_t>(put);
    if (put < got) break;
  }
  return copied;
}

}  // namespace

// ---- BUILD.INF ----

void BuildFromBuildInf(TCustomInstall& engine) {
  try {
    const std::string program = platform::moduleFileName();
    const std::string inf = AddBackslash(ExtractFileDir(program)) + "BUILD.INF";
    std::optional<platform::File> file = platform::File::tryOpen(inf, platform::FileAccess::Read);
    if (!file || !platform::fileExists(inf))
      throw IEInstall("Need to have a BUILD.INF file in this directory with the first line specifying the build directory");
    std::string text;
    std::vector<char> buffer(4096);
    for (size_t got; (got = file->read(buffer.data(), buffer.size())) > 0 && text.size() < (1u << 20);)
      text.append(buffer.data(), got);
    // Relative source files are taken from the program's folder, where BUILD.INF is.
    SetSourceFolder(RemoveBackslash(ExtractFileDir(program)));
    engine.Build(program, BuildDirectoryFromBuildInf(text), true);
  } catch (const std::exception& e) {
    // The program's exit code tells a caller that the build failed.
    engine.SetEnding(TRunEnding::reFailed);
    if (ui::Application) ui::Application->ShowException(e);
  }
  if (ui::Application) ui::Application->Terminate();
}

// ---- the build ----

void TCustomInstall::Build(const std::string& programPath, const std::string& buildDirectory, bool selfExtracting,
                           const std::string& kitDirectory) {
  const std::string dir = AddBackslash(buildDirectory);
  const std::string setupExe = dir + "setup.exe", setup1 = dir + "setup.1", files1 = dir + "files.1";
  // Every file the build compresses, in order (setup.1's, then the walk's), is compressed
  // ahead while the build writes and reports the one before.
  std::vector<std::string> plan;
  if (UseLoadingProgram() && !Trim(programPath).empty()) {
    plan.push_back(programPath);
    for (int i = 0; i < presetupFiles_->Count(); ++i) plan.push_back((*presetupFiles_)[i]);
  }
  CompressPlan(plan, true);
  TKstrCompress::CompressAhead ahead(SharedArchiveEngine(), plan);
  CopySetupProgram(*this, buildDirectory, programPath, kitDirectory);

  TCustomPathSpecifier* savedType = ArchiveFileType();
  const std::string savedFile = ArchiveFile();
  auto restore = [&] {
    SetArchiveFileType(nullptr);
    SetArchiveFile(savedFile);
    SetArchiveFileType(savedType);
    if (savedType) SetArchiveFile(savedFile);
  };
  SetArchiveFileType(nullptr);
  SetArchiveFile(files1);
  try {
    TCompressOptions options{TCompressOption::coRelocateArchives, TCompressOption::coReserved, TCompressOption::coIncludeAll};
    if (distributeType_ == TDistributeType::dtTraditional) options.Include(TCompressOption::coForceNetFilesLocal);
    if (distributeType_ == TDistributeType::dtWeb) options.Include(TCompressOption::coForceFilesNet);
    Compress(options);
    if (distributeType_ != TDistributeType::dtTraditional) WriteFileList(*this);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  // Without the loader the distribution is the program copy and the archives, complete
  // here: there is no setup.exe of this build to append them to.
  if (selfExtracting && UseLoadingProgram()) CreateSelfExtractor(setupExe, setup1, files1);
}

void CopySetupProgram(TCustomInstall& engine, const std::string& buildDirectory, const std::string& programPath,
                      const std::string& kitDirectory) {
  const std::string dir = AddBackslash(buildDirectory);
  if (!engine.UseLoadingProgram()) {
    const std::string target = dir + programName(programPath);
    try {
      platform::forceDirectories(RemoveBackslash(buildDirectory));
    } catch (const std::exception&) {
      throw IEInstall("Cannot copy the installation application from %s to %s", {programPath, target});
    }
    copyWholeFile(programPath, target, "Cannot copy the installation application from %s to %s");
    return;
  }
  try {
    engine.CreateSetupArchive(buildDirectory, programPath);
  } catch (const EkcDiskFull&) {
    throw IEInstall(
        "The disk that you have specified has been determined to be either too full or is corrupt while trying to copy "
        "the SETUP.1 archive file. You should probably clear all files off of the drive. Minimally, you should leave "
        "enough space on the drive for the SETUP.1 archive file.");
  }
  std::string kit = kitDirectory;
  try {
    if (kit.empty()) kit = FindKitDirectory(true);
  } catch (const IException&) {
    throw IEInstall("The HKEY_LOCAL_MACHINE | %s key in the registry is either missing or points to an invalid Kestrune directory",
                    {"\\Software\\Holmvard\\K32V35"});
  }
  const std::string loader = AddBackslash(kit) + kLoaderProgram;
  if (!platform::fileExists(loader)) throw IEInstall("The loader program %s was not found", {loader});
  copyWholeFile(loader, dir + "setup.exe", "Cannot copy the loading program from %s to %s");
}

// The setup program and the pre-setup files go into setup.1 as members of their own full
// paths, the program first: the loader starts the first member.
void TCustomInstall::CreateSetupArchive(const std::string& buildDirectory, const std::string& programPath) {
  if (Trim(programPath).empty()) throw IEInstall("Cannot create setup file. Executable is blank");
  if (!platform::fileExists(programPath)) throw IEInstall("TInstall: Cannot find the executable file %s", {programPath});
  const std::string setup1 = AddBackslash(buildDirectory) + "setup.1";
  TKstrCompress& engine = SharedArchiveEngine();
  TStringList names;
  auto compressOne = [&](const std::string& path, bool append) {
    names.Clear();
    names.Add(path);
    engine.SetCompressedFile(setup1);
    engine.SetFilesToProcess(names);
    engine.CompressFiles(append, 0);
  };
  TKstrCompress::ArchiveHold hold(engine);
  compressOne(programPath, false);
  for (int i = 0; i < presetupFiles_->Count(); ++i) compressOne((*presetupFiles_)[i], true);
}

// ---- the remote file list ----

void WriteFileList(TCustomInstall& engine) {
  const std::string listDir =
      RemoveBackslash(ExtractFileDir(engine.GetArchiveFile())) + "\\" + RemoveBackslash(engine.NetPath());
  platform::forceDirectories(listDir);
  std::vector<TFileListRecord> records;
  for (int i = 0; i < InstallFiles().Count(); ++i) {
    const TCustomInstallFile* file = InstallFiles().Items(i);
    if (file->CompressedMark() == 0) continue;
    records.push_back({file->Size(), file->FileDate(), file->Name(), file->FileVersion()});
  }
  const std::vector<uint8_t> bytes = EncodeFileList(records);
  platform::PendingFile out(listDir + "\\filelist.lst");
  out.writeAll(bytes.data(), bytes.size());
  out.commit();
}

// ---- the self-extracting setup.exe ----

void CreateSelfExtractor(const std::string& setupExe, const std::string& setup1, const std::string& files1) {
  TExtractionInfo info;
  df::initInfo(info.data());
  std::optional<platform::File> loader = platform::File::tryOpen(setupExe, platform::FileAccess::Read);
  if (!loader) throw EFOpenError("Cannot open file %s", {setupExe});
  // The archives are appended to a copy that replaces setup.exe only when complete.
  platform::PendingFile out(setupExe);
  platform::File& file = out.file();
  if (appendFile(file, *loader) != loader->size())
    throw IEInstall("Cannot create the self-extracting exe because %s could not be loaded onto %s", {setupExe, setupExe});
  loader->close();

  auto appendPart = [&](const std::string& part, size_t startField, size_t endField) {
    const int64_t start = file.position();
    std::optional<platform::File> in = platform::File::tryOpen(part, platform::FileAccess::Read);
    if (!in) throw EFOpenError("Cannot open file %s", {part});
    if (appendFile(file, *in) < in->size() || file.position() > INT32_MAX)
      throw IEInstall("Cannot create the self-extracting exe because %s could not be loaded onto %s", {part, setupExe});
    df::putInt32(info.data() + startField, static_cast<int32_t>(start));
    df::putInt32(info.data() + endField, static_cast<int32_t>(file.position() - 1));
  };
  appendPart(setup1, df::kInfoSetupStart, df::kInfoSetupEnd);
  if (platform::fileExists(files1)) appendPart(files1, df::kInfoFilesStart, df::kInfoFilesEnd);
  out.writeAll(info.data(), info.size());
  out.commit();
}

}  // namespace kestrune
