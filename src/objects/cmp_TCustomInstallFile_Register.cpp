// Install files: replacing a destination that is in use, and tying the installed file
// into the system (help registry, shared-DLL counters, ActiveX registration).
#include <optional>

#include "archive/archive_names.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/engine_seam.h"
#include "objects/run_log.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/registration.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/version_api.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

const char* const kDestBlank =
    "Cannot compress,copy, or install the following file because it's destination directory is blank. File is :%s";
constexpr std::string_view kSharedDLLsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr std::string_view kHelpKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";
// Numbered names tried for a file that waits beside its destination in use.
constexpr int kWaitingNames = 9999;

// The current directory changed for a registration and put back afterwards; failures of
// either change are of no consequence to the registration.
class DirectoryScope {
 public:
  explicit DirectoryScope(const std::string& dir) {
    try {
      saved_ = platform::currentDirectory();
      platform::setCurrentDirectory(dir);
    } catch (const platform::PlatformError&) {
    }
  }
  ~DirectoryScope() {
    try {
      if (!saved_.empty()) platform::setCurrentDirectory(saved_);
    } catch (const platform::PlatformError&) {
    }
  }

 private:
  std::string saved_;
};

}  // namespace

// ---- post-install steps ----

void TCustomInstallFile::PostInstallSteps() {
  if (registerAsHelp_) {
    WriteRegistryString(rkLocalMachine, kHelpKey, UpperCase(destName_), GetDestDir());
    RunLog("Registered as help: " + DestPath());
  }
  if (updateDLLCounter_ && !IncrementSharedDLLCount())
    throw IECustomInstallFile("Cannot update the DLL count for the following file :%s:", {fileName_});
  if (updateDLLCounter_) RunLog("Shared DLL counted: " + DestPath());
  IInstallEngine* engine = CurrentEngine();
  if (needsReboot_ && engine) {
    engine->EngineAddUnfinished(Name(), 0);
    return;
  }
  if (!activeX_) return;
  try {
    RegisterActiveX();
    RunLog("Registered ActiveX server: " + DestPath());
  } catch (const EAbort&) {
    throw;
  } catch (const Exception&) {
    // During the run a failed registration is tried again at its end.
    if (!engine || !engine->EngineInstalling()) throw;
    if (!FailedRegistrations().Contains(this)) FailedRegistrations().Add(this);
  }
}

// ---- a destination in use ----

void TCustomInstallFile::ReleaseDestination() { releaseDestination(true); }

// The destination is not deleted here: the archive engine writes the new file under a
// temporary name and renames it over the destination only when it is complete, so a failed
// or killed installation leaves the old file whole. What is found out here is whether it
// could be replaced; one that could not (in use) is handled as before. The install step
// has just looked for the destination: one found missing there is not looked at again.
void TCustomInstallFile::releaseDestination(bool mayExist) {
  if (OnReplacing) OnReplacing(this);
  CallExternalComponents(this, cc::Replacing, this);
  report(ev::FileReplacing, this);
  installIt_ = true;
  if (!mayExist) return;
  const std::string dest = DestPath();
  if (platform::fileReplaceable(dest)) return;

  needsReboot_ = true;
  const std::string dir = AddBackslash(GetDestDir());
  std::string candidate;
  for (int n = 1; n <= kWaitingNames; ++n) {
    std::string name = ChangeFileExt(destName_, "." + std::to_string(n));
    if (!platform::fileExists(dir + name)) {
      candidate = name;
      break;
    }
  }
  if (candidate.empty())
    throw IECustomInstallFile("%s cannot register a routine in the register to move the files after the computer is reboot",
                              {Name()});
  finalDestName_ = destName_;
  destName_ = candidate;
  const std::string busy = GetShortPath(dest);
  const std::string waiting = ExtractFilePath(busy) + candidate;
  scheduleReplacement(busy, waiting, dir + candidate);
}

void TCustomInstallFile::scheduleReplacement(const std::string& busy, const std::string& waiting,
                                             const std::string& waitingLong) {
  IInstallEngine* engine = CurrentEngine();
  if (GetWindowsPlatform() == wpWindows95) {
    try {
      platform::writeProfileString(AddBackslash(GetWindowsDir()) + "WININIT.INI", "Rename", busy, waiting);
    } catch (const platform::PlatformError&) {
      throw IECustomInstallFile(
          "%s cannot register a routine in the register to move the files after the computer is reboot", {Name()});
    }
    if (engine) engine->EngineSetReboot();
    return;
  }
  if (engine) engine->EngineSetReboot();
  try {
    MoveAfterReboot(waitingLong, AddBackslash(GetDestDir()) + finalDestName_.str());
    return;
  } catch (const Exception&) {
    if (!engine) return;
  }
  // Without the delayed move a batch file run once at the next start does the same.
  std::string batch = ChangeFileExt(MakeTempFileName(false), ".bat");
  {
    platform::PendingFile out(batch);
    // Both lines only when the waiting file is there: an installation that failed or was
    // killed before the new file was complete must not cost the old one at the next start.
    const std::string guard = "if exist " + waiting + " ";
    std::string text = guard + "erase " + busy + "\r\n" + guard + "move " + waiting + " " + busy + "\r\n";
    std::string ansi = platform::ToAnsi(text);
    out.writeAll(ansi.data(), ansi.size());
    out.commit();
  }
  engine->EngineAddUnfinished(batch, 1);
  if (!AddRunOnce("KestruneBatFile", batch, true))
    throw IECustomInstallFile("%s cannot register a routine in the register to move the files after the computer is reboot",
                              {Name()});
}

