// `kestrune-script build`: loads the script, checks the kit and every source file, makes the
// setup program that carries the script and lets the engine build the distribution from it
// in a new folder, which becomes the output only when complete.
#include "distribution_build.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "../common/tool_files.h"
#include "archive/archive_names.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "engine/script_loader.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/run_state.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/system.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"
#include "setup_program.h"

namespace kestrune::tools {

namespace {

constexpr const char* kSetupProgram = "setup.exe";

std::string join(const std::string& dir, const std::string& name) { return JoinPath(dir, name); }

bool isAbsolute(const std::string& path) { return IsAbsoluteName(path); }

std::string absolute(const std::string& path) {
  return isAbsolute(path) ? path : join(platform::currentDirectory(), path);
}

// Deletes a folder and everything in it, as far as it can.
void removeTree(const std::string& dir) {
  if (auto entries = platform::folderEntries(dir))
    for (const std::string& name : *entries) {
      const std::string path = join(dir, name);
      if (platform::directoryExists(path)) removeTree(path);
      else platform::deleteFile(path);
    }
  platform::removeDirectory(dir);
}

// Moves every file of from into to (sub-folders alike), replacing files of the same name.
void moveTree(const std::string& from, const std::string& to) {
  platform::forceDirectories(to);
  auto entries = platform::folderEntries(from);
  if (!entries) throw EFOpenError("Cannot read the folder %s", {from});
  for (const std::string& name : *entries) {
    const std::string source = join(from, name), target = join(to, name);
    if (platform::directoryExists(source)) moveTree(source, target);
    else platform::replaceFile(source, target);
  }
}

// A new folder beside target for the build to work in; removed with what it holds when
// this goes, unless released.
class Workspace {
 public:
  // A folder of the system's temporary folder: a short path, as the setup program's path
  // is its member name in setup.1, which holds 100 characters.
  Workspace() {
    const std::string file = platform::createTempFile("kst");
    platform::deleteFile(file);
    if (!platform::createDirectory(file)) throw EFCreateError("Cannot create a temporary folder %s", {file});
    path_ = file;
  }
  explicit Workspace(const std::string& target) {
    std::string parent = ExtractFileDir(target);
    if (parent.empty() || parent == target) parent = platform::currentDirectory();
    platform::forceDirectories(parent);
    const auto seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0;; ++attempt) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, ".building-%06x", (seed + attempt * 2654435761u) & 0xFFFFFFu);
      path_ = join(parent, "." + ExtractFileName(target) + suffix);
      if (platform::createDirectory(path_)) return;
      if (attempt >= 16) throw EFCreateError("Cannot create a folder to build in beside %s", {target});
    }
  }
  ~Workspace() {
    if (!path_.empty()) removeTree(path_);
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The install object and where it sits, for messages: "ReadMe (TInstallFile in Docs)".
std::string describe(const TCustomInstallFile& file) {
  std::string where = file.Name() + " (" + file.ClassName();
  if (const TInstallContainer* c = file.ContainerRef()) where += " in " + c->Name();
  return where + ")";
}

bool included(const TInstallContainer& object) {
  for (const TInstallContainer* c = &object; c; c = c->ContainerRef())
    if (!c->Include()) return false;
  return true;
}

// Every source file the build will read must be there and every file must have an archive:
// all that is missing is named at once, with the install objects, before anything is
// written.
void checkSources(const TCustomInstall& engine) {
  std::vector<std::string> missing;
  for (int i = 0; i < InstallFiles().Count(); ++i) {
    const TCustomInstallFile& file = *InstallFiles().Items(i);
    if (!included(file)) continue;
    const std::string name = file.SourcePath(), onDisk = SourceFileOnDisk(name);
    if (!platform::fileExists(onDisk))
      missing.push_back(describe(file) + ": the source file " + name +
                        (onDisk == name ? std::string() : " (" + onDisk + ")") + " does not exist");
    // Without an archive the file would be written over the build directory itself.
    if (!file.Net() && !file.ArchiveFileType() && Trim(file.ArchiveFile()).empty())
      missing.push_back(describe(file) + ": no archive (set ArchiveFileType = psContainerArchiveFile, or ArchiveFile)");
  }
  for (int i = 0; i < engine.PresetupFiles()->Count(); ++i) {
    const std::string name = (*engine.PresetupFiles())[i], onDisk = SourceFileOnDisk(name);
    if (!platform::fileExists(onDisk))
      missing.push_back(engine.Name() + ".PresetupFiles: the file " + name +
                        (onDisk == name ? std::string() : " (" + onDisk + ")") + " does not exist");
  }
  if (missing.empty()) return;
  std::string message = "Nothing was built: ";  // every problem, not just the first
  for (size_t i = 0; i < missing.size(); ++i) message += (i ? "; " : "") + missing[i];
  throw EFOpenError(message);
}

void checkKit(const TCustomInstall& engine, const std::string& kitDir) {
  if (kitDir.empty())
    throw EFOpenError(
        "No kit folder: setup.exe is neither beside kestrune-script nor in ../share/kestrune/kit; give the folder "
        "of the Windows kit (where setup.exe and %s are) with --kit DIR", {std::string(kLoaderProgram)});
  if (!platform::fileExists(join(kitDir, kSetupProgram)))
    throw EFOpenError("The kit folder %s has no %s", {kitDir, std::string(kSetupProgram)});
  if (engine.UseLoadingProgram() && !platform::fileExists(join(kitDir, kLoaderProgram)))
    throw EFOpenError("The kit folder %s has no loader %s (the script's %s.UseLoadingProgram is True)",
                      {kitDir, std::string(kLoaderProgram), engine.Name()});
}

}  // namespace

