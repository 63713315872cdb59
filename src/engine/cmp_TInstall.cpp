// The engine: creation, published properties, command line, loading and the main form hook.
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "archive/cmp_TKstrCompress.h"

#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/published_props.h"
#include "objects/run_log.h"
#include "objects/run_state.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/platform_error.h"
#include "platform/system.h"
#include "platform/ui_app.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/params.h"
#include "runtime/published.h"
#include "runtime/seams.h"
#include "runtime/sysutils.h"
#include "translation/cmp_TTranslator.h"
#include "ui/application.h"
#include "ui/forms.h"

namespace kestrune {


namespace {

// The windows' quiet check is the run state's (see ui::Quiet), from before the first window.
[[maybe_unused]] const bool kQuietCheckSet = (SetQuietCheck(&QuietRun), true);

// The containers' hourglass shows through the application's screen cursor.
int setApplicationCursor(int cursor) {
  if (!ui::Application) return crDefault;
  int previous = ui::Application->Cursor();
  ui::Application->SetCursor(cursor);
  return previous;
}
}

const EnumType& EnumTypeInfo(TInstallMode) {
  static constexpr std::string_view values[] = {"imBuild", "imFloppies", "imDebug", "imSelfExtractor", "imAfterReboot",
      "imSourceDir", "imCleanup", "imLog", "imQuiet", "imHelp"};
  static constexpr EnumType t{"TInstallMode", values};
  return t;
}

const ClassInfo& TCustomInstall::classInfo() {
  static const ClassInfo info{"TCustomInstall", &TFileContainer::classInfo(), nullptr, {}};
  return info;
}

const ClassInfo& TInstall::classInfo() {
  // The install object's and file containers' properties but Container, the destination's
  // (redeclared below with the engine's defaults), InstallTypes and AllowChoice. The
  // constructor gives both bases a specifier: a script that clears one must say so, so
  // DestDirType and ArchiveFileType are always stored.
  using I = TCustomInstall;
  static constexpr PropInfo props[] = {
      prop<&TInstallContainer::Include, &TInstallContainer::SetInclude>("Include").Default(1),
      prop<&TInstallContainer::Order, &TInstallContainer::SetOrder>("Order"),
      eventProp("OnBeforeProcess"),
      eventProp("OnAfterProcess"),
      prop<&TFileRelated::AddToArchive, &TFileRelated::SetAddToArchive>("AddToArchive").Default(0),
      prop<&TFileRelated::ArchiveFile, &TFileRelated::SetArchiveFile>("ArchiveFile"),
      prop<&TFileRelated::ArchiveFileType, &TFileRelated::SetArchiveFileType>("ArchiveFileType").AlwaysStored(),
      prop<&TFileRelated::NetLocation, &TFileRelated::SetNetLocation>("NetLocation"),
      eventProp("OnDataReceived"),
      prop<&TFileContainer::AllowChangeDir, &TFileContainer::SetAllowChangeDir>("AllowChangeDir").Default(1),
      prop<&TFileContainer::Description>("Description"),
      eventProp("OnBeforeInstallObjects"),
      eventProp("OnAfterInstallObjects"),
      eventProp("OnStatus"),
      eventProp("OnNewDisk"),
      eventProp("OnReplacing"),
      prop<&TInstallContainer::DestDir, &TInstallContainer::SetDestDir>("DestDir").DefaultStr("\\MyApplication"),
      prop<&TInstallContainer::DestDirType, &TInstallContainer::SetDestDirType>("DestDirType").AlwaysStored(),
      prop<&TInstallContainer::InstallTypes, &TInstallContainer::SetInstallTypes>("InstallTypes")
          .Default(TInstallTypes{TInstallType::itAlways}.Bits()),
      prop<&TFileContainer::GroupName, &TFileContainer::SetGroupName>("GroupName").DefaultStr("Main"),
      prop<&I::AutoMaximizeWindow, &I::SetAutoMaximizeWindow>("AutoMaximizeWindow").Default(1),
      prop<&I::BuildInfo>("BuildInfo"),
      prop<&I::DialogThemeBitmap>("DialogThemeBitmap"),
      prop<&I::DistributeType, &I::SetDistributeType>("DistributeType").Default(0),
      prop<&I::HideMainForm, &I::SetHideMainForm>("HideMainForm"),
      prop<&I::Information>("Information"),
      prop<&I::LicenseFile, &I::SetLicenseFile>("LicenseFile"),
      prop<&I::LicenseText>("LicenseText"),
      prop<&I::PresetupFiles>("PresetupFiles"),
      prop<&I::Reboot, &I::SetReboot>("Reboot"),
      prop<&I::RunAutomatic, &I::SetRunAutomatic>("RunAutomatic").Default(1),
      prop<&I::UseLoadingProgram, &I::SetUseLoadingProgram>("UseLoadingProgram"),
      eventProp("OnAfterInitialized"),
      eventProp("OnAfterNotifyBadInstall"),
      eventProp("OnAfterNotifyGoodInstall"),
      eventProp("OnAfterReadArchiveInfo"),
      eventProp("OnBeforeNotifyBadInstall"),
      eventProp("OnBeforeNotifyGoodInstall"),
      eventProp("OnBeforeReadArchiveInfo"),
      eventProp("OnBeforeReboot"),
      eventProp("OnBeforeRunFile"),
      eventProp("OnBeforeShutdown"),
      eventProp("OnBeforeCleanup"),
      eventProp("OnFailedReboot"),
      eventProp("OnUserAbort")};
  static const ClassInfo info{"TInstall", &TCustomInstall::classInfo(), create<TInstall>, props};
  return info;
}

TCustomInstall::TCustomInstall(TComponent* owner)
    : TFileContainer(owner),
      buildInfo_(new TBuildInfo),
      dialogThemeBitmap_(new TPicture),
      information_(new TInstallInformation),
      presetupFiles_(new TStringList) {
  auto fail = [this](const std::string& message) {
    delete buildInfo_;
    delete dialogThemeBitmap_;
    delete information_;
    delete presetupFiles_;
    buildInfo_ = nullptr;
    dialogThemeBitmap_ = nullptr;
    information_ = nullptr;
    presetupFiles_ = nullptr;
    throw IEInstall(message);
  };
  if (CurrentEngine() && CurrentEngine() != this)
    fail("The TInstall component does not currently support the use of 2 TInstall components in the same project");
  if (!owner || !owner->IsFormOrDataModule())
    fail("The owner of the TInstall component must be a form class (a TForm or TDataModule descendant)");
  if (std::vector<uint8_t> bmp = LoadThemeBitmap(); !bmp.empty()) dialogThemeBitmap_->SetGraphic("TBitmap", std::move(bmp));
  runAutomatic_ = true;
  useLoadingProgram_ = true;
  archiveFileType_ = FindStandardSpecifier<TpsMainArchiveFile>();
  archiveFile_.clear();
  distributeType_ = TDistributeType::dtTraditional;
  autoMaximizeWindow_ = true;
  destDirType_ = FindStandardSpecifier<TpsProgramFiles>();
  destDir_ = "\\MyApplication";
  allowChoice_ = false;
  allowChangeDir_ = true;
  groupName_ = "Main";
  SetCurrentEngine(this);
  SetContainerCursorSetter(&setApplicationCursor);
  // The question for another disk, when a file's extraction needs one, as a message box
  // with OK and Cancel.
  SetDiskPrompt([](const std::string& text) { return ui::Application && ui::Application->MessageBox(text, "", 0x41) == 1; });
  if (ui::Application)
    ui::Application->OnException = [this](TComponent*, const std::exception& e) { HandleInstallException(e); };
}

TCustomInstall::~TCustomInstall() {
  if (runForm_ && hookedActivate_ && !runForm_->IsDestroying()) runForm_->OnActivate = savedOnActivate_;
  if (CurrentEngine() == this) SetCurrentEngine(nullptr);
  if (ui::Application) ui::Application->OnException = nullptr;
  if (pendingBatch_ && !pendingBatchFile_.empty()) {
    try {
      platform::startProcess("\"" + pendingBatchFile_ + "\"", {{}, platform::ShowMode::Hidden, false});
    } catch (const Exception&) {
    }
  }
  delete buildInfo_;
  delete dialogThemeBitmap_;
  delete information_;
  delete presetupFiles_;
}

void TCustomInstall::Notification(TComponent* component, TOperation operation) {
  TFileContainer::Notification(component, operation);
  if (operation == TOperation::opRemove && component == runForm_) {
    runForm_ = nullptr;
    hookedActivate_ = false;
  }
  if (operation == TOperation::opRemove && component && component == CurrentNetLocation()) SetCurrentNetLocation(nullptr);
}

// ---- properties ----

void TCustomInstall::SetAutoMaximizeWindow(bool value) {
  autoMaximizeWindow_ = value;
  if (value && !IsLoading()) hideMainForm_ = false;
}

void TCustomInstall::SetHideMainForm(bool value) {
  hideMainForm_ = value;
  if (value && !IsLoading()) autoMaximizeWindow_ = false;
}

void TCustomInstall::SetDistributeType(TDistributeType value) {
  if (!IsLoading()) throw IEInstall("DistributeType can only be set at design-time");
  distributeType_ = value;
}

std::string TCustomInstall::EngineLanguage() const {
  const translation::TTranslator* translator = translation::MainTranslator();
  const translation::TLanguage* target = translator ? translator->TargetLanguage() : nullptr;
  if (!target || target->StringElements().empty()) return {};
  const auto names = EnumTypeInfo(target->LanguageIdent()).values;
  const auto index = static_cast<size_t>(target->LanguageIdent());
  if (index >= names.size()) return {};
  return std::string(names[index].substr(2));  // without "kl"
}

std::vector<std::string> TCustomInstall::EngineLicenseText() const {
  std::vector<std::string> lines;
  for (int i = 0; i < licenseText_->Count(); ++i) lines.push_back((*licenseText_)[i]);
  return lines;
}

void TCustomInstall::SetPresetupFiles(const TStrings& value) {
  TStringList cleaned;
  for (int i = 0; i < value.Count(); ++i)
    if (!Trim(value[i]).empty()) cleaned.Add(value[i]);
  presetupFiles_->Assign(cleaned);
}

void TCustomInstall::SetUseLoadingProgram(bool value) {
  useLoadingProgram_ = value;
  if (value && !IsLoading()) {
    archiveFileType_ = FindStandardSpecifier<TpsMainArchiveFile>();
    archiveFile_.clear();
  }
}

void TCustomInstall::SetNetLocation(TCustomNetInstallLocation* value) {
  TFileContainer::SetNetLocation(value);
  SetCurrentNetLocation(value);
  if (!value && !IsLoading()) distributeType_ = TDistributeType::dtTraditional;
}

void TCustomInstall::AddPresetupFile(const std::string& path, bool check) {
  if (check) {
    std::string name = ExtractFileName(path);
    for (int i = 0; i < presetupFiles_->Count(); ++i)
      if (SameText(ExtractFileName((*presetupFiles_)[i]), name)) return;
  }
  presetupFiles_->Add(path);
}

// ---- command line and loading ----

namespace {

// The switch a parameter names (-? and -h both ask for the usage), or -1.
int switchOf(const std::string& p) {
  static const char kLetters[] = "BFDERSCLQ";
  if (p.size() < 2 || p[0] != '-') return -1;
  const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(p[1])));
  if (c == '?' || c == 'H') return static_cast<int>(TInstallMode::imHelp);
  for (int m = 0; kLetters[m]; ++m)
    if (kLetters[m] == c) return m;
  return -1;
}

}  // namespace

