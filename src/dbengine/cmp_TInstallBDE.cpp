// TInstallBDE: creation, the published options, the existing installation and the install
// step. Configure and the SQL Link settings are in cmp_TInstallBDE_Configure.cpp.
#include "dbengine/cmp_TInstallBDE.h"

#include "dbengine/cmp_TBDEFileSet.h"
#include "dbengine/idapinst_library.h"
#include "objects/component_calls.h"
#include "objects/engine_seam.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/published_props.h"
#include "platform/files.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/published.h"
#include "runtime/seams.h"
#include "runtime/sysutils.h"

namespace kestrune {
namespace {

TInstallBDE* currentBDE = nullptr;

// The engine parts and SQL Links in the order of the option tables below.
enum Part { bdFull, bdParadox, bdDBase, bdAscii, bdAccess, bdODBC, bdSQLEngine, bdQBEEngine };
enum Link { slMSSQLServer, slSybaseDB, slSybaseCT, slIntrBase, slOracle, slInformix, slDB2 };


std::string winIni() { return AddBackslash(GetWindowsDir()) + "WIN.INI"; }

bool readable(const std::string& path) {
  return !path.empty() && platform::File::tryOpen(path, platform::FileAccess::Read).has_value();
}

// The file along the system, Windows and current directories; empty when none holds it.
std::string searchSystemPath(const std::string& name) {
  for (const std::string& dir : {GetSystemDir(), GetWindowsDir(), platform::currentDirectory()}) {
    std::string path = AddBackslash(dir) + name;
    if (readable(path)) return path;
  }
  return {};
}

// A 16-bit configuration named in WIN.INI [section] CONFIGFILE01, else fileName found on
// the system path; empty for none.
std::string find16BitConfig(const char* section, const char* fileName) {
  std::string named = platform::readProfileString(winIni(), section, "CONFIGFILE01");
  if (readable(named)) return named;
  return searchSystemPath(fileName);
}

}  // namespace

TInstallBDE* CurrentInstallBDE() { return currentBDE; }

const ClassInfo& TInstallBDE::classInfo() {
  using B = TInstallBDE;
  static constexpr auto props = JoinProps(
      kInstallObjectProps, FileRelatedPropTable<false>(), kFileContainerProps,
      std::array{prop<&TFileContainer::GroupName, &TFileContainer::SetGroupName>("GroupName").DefaultStr("Borland Database Engine"),
                 prop<&B::BDAt<bdFull>, &B::SetBDAt<bdFull>>("bdFull"),
                 prop<&B::BDAt<bdParadox>, &B::SetBDAt<bdParadox>>("bdParadox"),
                 prop<&B::BDAt<bdDBase>, &B::SetBDAt<bdDBase>>("bdDBase"),
                 prop<&B::BDAt<bdAscii>, &B::SetBDAt<bdAscii>>("bdAscii"),
                 prop<&B::BDAt<bdAccess>, &B::SetBDAt<bdAccess>>("bdAccess"),
                 prop<&B::BDAt<bdODBC>, &B::SetBDAt<bdODBC>>("bdODBC"),
                 prop<&B::BDAt<bdSQLEngine>, &B::SetBDAt<bdSQLEngine>>("bdSQLEngine"),
                 prop<&B::BDAt<bdQBEEngine>, &B::SetBDAt<bdQBEEngine>>("bdQBEEngine"),
                 prop<&B::SLAt<slMSSQLServer>, &B::SetSLAt<slMSSQLServer>>("slMSSQLServer"),
                 prop<&B::SLAt<slSybaseDB>, &B::SetSLAt<slSybaseDB>>("slSybaseDB"),
                 prop<&B::SLAt<slSybaseCT>, &B::SetSLAt<slSybaseCT>>("slSybaseCT"),
                 prop<&B::SLAt<slIntrBase>, &B::SetSLAt<slIntrBase>>("slIntrBase"),
                 prop<&B::SLAt<slOracle>, &B::SetSLAt<slOracle>>("slOracle"),
                 prop<&B::SLAt<slInformix>, &B::SetSLAt<slInformix>>("slInformix"),
                 prop<&B::SLAt<slDB2>, &B::SetSLAt<slDB2>>("slDB2"),
                 prop<&B::LanguageDLL, &B::SetLanguageDLL>("LanguageDLL"),
                 prop<&B::SaveFor16Bit, &B::SetSaveFor16Bit>("SaveFor16Bit").Default(0),
                 prop<&B::SQLLinkEntries>("SQLLinkEntries"),
                 eventProp("OnLanguageDifferent"), eventProp("OnMergeFailed"), eventProp("OnFixFailed")});
  static const ClassInfo info{"TInstallBDE", &TInstallFileGroup::classInfo(), create<TInstallBDE>, props};
  return info;
}

TInstallBDE::TInstallBDE(TComponent* owner) : TInstallFileGroup(owner), sqlLinkEntries_(std::make_unique<TStringList>()) {
  groupName_ = "Borland Database Engine";
  description_->Clear();
  description_->Add(TranslateMessage("This will install the Borland Database Engine."));
  if (auto* bdeDll = FindStandardSpecifier<TpsBDEDLL>()) SetDestDirType(bdeDll);
  languageDLL_ = ReadRegistryString(rkLocalMachine, "\\SOFTWARE\\BORLAND\\DATABASE ENGINE", "RESOURCE", "");
  if (Trim(languageDLL_).empty()) languageDLL_ = "0009";
  grabCall_ = new TGrabCall(nullptr);
  grabCall_->OnCall = [this](TInstallContainer* container, int call, TPersistent* po) { engineCall(container, call, po); };
  attachCallObject();
  fileSet_ = CreateBDEFileSet(this);
  currentBDE = this;
}

TInstallBDE::~TInstallBDE() {
  if (currentBDE == this) currentBDE = nullptr;
  if (TStrings* presetup = PresetupFilesOfEngine())
    for (int i = presetup->Count() - 1; i >= 0; --i)
      if (UpperCase(presetup->Strings(i)).find(kIdapInstLibrary) != std::string::npos) presetup->Delete(i);
  grabCall_->OnCall = nullptr;
  delete grabCall_;
}

void TInstallBDE::attachCallObject() {
  if (grabCall_->Container()) return;
  if (IInstallEngine* engine = CurrentEngine()) grabCall_->SetContainer(engine->EngineContainer());
}

void TInstallBDE::SetContainer(TInstallContainer* value) {
  IInstallEngine* engine = CurrentEngine();
  TInstallFileGroup::SetContainer(engine ? engine->EngineContainer() : value);
}

void TInstallBDE::Loaded() {
  TInstallFileGroup::Loaded();
  attachCallObject();
}

bool TInstallBDE::GetBD(int part) const {
  switch (part) {
    case bdFull: return fileSet_->HasFull();
    case bdParadox: return fileSet_->HasParadox();
    case bdDBase: return fileSet_->HasDBase();
    case bdAscii: return fileSet_->HasAscii();
    case bdAccess: return fileSet_->HasAccess();
    case bdODBC: return fileSet_->HasODBC();
    case bdSQLEngine: return fileSet_->HasSQLEngine();
    default: return fileSet_->HasQBE();
  }
}

void TInstallBDE::SetBD(int part, bool value) {
  if (IsLoading()) return;
  TBDEFileSet& s = *fileSet_;
  switch (part) {
    case bdFull: value ? s.AddAll(true) : s.RemoveAll(); break;
    case bdParadox: value ? s.AddParadox() : s.RemoveParadox(); break;
    case bdDBase: value ? s.AddDBase() : s.RemoveDBase(); break;
    case bdAscii: value ? s.AddAscii() : s.RemoveAscii(); break;
    case bdAccess: value ? s.AddAccess() : s.RemoveAccess(); break;
    case bdODBC: value ? s.AddODBC() : s.RemoveODBC(); break;
    case bdSQLEngine: value ? s.AddSQLEngine() : s.RemoveSQLEngine(); break;
    default: value ? s.AddQBE() : s.RemoveQBE(); break;
  }
}

bool TInstallBDE::GetSL(int link) const {
  switch (link) {
    case slMSSQLServer: return fileSet_->HasMSSQL();
    case slSybaseDB: return fileSet_->HasSybaseDB();
    case slSybaseCT: return fileSet_->HasSybaseCT();
    case slIntrBase: return fileSet_->HasInterBase();
    case slOracle: return fileSet_->HasOracle();
    case slInformix: return fileSet_->HasInformix();
    default: return fileSet_->HasDB2();
  }
}

void TInstallBDE::SetSL(int link, bool value) {
  if (IsLoading()) return;
  TBDEFileSet& s = *fileSet_;
  switch (link) {
    case slMSSQLServer: value ? s.AddMSSQL() : s.RemoveMSSQL(); break;
    case slSybaseDB: value ? s.AddSybaseDB() : s.RemoveSybaseDB(); break;
    case slSybaseCT: value ? s.AddSybaseCT() : s.RemoveSybaseCT(); break;
    case slIntrBase: value ? s.AddInterBase() : s.RemoveInterBase(); break;
    case slOracle: value ? s.AddOracle() : s.RemoveOracle(); break;
    case slInformix: value ? s.AddInformix() : s.RemoveInformix(); break;
    default: value ? s.AddDB2() : s.RemoveDB2(); break;
  }
  RebuildSQLLinkEntries();
}

std::string TInstallBDE::ReadInstalledLanguage() {
  auto key = platform::RegKey::open(platform::RegRoot::LocalMachine, "\\SOFTWARE\\BORLAND\\DATABASE ENGINE");
  std::optional<std::string> value = key ? key->tryReadString("RESOURCE") : std::nullopt;
  if (!value)
    throw IEBDENoResourceDLLEntry(
        "The \\SOFTWARE\\BORLAND\\DATABASE ENGINE | RESOURCE key could not be found in your registry");
  return *value;
}

TCustomInstallFile* TInstallBDE::ConfigMember() const {
  TCustomInstallFile* found = nullptr;
  for (int i = 0; i < FileCount(); ++i) {
    TCustomInstallFile* file = Files(i);
    if (!SameText(Trim(file->FileName()), "IDAPI32.CNF")) continue;
    if (found) throw IEInstallBDE("More than one IDAPI.CNF file found for the BDE group");
    found = file;
  }
  if (!found) throw IEInstallBDE("Could not find a IDAPI.CNF file in the TInstallBDE");
  return found;
}

void TInstallBDE::engineCall(TInstallContainer*, int componentCall, TPersistent*) {
  if (componentCall == cc::InstallStart) DetectExistingInstallation();
}

void TInstallBDE::DetectExistingInstallation() {
  TCustomInstallFile* config = ConfigMember();
  existingConfig_ = "***";
  configName_ = "idapi32.cfg";
  configDir_ = RemoveBackslash(config->GetDestDir());
  std::string registered = ReadRegistryString(rkLocalMachine, kBDEKey, "CONFIGFILE01", "");
  if (readable(registered)) {
    existingConfig_ = registered;
    configDir_ = RemoveBackslash(ExtractFilePath(registered));
    configName_ = ExtractFileName(registered);
  } else {
    std::string old = find16BitConfig("IDAPI", "idapi.cfg");
    if (old.empty()) old = find16BitConfig("ODAPI", "odapi.cfg");
    if (!old.empty()) existingConfig_ = old;
  }
  std::string dllPath = ReadRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", "");
  if (!dllPath.empty()) {
    SetDestDirType(nullptr);
    SetDestDir(GetListItem(dllPath, 1, ';'));
  }
  config->SetDestDirType(nullptr);
  config->SetDestDir(configDir_);
}

void TInstallBDE::checkLanguage() {
  std::string installed;
  try {
    installed = ReadInstalledLanguage();
  } catch (const IEBDENoResourceDLLEntry&) {
    return;
  }
  if (SameText(Trim(installed), Trim(languageDLL_))) return;
  bool carryOn = true;
  if (OnLanguageDifferent) OnLanguageDifferent(this, installed, carryOn, languageDLL_);
  if (!carryOn)
    throw IEBDELanguageDifferent(
        "The Borland Database Engine installed on this machine is a different language from the Borland Database "
        "Engine being installed");
}

void TInstallBDE::ProcessHelpers() {
  checkLanguage();
  IdapInstLibrary library = IdapInstLibrary::load();
  library_ = &library;
  struct Reset {
    IdapInstLibrary*& slot;
    ~Reset() { slot = nullptr; }
  } reset{library_};
  TInstallFileGroup::ProcessHelpers();
  TCustomInstallFile* config = ConfigMember();
  Configure(AddBackslash(config->GetDestDir()) + config->DestName(), languageDLL_);
  library.IncrementIDAPIUseCount();
}

void TInstallBDE::WriteUninstallInfo(const std::string& key) {
  std::string bdeKey = key + "\\BDE";
  std::string text = Trim(ReadRegistryString(rkLocalMachine, bdeKey, "Entries", "0"));
  long count = 0;
  try {
    count = std::stol(text);
  } catch (const std::exception&) {
    count = 0;  // a damaged count starts again
  }
  WriteRegistryString(rkLocalMachine, bdeKey, "Entries", std::to_string(count + 1));
}

void registerDBEngineClasses(ClassRegistry& registry) { registry.Register(TInstallBDE::classInfo()); }

}  // namespace kestrune
