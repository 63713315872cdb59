// The installation run: install record, archive information, endings and the
// application-wide exception handler.
#include <cmath>
#include <cstring>
#include <ctime>

#include "archive/cmp_TKstrCompress.h"
#include "engine/cmp_TInstall.h"
#include "objects/run_log.h"
#include "objects/run_state.h"
#include "engine/engine_Build.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TUninstallEXE.h"
#include "objects/uninstall_entry.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/ui_app.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/sysutils.h"
#include "ui/application.h"
#include "ui/forms.h"

namespace kestrune {

namespace {

constexpr const char* kInstallRoot = "\\SOFTWARE\\Kestrune\\Install";
using platform::RegKey;
using platform::RegRoot;

double nowDays() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return platform::encodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                   local.tm_sec, 0});
}

// Date-time values are stored as the 8 bytes of a double (binary registry values).
std::optional<double> readFloat(const RegKey& key, std::string_view name) {
  auto bytes = key.tryReadBinary(name);
  if (!bytes || bytes->size() != sizeof(double)) return std::nullopt;
  double v;
  std::memcpy(&v, bytes->data(), sizeof v);
  return v;
}

void writeFloat(RegKey& key, std::string_view name, double v) {
  std::vector<uint8_t> bytes(sizeof v);
  std::memcpy(bytes.data(), &v, sizeof v);
  key.writeBinary(name, bytes);
}

// Cursor and status line for the time the archive information is read.
class ReadingInfo {
 public:
  ReadingInfo(TCustomInstall& engine, ui::TCustomForm* runForm) : engine_(engine) {
    if (runForm && ui::Application) {
      previous_ = ui::Application->Cursor();
      ui::Application->SetCursor(ui::crHourGlass);
      cursorSet_ = true;
    }
    engine_.ShowStatusMessage(TranslateMessage("Reading file information..."));
  }
  ~ReadingInfo() {
    if (cursorSet_ && ui::Application) ui::Application->SetCursor(previous_);
    try {
      engine_.HideStatusMessage();
    } catch (...) {
    }
  }

 private:
  TCustomInstall& engine_;
  ui::TCursor previous_ = ui::crDefault;
  bool cursorSet_ = false;
};

}  // namespace

// ---- install record ----

std::string TCustomInstall::FindInstallRecord(bool create) {
  // Absence is answered by findInstallRecord itself; what reaches here is a failure of the
  // program file or the registry, and the user sees its cause.
  try {
    return findInstallRecord(create);
  } catch (const platform::PlatformError& e) {
    throw IEInstall("The install record of this setup program could not be read or written in the registry: %s",
                    {e.Message()});
  }
}

std::string TCustomInstall::findInstallRecord(bool create) {
  const std::string path = platform::moduleFileName();
  std::optional<double> date = platform::fileAgeDays(path);
  if (!date) throw platform::PlatformError("GetFileTime", 2);
  int64_t size = platform::File::open(path, platform::FileAccess::Read).size();
  std::optional<RegKey> root = create ? std::optional<RegKey>(RegKey::create(RegRoot::LocalMachine, kInstallRoot))
                                      : RegKey::open(RegRoot::LocalMachine, kInstallRoot);
  if (!root) return {};
  std::vector<std::string> names = root->subKeyNames();
  for (const std::string& name : names) {
    std::string keyPath = std::string(kInstallRoot) + "\\" + name;
    std::optional<RegKey> key = RegKey::open(RegRoot::LocalMachine, keyPath, true);
    if (!key) continue;  // removed since the listing
    // A record lacking a value (or holding one of another type) belongs to no file.
    std::optional<std::string> oldPath = key->tryReadString("Path");
    std::optional<double> created = readFloat(*key, "CreationDate");
    std::optional<uint32_t> oldSize = key->tryReadDword("Size");
    if (!oldPath || !created || !oldSize) continue;
    if (std::fabs(*created - *date) < 1e-7 && static_cast<int64_t>(static_cast<int32_t>(*oldSize)) == size) {
      writeFloat(*key, "LastRunDate", runTimeStamp_);
      key->writeString("Path", path);
      key->flush();
      return keyPath;
    }
  }
  if (!create) return {};
  int n = 0;
  for (;; ++n) {
    std::string candidate = Format("Install%d", {n});
    bool taken = false;
    for (const std::string& name : names) taken = taken || SameText(name, candidate);
    if (!taken) break;
  }
  std::string keyPath = std::string(kInstallRoot) + "\\" + Format("Install%d", {n});
  RegKey key = RegKey::create(RegRoot::LocalMachine, keyPath);
  key.writeString("Path", path);
  writeFloat(key, "LastRunDate", runTimeStamp_);
  writeFloat(key, "CreationDate", *date);
  key.writeDword("Size", static_cast<uint32_t>(size));
  if (modes_.Contains(TInstallMode::imSelfExtractor))
    key.writeString("SelfExtract", AddBackslash(sourceDirectory_) + ModeValue(TInstallMode::imSelfExtractor));
  key.flush();
  return keyPath;
}