bool TCustomInstall::QuietRequested() {
  for (int i = 1; i <= ParamCount(); ++i)
    if (switchOf(ParamStr(i)) == static_cast<int>(TInstallMode::imQuiet)) return true;
  return false;
}

const char* TCustomInstall::CommandLineUsage() {
  return "Usage: setup [switches]. Without a switch the program installs through its wizard.\n\n"
         "-b\tBuild the distribution into the folder named in BUILD.INF\n"
         "-f\tTransfer the distribution to floppies\n"
         "-d\tDebug a distribution built before (needs -s)\n"
         "-eNAME\tCalled by the self-extractor NAME\n"
         "-r\tAfter reboot: finish the installation\n"
         "-sDIR\tTake the setup files from the directory DIR\n"
         "-c\tClean up the self-extractor's temporary folder at the end\n"
         "-lPATH\tWrite a log of the run to PATH\n"
         "-q\tQuiet: install with the defaults, show no window (errors in the exit code and the log)\n"
         "-? or -h\tShow this help";
}

void TCustomInstall::ParseCommandLine() {
  modes_ = TInstallModes{};
  for (auto& v : modeValues_) v.clear();
  SetQuietRun(QuietRequested());
  for (int i = 1; i <= ParamCount(); ++i) {
    std::string p = ParamStr(i);
    const int member = switchOf(p);
    if (member < 0)
      throw IEInvalidParameter(
          "Invalid parameter <%s>. Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer to floppies), "
          "-e (Called by self-extractor), -r (After reboot)",
          {p});
    modes_.Include(static_cast<TInstallMode>(member));
    modeValues_[member] = p.substr(2);
  }
}