// ---- shared DLLs ----

bool TCustomInstallFile::IncrementSharedDLLCount() {
  std::optional<platform::RegKey> key;
  try {
    key.emplace(platform::RegKey::create(platform::RegRoot::LocalMachine, kSharedDLLsKey));
  } catch (const platform::PlatformError& e) {
    throw IECustomInstallFile("Could not open the key SharedDLLs key in the registry. File component %s. GetLastError return: %d",
                              {Name(), static_cast<long long>(e.Code())});
  }
  const std::string longPath = DestPath();
  const std::string shortPath = GetShortPath(longPath);
  // A counter that cannot be read counts as none; one that cannot be written is a count
  // not updated, which the caller reports with the file's name.
  auto readCount = [&](const std::string& name) -> std::optional<uint32_t> {
    try {
      return key->tryReadDword(name);
    } catch (const platform::PlatformError&) {
      return std::nullopt;
    }
  };
  try {
    if (std::optional<uint32_t> count = readCount(shortPath)) {
      key->writeDword(shortPath, *count + 1);
      countedBefore_ = *count > 0;
    } else {
      const uint32_t before = readCount(longPath).value_or(0);
      key->writeDword(longPath, before + 1);
      countedBefore_ = before > 0;
    }
  } catch (const platform::PlatformError&) {
    return false;
  }
  return true;
}

// ---- ActiveX ----

void TCustomInstallFile::RegisterActiveX() {
  if (UpperCase(ExtractFileExt(fileName_)) == ".EXE") RegisterExeServer();
  else RegisterDllServer();
}

void TCustomInstallFile::RegisterDllServer() {
  const std::string path = DestPath();
  if (Trim(GetDestDir() + destName_).empty() || !platform::fileExists(path)) throw IECustomInstallFile(kDestBlank, {Name()});
  platform::DllRegisterResult result;
  {
    DirectoryScope directory(GetDestDir());
    result = platform::callDllRegisterServer(path);
  }
  switch (result.outcome) {
    case platform::DllRegisterOutcome::Registered: return;
    case platform::DllRegisterOutcome::LoadFailed:
      throw IECustomInstallFile(
          "Could not register the ActiveX component, %s, because the LoadLibrary(%s) procedure returned a value of 0. The "
          "file component is %s. The following value is the value of the GetLastError function: %d",
          {path, path, Name(), static_cast<long long>(result.code)});
    case platform::DllRegisterOutcome::NoEntryPoint:
      throw IECustomInstallFile(
          "Could not register the ActiveX component, %s, because the DllRegisterServer function could not be found. The "
          "file component is %s. The following value is the value of the GetLastError function: %d",
          {path, Name(), static_cast<long long>(result.code)});
    case platform::DllRegisterOutcome::Refused:
      throw IECustomInstallFile(
          "Could not register the ActiveX component, %s, because the DllRegisterServer function returned a value of %d. "
          "The file component is %s",
          {path, static_cast<long long>(result.code), Name()});
  }
}

void TCustomInstallFile::RegisterExeServer() {
  const std::string path = DestPath();
  if (Trim(GetDestDir() + destName_).empty() || !platform::fileExists(path)) throw IECustomInstallFile(kDestBlank, {Name()});
  DirectoryScope directory(GetDestDir());
  // Quoted, so that a path with blanks names the program and not its first word.
  const std::string program = path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
  try {
    platform::ProcessOptions options;
    options.show = platform::ShowMode::Hidden;
    platform::startProcess(program + " /REGSERVER", options);
  } catch (const platform::PlatformError& e) {
    throw IECustomInstallFile(
        "Could not register the ActiveX component, %s, because the WinExec(%s,SW_HIDE) function returned a value < 32. "
        "The file component is %s. The following value is the value of the GetLastError function: %d",
        {path, path, Name(), static_cast<long long>(e.Code())});
  }
}

bool TCustomInstallFile::IsSelfRegistering() {
  std::optional<std::vector<uint8_t>> block = platform::ReadVersionInfo(SourceFileOnDisk(SourcePath()));
  if (!block) return false;
  auto translations = platform::versionTranslations(*block);
  if (translations.empty()) return false;
  const std::string key = Format("\\StringFileInfo\\%.4x%.4x\\OLESelfRegister",
                                 {static_cast<long long>(translations[0].first), static_cast<long long>(translations[0].second)});
  return platform::QueryVersionString(*block, key).has_value();
}

}  // namespace kestrune