void TCustomInstall::DeleteInstallRecord() {
  const std::string recordKey = InstallRecordKey();
  if (recordKey.empty()) return;
  try {
    if (std::optional<RegKey> record = RegKey::open(RegRoot::LocalMachine, recordKey, true)) {
      for (const std::string& sub : record->subKeyNames()) {
        std::string subPath = recordKey + "\\" + sub;
        if (std::optional<RegKey> k = RegKey::open(RegRoot::LocalMachine, subPath)) {
          std::string local = Trim(k->tryReadString("LocalFile").value_or(""));
          if (!local.empty()) platform::deleteFile(local);
        }
        // Sub-keys of sub-keys (none are written by the kit) go depth first.
        std::function<void(const std::string&)> drop = [&](const std::string& p) {
          if (std::optional<RegKey> k = RegKey::open(RegRoot::LocalMachine, p, true))
            for (const std::string& s : k->subKeyNames()) drop(p + "\\" + s);
          platform::deleteKey(RegRoot::LocalMachine, p);
        };
        drop(subPath);
      }
    }
    platform::deleteKey(RegRoot::LocalMachine, recordKey);
    if (std::optional<RegKey> root = RegKey::open(RegRoot::LocalMachine, kInstallRoot))
      if (root->subKeyNames().empty()) platform::deleteKey(RegRoot::LocalMachine, kInstallRoot);
    if (std::optional<RegKey> vendor = RegKey::open(RegRoot::LocalMachine, "\\Software\\Kestrune"))
      if (vendor->subKeyNames().empty()) platform::deleteKey(RegRoot::LocalMachine, "\\Software\\Kestrune");
  } catch (const Exception&) {
    // A record that cannot be removed is found again by the next run.
  }
  SetInstallRecordKey("");
}

// ---- the run ----

void TCustomInstall::Process() {
  // The application's handler keeps the silent abort silent, so an EAbort that leaves the
  // run (raised by one of the engine's events) would stop it without an ending: it ends
  // here as the user's abort does.
  try {
    runInstallation();
  } catch (const EAbort& e) {
    if (!installing_) throw;
    HandleInstallException(e);
  }
}

void TCustomInstall::runInstallation() {
  runTimeStamp_ = nowDays();
  FailedRegistrations().Clear();
  unfinishedCount_ = 0;
  pendingBatch_ = false;
  installing_ = true;
  ending_ = TRunEnding::reNone;
  if (useLoadingProgram_ && !modes_.Contains(TInstallMode::imSourceDir))
    throw IEInstallCommandLine(
        "The path of the loading program was not passed correctly. If you are running your install project in the IDE, "
        "then you need to add two command line parameters. In Run | Parameters | \"Run Parameters\", type in: -d "
        "\"-sBUILDPATH\" where BUILDPATH is the path into which you built the distributables. Example: -d \"-sC:\\My "
        "Build\".");
  // A self-extracting file that cannot be read ends the run before an install record exists.
  if (modes_.Contains(TInstallMode::imSelfExtractor)) ReadSelfExtractOffset(*this, GetSetupFileName());
  SetInstallRecordKey(FindInstallRecord(true));
  ForgetUninstallEntryCache();
  ForgetLocalFileRecords();
  ClearUnfinished();
  ReadInfoFromArchive();
  if (OnAfterInitialized) OnAfterInitialized(this);
  for (int call : {cc::InstallStart, cc::InstallStage1, cc::InstallStage2, cc::InstallStage3, cc::InstallStage4,
                   cc::InstallStage5, cc::BeforeInstallDialogs})
    CallExternalComponents(this, call, nullptr);
  {
    // The walk extracts one file at a time; the shared archive stays open from file to file.
    TKstrCompress::ArchiveHold hold(SharedArchiveEngine());
    TFileContainer::Process();
  }
  RegisterFailedServersAgain();
  bool resume = unfinishedCount_ > 0 || reboot_;
  if (resume) RegisterResume();
  RunLog(resume ? "Installed; work is left for after a restart" : "Installed");
  NotifyGoodInstall();
  CleanupLoadingProgram();
  if (!resume) DeleteInstallRecord();
  bool plannedReboot = reboot_;
  if (plannedReboot) {
    CallExternalComponents(this, cc::Reboot, nullptr);
    if (reboot_ && OnBeforeReboot) OnBeforeReboot(this, reboot_);
    // An unattended run never restarts the computer: its exit code says a restart is needed.
    if (QuietRun()) reboot_ = false;
  }
  if (runAutomatic_) Shutdown();
  RunFilesAfterInstall();
  installing_ = false;
  ending_ = resume ? TRunEnding::reRestartPending : TRunEnding::reGood;
  if (reboot_) {
    SaveLanguage();
    RebootWindows();
    if (ui::Application) ui::Application->Terminate();
  } else if (plannedReboot && ui::Application) {
    ui::Application->Terminate();
  }
}