std::string TCustomInstall::GetSourceDirectory() { return RemoveBackslash(ExtractFileDir(platform::moduleFileName())); }

std::string TCustomInstall::GetSetupFileName() const {
  if (modes_.Contains(TInstallMode::imSelfExtractor))
    return AddBackslash(sourceDirectory_) + ModeValue(TInstallMode::imSelfExtractor);
  if (useLoadingProgram_) return AddBackslash(sourceDirectory_) + ParamStr(2);
  return platform::moduleFileName();
}

void TCustomInstall::Loaded() {
  TFileContainer::Loaded();
  ParseCommandLine();
  if (modes_.Contains(TInstallMode::imHelp)) {
    // The application's message box stays silent under -q.
    if (ui::Application) {
      ui::Application->MessageBox(CommandLineUsage(), "", platform::ui::mbOk | platform::ui::mbIconInformation);
      ui::Application->Terminate();
    }
    return;
  }
  if (modes_.Contains(TInstallMode::imDebug) &&
      (!modes_.Contains(TInstallMode::imSourceDir) || Trim(ModeValue(TInstallMode::imSourceDir)).empty()))
    throw IEInstallCommandLine(
        "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d \"-sC:\\My Build\"");
  sourceDirectory_ = modes_.Contains(TInstallMode::imSourceDir) ? ModeValue(TInstallMode::imSourceDir) : GetSourceDirectory();
  if (modes_.Contains(TInstallMode::imLog)) {
    const std::string path = Trim(ModeValue(TInstallMode::imLog));
    if (path.empty()) throw IEInstallCommandLine("The log switch needs the log file's name: -lPATH");
    try {
      OpenRunLog(path);
    } catch (const platform::PlatformError& e) {
      throw IEInstallCommandLine("The log file %s cannot be written: %s", {path, std::string(e.what())});
    }
    RunLog("Setup of " + information_->ProductName + " " + information_->Version + " started");
  }
  SetInstallRecordKey(FindInstallRecord(false));
  std::string local;
  if (FindLocalFile(local)) localArchiveFile_ = local;

  runForm_ = ui::Application ? ui::Application->MainForm() : nullptr;
  if (!runForm_ && Owner()) runForm_ = dynamic_cast<ui::TCustomForm*>(Owner());
  if (!runForm_ && runAutomatic_)
    throw IEInstall(
        "Application.MainForm is undefined and the TInstall is not on a form. Therefore, therefore the TInstall can't run "
        "the installation automatically");
  if (runForm_) runForm_->FreeNotification(this);

  SetCurrentInstallType(TInstallType::itAlways);
  for (TInstallType t : {TInstallType::itDefault, TInstallType::itCompact, TInstallType::itFull, TInstallType::itCustom})
    if (InstallTypes().Contains(t)) {
      SetCurrentInstallType(t);
      break;
    }

  if (modes_.Contains(TInstallMode::imBuild)) {
    BuildFromBuildInf(*this);
    if (ui::Application) ui::Application->Terminate();
  } else if (modes_.Contains(TInstallMode::imFloppies)) {
    TransferToFloppies(*this, "a:");
    if (ui::Application) ui::Application->Terminate();
  } else if (modes_.Contains(TInstallMode::imAfterReboot)) {
    CompleteAfterReboot();
  } else if (runForm_) {
    savedOnActivate_ = runForm_->OnActivate;
    runForm_->OnActivate = [this](TComponent* sender) { MainFormActivate(sender); };
    hookedActivate_ = true;
    if (hideMainForm_) {
      runForm_->SetLeft(-2 * runForm_->Width());
      runForm_->SetTop(-2 * runForm_->Height());
    }
  }
  // An unattended start that runs nothing from the main form (a resume after a restart)
  // ends with what it did.
  if (QuietRun() && !hookedActivate_ && ui::Application) ui::Application->Terminate();
}

