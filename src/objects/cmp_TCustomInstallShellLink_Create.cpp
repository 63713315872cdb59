// Creating shortcuts during the run: shell links through the shell's link object,
// Internet shortcuts as small INI files, Program Manager items over DDE; and the
// shortcut's line in the uninstall entry.
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TProgramManager.h"
#include "objects/cmp_TUninstallEXE.h"
#include "objects/engine_seam.h"
#include "objects/routines_MetaVariables.h"
#include "objects/uninstall_entry.h"
#include "paths/routines_ExpandPaths.h"
#include "platform/files.h"
#include "platform/shell_link.h"
#include "platform/text.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

const char* const kBlankName = "The LinkName is blank for %s and therefore could not be installed";

// COM is initialised once for the process's (single) thread and stays so until it ends.
bool comInitialised = false;

// The text for a failed link call's result code.
std::string resultText(long code) {
  switch (static_cast<unsigned long>(code)) {
    case 0x8000FFFFul: return "Indicates an unexpected error occurred";  // E_UNEXPECTED
    case 0x80040110ul: return "Indicates this class cannot be created as part of an aggregate";  // CLASS_E_NOAGGREGATION
    case 0x80040154ul:  // REGDB_E_CLASSNOTREG
      return "Indicates that a specified class is not registered in the registration database";
    case 0x8007000Eul: return "Out of memory";  // E_OUTOFMEMORY
    case 0x80070057ul: return "Indicates one or more arguments are invalid";  // E_INVALIDARG
    default: return platform::systemMessage(code);
  }
}

}  // namespace

void TCustomInstallShellLink::InitializeShellLink() {
  if (comReady_) return;
  if (!comInitialised) {
    const long result = platform::initializeCom();
    if (result != 0 && result != 1)
      throw IEInstallShellLink("Could not initialize IShellLink with following error code returned: %d",
                               {static_cast<long long>(result)});
    comInitialised = true;
  }
  comReady_ = true;
}

void TCustomInstallShellLink::ProcessHelpers() {
  created_ = false;
  startsUninstaller_ = false;
  if (Trim(linkName_).empty()) throw IEInstallShellLink(kBlankName, {Name()});
  if (objectLink_) {
    // A target excluded from this run gets no shortcut; its line is still written.
    if (!objectLink_->Processed()) return;
    if (objectLink_->Is<TUninstallEXE>()) {
      IInstallEngine* engine = CurrentEngine();
      if (!engine) throw IEInstallShellLink("%s cannot perform operation because there is no TInstall component", {Name()});
      parameters_ = engine->EngineProductName();
      startsUninstaller_ = true;
    } else if (objectLink_->Is<TCustomShellLinkGroup>()) {
      CreateDirectories(objectLink_->GetDestDir());
    }
  }
  if (UpperCase(ExtractFileExt(linkName_)) == ".URL") {
    CreateInternetShortcut();
  } else {
    switch (method_) {
      case TMethodType::mtShellLinkInterface: CreateShellLink(); break;
      case TMethodType::mtProgramManager: CreateProgramManagerItem(); break;
      case TMethodType::mtAutoDetect: {
        const int platformClass = GetWindowsPlatform();
        if (platformClass == wpWindows95 || platformClass == wpWindowsNT) CreateShellLink();
        else CreateProgramManagerItem();
        break;
      }
    }
  }
  TInstallContainer::ProcessHelpers();
}

void TCustomInstallShellLink::CreateShellLink() {
  InitializeShellLink();
  CreateDirectories(RemoveBackslash(GetDestDir()));
  platform::ShellLinkData data;
  data.arguments = arguments();
  data.path = GetObjectLocation();
  data.workingDirectory = RemoveBackslash(ExtractFileDir(data.path));
  data.hotKey = hotKey_;
  try {
    platform::saveShellLink(data, LinkPath());
    created_ = true;
  } catch (const platform::ComCreateError& e) {
    // The link object itself could not be made: the system's own error.
    throw EOSError(resultText(e.Result()).empty() ? e.Message() : resultText(e.Result()));
  } catch (const platform::ComError& e) {
    throw IEInstallShellLink(
        "The TCustomInstallShellLink %s name could not be installed. The following error was reported %s. Error code %d",
        {Name(), TranslateMessage(resultText(e.Result())), static_cast<long long>(e.Result())});
  } catch (const platform::PlatformError& e) {
    throw IEInstallShellLink("The TCustomInstallShellLink %s name could not be installed. The following error was reported %s",
                             {Name(), e.Message()});
  }
}

void TCustomInstallShellLink::CreateInternetShortcut() {
  const std::string path = LinkPath();
  // The folder of the file itself: a name made from a URL may hold a slash.
  CreateDirectories(ExtractFileDir(path));
  const std::string text = platform::ToAnsi("[InternetShortcut]\r\nURL=" + objectLocation_ + "\r\n");
  platform::writeWholeFile(path, text.data(), text.size());
  created_ = true;
}

void TCustomInstallShellLink::CreateProgramManagerItem() {
  if (!destDirType_ || !destDirType_->Is<TpsProgramMenu>()) return;
  const std::string group = Trim(ExtractFileName(RemoveBackslash(GetDestDir())));
  if (group.empty()) throw IEInstallShellLink(kBlankName, {Name()});
  TProgramManager& manager = ProgramManager();
  manager.CreateGroup(group);
  const std::string item = ChangeFileExt(linkName_, "");
  if (manager.FindItem(item) > 0) manager.ReplaceItem(item);
  const std::string target = GetObjectLocation();
  manager.AddItem("\"" + target + "\" " + arguments(), item, "", "\"" + RemoveBackslash(ExtractFileDir(target)) + "\"", 0, "");
  created_ = true;
}

// The uninstaller takes everything after its own path as the product name, so the name
// goes as it is: a "%" in it is no meta variable.
std::string TCustomInstallShellLink::arguments() const {
  return startsUninstaller_ ? parameters_ : ExpandMetaVariables(parameters_, this);
}

void TCustomInstallShellLink::WriteUninstallInfo(const std::string& key) {
  AppendUninstallFileLine(key, LinkPath(), created_);
}

}  // namespace kestrune