// Downloads "filelist.lst" into a temporary file and gives each install file named in it
// (the first of that name, case-insensitively) the record's size, date and version.
// Records naming no file are ignored; the temporary file goes in every case.
void ReadRemoteFileList(TCustomInstall& engine) {
  TCustomNetInstallLocation* location = engine.NetLocation();
  if (!location)
    throw IEInstallNetLocNil("%s cannot read the remote list of files because its NetLocation property is not set",
                             {engine.Name()});
  struct TempFile {
    std::string path;
    ~TempFile() { platform::deleteFile(path); }
  } temp{platform::createTempFile("kst")};
  location->DownloadFile("filelist.lst", temp.path);
  if (NetAbortRequested()) throw EAIUserAbort();
  const std::vector<uint8_t> bytes = platform::readWholeFile(temp.path);
  std::vector<TFileListRecord> records;
  try {
    records = ParseFileList(bytes.data(), bytes.size());
  } catch (const IEInstall&) {
    throw IEInstall("Cannot read the remote list of files: %s", {temp.path});
  }
  for (const TFileListRecord& record : records) {
    for (int i = 0; i < InstallFiles().Count(); ++i) {
      TCustomInstallFile* file = InstallFiles().Items(i);
      if (!SameText(file->Name(), record.Name)) continue;
      file->SetSize(record.Size);
      file->SetFileDate(record.FileDate);
      file->SetFileVersion(record.FileVersion);
      break;
    }
  }
}

void TCustomInstall::ReadInfoFromArchive() {
  if (InfoRead()) return;
  if (OnBeforeReadArchiveInfo) OnBeforeReadArchiveInfo(this);
  CallExternalComponents(this, cc::BeforeReadArchiveInfo, nullptr);
  {
    ReadingInfo reading(*this, runForm_);
    TFileContainer::ReadInfoFromArchive();
    if (distributeType_ != TDistributeType::dtTraditional) ReadRemoteFileList(*this);
  }
  infoRead_ = true;
  if (OnAfterReadArchiveInfo) OnAfterReadArchiveInfo(this);
  CallExternalComponents(this, cc::AfterReadArchiveInfo, nullptr);
}

void TCustomInstall::NotifyGoodInstall() {
  if (OnBeforeNotifyGoodInstall) OnBeforeNotifyGoodInstall(this);
  CallExternalComponents(this, cc::BeforeGoodEnding, nullptr);
  CallExternalComponents(this, cc::GoodEnding, nullptr);
  if (OnAfterNotifyGoodInstall) OnAfterNotifyGoodInstall(this);
}

void TCustomInstall::NotifyBadInstall() {
  if (OnBeforeNotifyBadInstall) OnBeforeNotifyBadInstall(this);
  CallExternalComponents(this, cc::BeforeBadEnding, nullptr);
  CallExternalComponents(this, cc::BadEnding, nullptr);
  if (OnAfterNotifyBadInstall) OnAfterNotifyBadInstall(this);
}

void TCustomInstall::HandleInstallException(const std::exception& e) {
  RunLog(std::string("Error: ") + e.what());
  if (!installing_) {
    if (ui::Application) ui::Application->ShowException(e);
    return;
  }
  installing_ = false;
  const bool aborted = dynamic_cast<const EAIUserAbort*>(&e) || dynamic_cast<const EAbort*>(&e);
  if (aborted) ending_ = TRunEnding::reAborted;
  else if (dynamic_cast<const IEInstallCommandLine*>(&e)) ending_ = TRunEnding::reBadCommandLine;
  else ending_ = TRunEnding::reFailed;
  try {
    // Files already written stay removable: the entry gets its uninstaller and command.
    TUninstallEXE::CompleteEntryOfEndedRun();
    if (aborted) {
      NotifyBadInstall();
      CleanupLoadingProgram();
      DeleteInstallRecord();
      if (runAutomatic_) Shutdown();
    } else {
      NotifyBadInstall();
      if (ui::Application) ui::Application->ShowException(e);
      Shutdown();
    }
  } catch (...) {
    // A failure inside the bad ending ends the program; the new error is dropped.
    if (runAutomatic_ && ui::Application) ui::Application->Terminate();
  }
}

void TCustomInstall::RunFilesAfterInstall() {
  for (int i = 0; i < InstallFiles().Count(); ++i) {
    TCustomInstallFile* file = InstallFiles().Items(i);
    if (!file->RunAfterInstall()) continue;
    bool run = true;
    if (OnBeforeRunFile) OnBeforeRunFile(this, file, run);
    if (!run) continue;
    std::string path = file->DestPath();
    try {
      platform::shellExecute(path);
    } catch (const platform::PlatformError& e) {
      // The installation went through; a program that does not start is the user's to
      // start by hand, not a reason to report the installation as failed.
      if (ui::Application)
        ui::Application->MessageBox(Format(TranslateMessage("The installed file %s could not be started: %s"),
                                           {path, e.Message()}),
                                    "", platform::ui::mbOk | platform::ui::mbIconWarning);
    }
  }
}

}  // namespace kestrune
