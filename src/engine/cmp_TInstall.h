// The engine at the root of the install script: command line and mode, the installation
// run from the main form's first activation to a good or bad ending, the install record,
// unfinished work and the restart.
#pragma once
#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/cmp_TInstallInformation.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "runtime/exceptions.h"
#include "runtime/picture.h"

namespace kestrune {

namespace ui {
class TCustomForm;
}

// The command-line switches, in the order of their letters B F D E R S C L Q, then ? or H.
// imLog (-lPATH): a log of the run in PATH. imQuiet (-q): an unattended run with the
// script's defaults and no window (QuietRun in the run state). imHelp (-? or -h): the usage
// message (CommandLineUsage), and nothing else.
enum class TInstallMode {
  imBuild,
  imFloppies,
  imDebug,
  imSelfExtractor,
  imAfterReboot,
  imSourceDir,
  imCleanup,
  imLog,
  imQuiet,
  imHelp
};
using TInstallModes = TSet<TInstallMode>;

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TUserAbortEvent = std::function<void(TComponent* Sender, bool& Flag)>;
using TBeforeRunFileEvent = std::function<void(TComponent* Sender, TCustomInstallFile* File, bool& Run)>;

// How the last run ended; the setup program's exit code follows from it.
enum class TRunEnding {
  reNone,            // no run has ended (none started, or a build or transfer job)
  reGood,            // the run went through
  reRestartPending,  // the run went through and left work for the resumed run after a restart
  reAborted,         // the user cancelled (or an event raised the silent abort)
  reFailed,          // any other error ended the run
  reBadCommandLine,  // the run stopped because the command line lacks what the script needs
};

// Errors of the command line: an unknown switch, -d without a source directory, or a
// script that needs -s started without it.
KESTRUNE_EXCEPTION(IEInvalidParameter, IException);
KESTRUNE_EXCEPTION(IEInstallCommandLine, IEInstall);

class TCustomInstall : public TFileContainer, public IInstallEngine {
  KESTRUNE_CLASS()
 public:
  // Raises IEInstall when another engine exists or the owner is not a form.
  explicit TCustomInstall(TComponent* owner);
  ~TCustomInstall() override;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Process() override;
  void CompleteAfterReboot() override;
  void SetNetLocation(TCustomNetInstallLocation* value) override;
  void Compress(TCompressOptions options) override;
  void ReadInfoFromArchive() override;

  // Run and record.
  virtual void DeleteInstallRecord();
  virtual void NotifyBadInstall();
  virtual void NotifyGoodInstall();
  // The key path of this setup file's install record; empty when there is none and create
  // is false. Raises IEInstall naming the cause when the program file or the registry
  // fails.
  virtual std::string FindInstallRecord(bool create);
  // Reads the switches into Modes (the quiet one first, so that a bad switch beside -q is
  // not shown either) and sets the run state's QuietRun; raises IEInvalidParameter for an
  // unknown switch.
  virtual void ParseCommandLine();
  // True when the program's command line holds -q: read before the script is, so that an
  // error in reading it is not shown either.
  static bool QuietRequested();
  // The usage message of -? and -h: every switch with what it does.
  static const char* CommandLineUsage();
  // Starts the files marked RunAfterInstall. A file that cannot be started is reported in
  // a message box (none under -q) and the next one is started: the installation itself
  // went through.
  virtual void RunFilesAfterInstall();
  virtual void RegisterResume();
  virtual void AddPresetupFile(const std::string& path, bool check);
  // The application's exception handler: during a run, ends it as bad (EAIUserAbort and
  // EAbort as the user's abort).
  virtual void HandleInstallException(const std::exception& e);
  // Builds the distribution into buildDirectory (engine_Build.cpp). The loader comes from
  // kitDirectory; when that is empty, from the kit directory that FindKitDirectory finds.
  virtual void Build(const std::string& programPath, const std::string& buildDirectory, bool selfExtracting,
                     const std::string& kitDirectory = {});
  // After a run from the loader's temporary copy (-c): removes the pre-setup files and
  // leaves a batch file that removes the copy once the program has ended.
  virtual void CleanupLoadingProgram();
  // setup.1 in buildDirectory: the program, then every pre-setup file.
  virtual void CreateSetupArchive(const std::string& buildDirectory, const std::string& programPath);
  virtual void GetUnfinishedList(TStrings& list);
  virtual bool ConfirmUserAbort();
  virtual void ClearUnfinished();
  virtual void AddUnfinished(const std::string& name, int kind);
  void RebootWindows();
  int32_t ReadSavedLanguage();
  void SaveLanguage();
  bool Shutdown();
  std::string GetSetupFileName() const;
  static std::string GetSourceDirectory();
  void MainFormActivate(TComponent* sender);

  // Mode and state.
  TInstallModes Modes() const { return modes_; }
  const std::string& ModeValue(TInstallMode mode) const { return modeValues_[static_cast<int>(mode)]; }
  const std::string& SourceDirectory() const { return sourceDirectory_; }
  bool Installing() const { return installing_; }
  TRunEnding Ending() const { return ending_; }
  // Set by the modes that end the program without a run (build, floppy transfer).
  void SetEnding(TRunEnding value) { ending_ = value; }
  bool Started() const { return started_; }
  int UnfinishedCount() const { return unfinishedCount_; }
  double RunTimeStamp() const { return runTimeStamp_; }