void TCustomInstall::MainFormActivate(TComponent* sender) {
  if (started_) return;
  if (savedOnActivate_) savedOnActivate_(sender);
  started_ = true;
  if (runForm_ && autoMaximizeWindow_) {
    runForm_->SetWindowState(ui::TWindowState::wsMaximized);
    runForm_->Repaint();
  }
  // An unattended run starts whatever RunAutomatic says (nobody could start it) and ends
  // the program with its run (nobody could close a window).
  if (!runAutomatic_ && !QuietRun()) return;
  if (runForm_ && !runForm_->IsDestroying() && hookedActivate_) {
    runForm_->OnActivate = savedOnActivate_;
    hookedActivate_ = false;
  }
  struct EndQuietRun {
    ~EndQuietRun() {
      if (QuietRun() && ui::Application) ui::Application->Terminate();
    }
  } endQuiet;
  Process();
}

bool TCustomInstall::ConfirmUserAbort() {
  bool flag = true;
  if (OnUserAbort) OnUserAbort(this, flag);
  return flag;
}

bool TCustomInstall::Shutdown() {
  bool flag = true;
  if (OnBeforeShutdown) OnBeforeShutdown(this, flag);
  if (flag && ui::Application) ui::Application->Terminate();
  return flag;
}

void TCustomInstall::Compress(TCompressOptions options) {
  for (int i = 0; i < InstallFiles().Count(); ++i) {
    InstallFiles().Items(i)->SetCompressedMark(0);
    InstallFiles().Items(i)->SetNetArchiveMark(false);
  }
  // The walk adds one file per call; the shared archive stays open from file to file, and
  // the files to come are compressed ahead while the walk writes and reports each one.
  TKstrCompress::ArchiveHold hold(SharedArchiveEngine());
  std::vector<std::string> plan;
  CompressPlan(plan, options.Contains(TCompressOption::coIncludeAll));
  TKstrCompress::CompressAhead ahead(SharedArchiveEngine(), plan);
  TFileContainer::Compress(options);
}

void registerEngineClasses(ClassRegistry& registry) { registry.Register(TInstall::classInfo()); }

}  // namespace kestrune