std::string DefaultKitDirectory() {
  const std::string bin = RemoveBackslash(ExtractFileDir(platform::moduleFileName()));
  for (const std::string& dir : {bin, join(ExtractFileDir(bin), "share/kestrune/kit")})
    if (platform::fileExists(join(dir, kSetupProgram))) return dir;
  return {};
}

void BuildDistribution(const std::string& script, const std::string& outDir, const std::string& kitDir) {
  if (platform::fileExists(outDir)) throw EFCreateError("The output %s is a file, not a folder", {outDir});
  const engine::ScriptFile file = engine::OpenScriptFile(script);
  std::unique_ptr<engine::TfrmMain> form = engine::LoadScript(file);
  TCustomInstall* engine = engine::FindEngine(*form);
  if (!engine)
    throw EFOpenError("The script \"%s\" has no install engine (a TInstall or TCustomInstall component); "
                      "there is nothing to build", {script});
  SetSourceFolder(RemoveBackslash(ExtractFileDir(absolute(script))));
  checkKit(*engine, kitDir);
  checkSources(*engine);

  // The setup program that carries the script, then the distribution, each in a folder of
  // its own, so that the build directory gets only what -b puts there.
  Workspace programDir, work(absolute(RemoveBackslash(outDir)));
  const std::string buildDir = work.path();
  const std::string program = join(programDir.path(), kSetupProgram);
  // A licence file the script names is read now and carried in the script.
  const std::vector<uint8_t> made = SetupProgramWithScript(
      join(kitDir, kSetupProgram), ScriptWithLicense(file.stream, *engine, ExtractFilePath(absolute(script))));
  try {
    platform::writeWholeFile(program, made.data(), made.size());
  } catch (const platform::PlatformError& e) {
    FailWrite(program, e);
  }
  engine->Build(program, buildDir, true, kitDir);
  try {
    moveTree(buildDir, RemoveBackslash(outDir));
  } catch (const platform::PlatformError& e) {
    throw EFCreateError("Cannot move the distribution into %s: %s", {outDir, e.Message()});
  }
}

}  // namespace kestrune::tools