  // Published properties.
  bool AutoMaximizeWindow() const { return autoMaximizeWindow_; }
  virtual void SetAutoMaximizeWindow(bool value);
  TBuildInfo* BuildInfo() const { return buildInfo_; }
  virtual void SetBuildInfo(const TBuildInfo& value) { buildInfo_->Assign(value); }
  TPicture* DialogThemeBitmap() const { return dialogThemeBitmap_; }
  virtual void SetDialogThemeBitmap(const TPicture& value) { dialogThemeBitmap_->Assign(value); }
  TDistributeType DistributeType() const { return distributeType_; }
  virtual void SetDistributeType(TDistributeType value);
  bool HideMainForm() const { return hideMainForm_; }
  virtual void SetHideMainForm(bool value);
  TInstallInformation* Information() const { return information_; }
  void SetInformation(const TInstallInformation& value) { information_->Assign(value); }
  TStringList* PresetupFiles() const { return presetupFiles_; }
  virtual void SetPresetupFiles(const TStrings& value);
  // The licence agreement: a plain-text or RTF file that make-setup reads into
  // LicenseText, which the licence page shows (a script without either keeps the page's
  // own text, or leaves the page out when it is not the demo's).
  const std::string& LicenseFile() const { return licenseFile_; }
  void SetLicenseFile(const std::string& value) { licenseFile_ = value; }
  TStringList* LicenseText() const { return licenseText_.get(); }
  void SetLicenseText(const TStrings& value) { licenseText_->Assign(value); }
  bool Reboot() const { return reboot_; }
  void SetReboot(bool value) { reboot_ = value; }
  bool RunAutomatic() const { return runAutomatic_; }
  void SetRunAutomatic(bool value) { runAutomatic_ = value; }
  bool UseLoadingProgram() const { return useLoadingProgram_; }
  virtual void SetUseLoadingProgram(bool value);

  // What the install objects consult.
  TFileContainer* EngineContainer() override { return this; }
  std::string EngineProductName() const override { return information_->ProductName; }
  std::string EngineDescription() const override { return information_->Description; }
  std::string EngineVersion() const override { return information_->Version; }
  std::string EngineCompany() const override { return information_->CompanyName; }
  std::vector<std::string> EngineLicenseText() const override;
  std::string EngineLanguage() const override;
  bool EngineRestartNeeded() const override { return unfinishedCount_ > 0 || reboot_; }
  std::string InstallSourceDirectory() const override { return sourceDirectory_; }
  bool CalledBySelfExtractor() const override { return modes_.Contains(TInstallMode::imSelfExtractor); }
  std::string SelfExtractorName() const override { return ModeValue(TInstallMode::imSelfExtractor); }
  TDistributeType EngineDistributeType() const override { return distributeType_; }
  TCustomNetInstallLocation* EngineNetLocation() const override { return NetLocation(); }
  bool EngineInstalling() const override { return installing_; }
  void EngineAddUnfinished(const std::string& name, int kind) override { AddUnfinished(name, kind); }
  void EngineSetReboot() override { reboot_ = true; }
  bool EngineUserAbortAllowed() override {
    bool allowed = true;
    if (OnUserAbort) OnUserAbort(this, allowed);
    return allowed;
  }
  const TPicture* EngineThemeBitmap() const override { return dialogThemeBitmap_; }
  void EngineSetRebootChoice(bool reboot) override { reboot_ = reboot; }

  TNotifyEvent OnAfterInitialized, OnAfterNotifyBadInstall, OnAfterNotifyGoodInstall, OnAfterReadArchiveInfo,
      OnBeforeNotifyBadInstall, OnBeforeNotifyGoodInstall, OnBeforeReadArchiveInfo, OnFailedReboot;
  TUserAbortEvent OnBeforeReboot, OnBeforeShutdown, OnBeforeCleanup, OnUserAbort;
  TBeforeRunFileEvent OnBeforeRunFile;

 protected:
  std::string unfinishedKey() const;
  // Registers again the servers whose registration failed during the run.
  void RegisterFailedServersAgain();
  void checkRecordKey() const;
  void runInstallation();
  void resumeAfterReboot();
  std::string findInstallRecord(bool create);

  TInstallModes modes_;
  std::array<std::string, 10> modeValues_;
  std::string sourceDirectory_;
  bool installing_ = false;
  TRunEnding ending_ = TRunEnding::reNone;
  bool started_ = false;
  bool pendingBatch_ = false;
  std::string pendingBatchFile_;
  int unfinishedCount_ = 0;
  double runTimeStamp_ = 0;
  ui::TCustomForm* runForm_ = nullptr;
  std::function<void(TComponent*)> savedOnActivate_;
  bool hookedActivate_ = false;

  bool autoMaximizeWindow_ = true;
  TBuildInfo* buildInfo_;
  TPicture* dialogThemeBitmap_;
  TDistributeType distributeType_ = TDistributeType::dtTraditional;
  bool hideMainForm_ = false;
  TInstallInformation* information_;
  TStringList* presetupFiles_;
  std::string licenseFile_;
  std::unique_ptr<TStringList> licenseText_ = std::make_unique<TStringList>();
  bool reboot_ = false;
  bool runAutomatic_ = true;
  bool useLoadingProgram_ = true;
};

class TInstall : public TCustomInstall {
  KESTRUNE_CLASS()
 public:
  explicit TInstall(TComponent* owner) : TCustomInstall(owner) {}
};

void registerEngineClasses(ClassRegistry& registry);

}  // namespace kestrune
