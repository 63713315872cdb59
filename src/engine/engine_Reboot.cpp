// Unfinished work kept across a restart: the list in the install record, the RunOnce
// resume command, the restart itself and the resumed run.
#include "engine/cmp_TInstall.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/params.h"
#include "runtime/sysutils.h"
#include "translation/cmp_TTranslator.h"
#include "ui/application.h"

namespace kestrune {

using platform::RegKey;
using platform::RegRoot;

std::string TCustomInstall::unfinishedKey() const { return InstallRecordKey() + "\\Unfinished"; }

void TCustomInstall::checkRecordKey() const {
  if (InstallRecordKey().empty()) throw IEInstall("The TInstall could not either write or read unfinished business from the registry");
}

void TCustomInstall::ClearUnfinished() {
  checkRecordKey();
  DeleteRegistryTree(rkLocalMachine, unfinishedKey());
}

void TCustomInstall::AddUnfinished(const std::string& name, int kind) {
  checkRecordKey();
  ++unfinishedCount_;
  std::string value = std::to_string(kind);
  try {
    RegKey key = RegKey::create(RegRoot::LocalMachine, unfinishedKey());
    key.writeString(name, value);
  } catch (const Exception&) {
    throw EIRCannotWriteValue("Cannot install into registry. Key: %s Ident: %s Value %s", {unfinishedKey(), name, value});
  }
}

void TCustomInstall::GetUnfinishedList(TStrings& list) {
  checkRecordKey();
  list.Clear();
  std::optional<RegKey> key = RegKey::open(RegRoot::LocalMachine, unfinishedKey());
  if (!key) return;
  for (const std::string& name : key->valueNames()) list.Add(name + ";" + key->tryReadString(name).value_or(""));
}

void TCustomInstall::RegisterResume() {
  std::string program = platform::moduleFileName();
  std::string setup = GetSetupFileName();
  std::string setupDir = RemoveBackslash(ExtractFileDir(setup));
  std::string command = "\"" + program + "\" -r ";
  if (modes_.Contains(TInstallMode::imSelfExtractor)) command += "\"-e" + ExtractFileName(setup) + "\" ";
  command += "\"-s" + setupDir + "\"";
  if (modes_.Contains(TInstallMode::imCleanup)) command += " -c";
  // The run after the restart is as unattended as this one.
  if (modes_.Contains(TInstallMode::imQuiet)) command += " -q";
  if (!AddRunOnce("KestruneUnfinished", command, true))
    throw IEInstall("Cannot register the install to be run on reboot in the RunOnce key in the registry");
}

void TCustomInstall::RebootWindows() {
  bool ok = false;
  try {
    int platformClass = GetWindowsPlatform();
    if (platformClass == 1) {
      platform::exitWindows(platform::ExitMode::Reboot, false);
      ok = true;
    } else if (platformClass == 2) {
      platform::enableShutdownPrivilege();
      platform::exitWindows(platform::ExitMode::Reboot, false);
      ok = true;
    }
  } catch (const Exception&) {
    ok = false;
  }
  if (ok) return;
  if (OnFailedReboot) OnFailedReboot(this);
  else if (ui::Application)
    ui::Application->MessageBox(TranslateMessage("Could not reboot windows. Please manually reboot windows."), "", 0x40);
}

// The main translator's language is kept across a restart; without a main translator
// there is none to keep.
int32_t TCustomInstall::ReadSavedLanguage() {
  const translation::TTranslator* translator = translation::MainTranslator();
  int32_t current = translator ? static_cast<int32_t>(translator->TranslateIntoLanguage()) : 0;
  if (InstallRecordKey().empty()) return current;
  return ReadRegistryInteger(rkLocalMachine, InstallRecordKey(), "Language", current);
}

void TCustomInstall::SaveLanguage() {
  const translation::TTranslator* translator = translation::MainTranslator();
  if (!translator || InstallRecordKey().empty()) return;
  WriteRegistryInteger(rkLocalMachine, InstallRecordKey(), "Language", static_cast<int32_t>(translator->TranslateIntoLanguage()));
}

void TCustomInstall::CompleteAfterReboot() {
  // As in the first run: an EAbort raised by an event ends the resumed run as an abort.
  try {
    resumeAfterReboot();
  } catch (const EAbort& e) {
    if (!installing_) throw;
    HandleInstallException(e);
  }
}

void TCustomInstall::resumeAfterReboot() {
  installing_ = true;
  ending_ = TRunEnding::reNone;
  SetInstallRecordKey(FindInstallRecord(false));
  if (translation::TTranslator* translator = translation::MainTranslator()) {
    const int32_t saved = ReadSavedLanguage();
    if (saved >= 0 && saved <= static_cast<int32_t>(TKstrLanguage::klVietnamese))
      translator->SetTranslateIntoLanguage(static_cast<TKstrLanguage>(saved));
  }
  TStringList lines;
  GetUnfinishedList(lines);
  ClearUnfinished();
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines[i];
    size_t semi = line.find(';');
    std::string name = line.substr(0, semi);
    std::string kindText = semi == std::string::npos ? std::string() : line.substr(semi + 1);
    char* end = nullptr;
    long kind = std::strtol(kindText.c_str(), &end, 10);
    if (kindText.empty() || *end != '\0')
      throw IEInstall("There is an invalid entry for the unfinished install list %s", {line});
    if (kind == 1) {
      platform::deleteFile(name);
    } else if (kind == 0) {
      TInstallContainerList& all = InstallContainers();
      for (int j = 0; j < all.Count(); ++j)
        if (SameText(all.Items(j)->Name(), name)) all.Items(j)->CompleteAfterReboot();
    }
  }
  NotifyGoodInstall();
  CleanupLoadingProgram();
  DeleteInstallRecord();
  if (runAutomatic_) Shutdown();
  RunFilesAfterInstall();
  installing_ = false;
  ending_ = TRunEnding::reGood;
}

void TCustomInstall::RegisterFailedServersAgain() {
  TCustomInstallFileList& failed = FailedRegistrations();
  std::vector<TCustomInstallFile*> files;
  for (int i = 0; i < failed.Count(); ++i) files.push_back(failed.Items(i));
  for (TCustomInstallFile* f : files) f->RegisterActiveX();
}

}  // namespace kestrune
