// The database engine file sets: membership, adding and removing the files of engine
// parts and SQL Links, and choosing the set by the installed engine's version.
#include "dbengine/cmp_TBDEFileSet.h"

#include "archive/cmp_TVersion.h"
#include "dbengine/cmp_TInstallBDE.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/sysutils.h"

namespace kestrune {
namespace {

constexpr const char* kLocaleError =
    "There is no \\Software\\Borland\\BLW32 key in the registry, no entries in this key, or the BLAPIPATH entry does "
    "not point to a valid directory. Therefore the .BLL files could not be added";

template <class F>
void ignoringErrors(bool ignore, F&& step) {
  if (!ignore) return step();
  try {
    step();
  } catch (const Exception&) {
  }
}

std::string kitDirectory() {
  return EngineHooks().kitDirectory ? RemoveBackslash(EngineHooks().kitDirectory(true)) : std::string();
}

void formChanged() {
  if (EngineHooks().formChanged) EngineHooks().formChanged();
}

std::string interBaseRoot() {
  std::string root =
      ReadRegistryString(rkLocalMachine, "\\SOFTWARE\\INTERBASE CORP\\INTERBASE\\CURRENTVERSION", "RootDirectory", "");
  if (root.empty())
    root = ReadRegistryString(rkLocalMachine, "\\SOFTWARE\\BORLAND\\INTERBASE\\CURRENTVERSION", "RootDirectory", "");
  if (root.empty())
    throw IEBDENoIntrbaseEntry(
        "Cannot find the \\SOFTWARE\\BORLAND\\INTERBASE\\CURRENTVERSION | RootDirectory registry entry in your "
        "registry under the HKEY_LOCAL_MACHINE root key");
  return RemoveBackslash(root);
}

// Member files whose name ends with one of the extensions.
std::vector<std::string> membersWithExtension(const TInstallBDE& bde, std::initializer_list<const char*> extensions) {
  std::vector<std::string> names;
  for (int i = 0; i < bde.FileCount(); ++i) {
    std::string ext = UpperCase(ExtractFileExt(Trim(bde.Files(i)->FileName())));
    for (const char* e : extensions)
      if (ext == e) names.push_back(Trim(bde.Files(i)->FileName()));
  }
  return names;
}

}  // namespace

TBDEFileSet::TBDEFileSet(TInstallBDE* installBDE) : bde_(installBDE) {
  if (!installBDE) throw Exception("Cannot create BDE file set without passing valid InstallBDE");
}

std::string TBDEFileSet::SourceDirectory() {
  std::string dllPath = ReadRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", "");
  if (dllPath.empty())
    throw IEBDENoDLLEntry(
        "Cannot find the \\Software\\Borland\\Database Engine | DLLPath registry entry in your registry under the "
        "HKEY_LOCAL_MACHINE root key");
  std::string dir = RemoveBackslash(GetListItem(dllPath, 1, ';'));
  if (!platform::fileExists(AddBackslash(dir) + "idapi32.dll"))
    throw IEBDEDLLMissing("The BDE DLL file %s cannot be found in the BDE DLL dir %s", {std::string("idapi32.dll"), dir});
  return dir;
}

bool TBDEFileSet::Has(const std::string& fileName) const {
  std::string name = ExtractFileName(Trim(fileName));
  for (int i = 0; i < bde_->FileCount(); ++i)
    if (SameText(Trim(bde_->Files(i)->FileName()), name)) return true;
  return false;
}

bool TBDEFileSet::HasAll(std::initializer_list<const char*> fileNames) const {
  for (const char* name : fileNames)
    if (!Has(name)) return false;
  return true;
}

void TBDEFileSet::AddFile(const std::string& path, const ClassInfo& specifier) {
  if (Has(path)) return;
  if (!platform::fileExists(path))
    throw IEBDEFileDoesNotExist("Cannot find the file %s to add to the TInstallBDE component.", {path});
  auto file = std::make_unique<TInstallFile>(bde_->Owner());
  SetUniqueName(*file, "BDEFile");
  file->SetNet(true);
  file->SetIncludeFromDir(RemoveBackslash(ExtractFilePath(path)));
  file->SetFileName(ExtractFileName(path));
  try {
    file->SetContainer(bde_);
  } catch (const IEfcDuplicateFile&) {
    return;
  }
  file->SetUpdateDLLCounter(true);
  file->SetDestDirType(StandardPathSpecifiers().FindSpecifier(specifier));
  file->SetDestDir("");
  file->SetOverwriteMode(TOverwriteType::owVersionDate);
  file->SetFileType(TInstallFileType::iftJustADLL);
  file.release();
  formChanged();
}

void TBDEFileSet::AddConfigFile() {
  if (Has("IDAPI32.CNF")) return;
  std::string kit = kitDirectory();
  std::string path = AddBackslash(kit) + "IDAPI32.CNF";
  if (kit.empty() || !platform::fileExists(path))
    throw IEBDEFileDoesNotExist("Cannot find the %s file in the Kestrune directory", {std::string("IDAPI32.CNF")});
  auto file = std::make_unique<TInstallFile>(bde_->Owner());
  SetUniqueName(*file, "BDEConfigFile");
  file->SetNet(true);
  file->SetIncludeFromDir(kit);
  file->SetFileName("IDAPI32.CNF");
  try {
    file->SetContainer(bde_);
  } catch (const IEfcDuplicateFile&) {
    return;
  }
  // The type first: its overwrite effect would replace owAlways, and the new configuration
  // must always be laid down for the merge.
  file->SetFileType(TInstallFileType::iftJustADLL);
  file->SetOverwriteMode(TOverwriteType::owAlways);
  file.release();
  formChanged();
}

void TBDEFileSet::addFromSource(std::initializer_list<const char*> fileNames) {
  std::string dir = SourceDirectory();
  for (const char* name : fileNames) AddFile(AddBackslash(dir) + name, TpsContainerDestDir::classInfo());
}

std::string TBDEFileSet::resourceDLL() const { return "IDR2" + Trim(bde_->LanguageDLL()) + ".DLL"; }

void TBDEFileSet::AddResourceDLL() { addFromSource({resourceDLL().c_str()}); }

void TBDEFileSet::AddLocaleLibraries() {
  auto key = platform::RegKey::open(platform::RegRoot::LocalMachine, kBLW32Key);
  if (!key || key->valueNames().empty()) throw IEInstallBDE(kLocaleError);
  for (const std::string& name : key->valueNames()) {
    if (UpperCase(name).find("LOCALE_LIB") == std::string::npos) continue;
    std::optional<std::string> path = key->tryReadString(name);
    if (path) ignoringErrors(true, [&] { AddFile(*path, TpsContainerDestDir::classInfo()); });
  }
}

void TBDEFileSet::AddCore() {
  addFromSource({"IDAPI32.DLL", "BLW32.DLL", "IDDR32.DLL", "IDBAT32.DLL"});
  AddConfigFile();
  AddLocaleLibraries();
  AddResourceDLL();
}

void TBDEFileSet::addAdminFiles(std::initializer_list<const char*> fromSource, const char* control) {
  addFromSource(fromSource);
  if (!control) return;
  std::string dir = SourceDirectory();
  std::string local = AddBackslash(dir) + control;
  if (platform::fileExists(local)) return AddFile(local, TpsSystem::classInfo());
  ignoringErrors(true, [&] { AddFile(AddBackslash(GetSystemDir()) + control, TpsSystem::classInfo()); });
}

void TBDEFileSet::AddSQLLinkHelp() { addFromSource({"SQLLNK32.HLP", "SQLLNK32.CNT"}); }

void TBDEFileSet::AddAll(bool ignoreErrors) {
  for (auto step : {&TBDEFileSet::AddAscii, &TBDEFileSet::AddDBase, &TBDEFileSet::AddODBC, &TBDEFileSet::AddParadox,
                    &TBDEFileSet::AddSQLEngine, &TBDEFileSet::AddQBE})
    ignoringErrors(ignoreErrors, [&] { (this->*step)(); });
}

void TBDEFileSet::AddAccess() {
  AddCore();
  addFromSource({"IDDA3532.DLL", "IDDAO32.DLL"});
}
void TBDEFileSet::AddAscii() {
  AddCore();
  addFromSource({"IDASCI32.DLL"});
}
void TBDEFileSet::AddDBase() {
  AddCore();
  addFromSource({"IDDBAS32.DLL"});
}
void TBDEFileSet::AddODBC() {
  AddCore();
  addFromSource({"IDODBC32.DLL"});
}
void TBDEFileSet::AddParadox() {
  AddCore();
  addFromSource({"IDPDX32.DLL"});
}
void TBDEFileSet::AddSQLEngine() {
  AddCore();
  addFromSource({"IDSQL32.DLL", "IDPDX32.DLL"});
}
void TBDEFileSet::AddQBE() {
  AddCore();
  addFromSource({"IDQBE32.DLL", "IDPDX32.DLL"});
}

void TBDEFileSet::AddDB2() {
  AddSQLLinkHelp();
  addFromSource({"SQLDB232.DLL"});
}
void TBDEFileSet::AddInformix() {
  AddSQLLinkHelp();
  addFromSource({"SQLINF32.DLL"});
}
void TBDEFileSet::AddInterBase() {
  AddSQLLinkHelp();
  addFromSource({"SQLINT32.DLL"});
  AddFile(AddBackslash(GetSystemDir()) + "GDS32.DLL", TpsContainerDestDir::classInfo());
  AddFile(AddBackslash(kitDirectory()) + "SQL_LIC.DAT", TpsContainerDestDir::classInfo());
  std::string root = AddBackslash(interBaseRoot());
  if (platform::fileExists(root + "INTERBASE.MSG")) return AddFile(root + "INTERBASE.MSG", TpsContainerDestDir::classInfo());
  if (platform::fileExists(root + "INTERBAS.MSG")) return AddFile(root + "INTERBAS.MSG", TpsContainerDestDir::classInfo());
  throw IEBDENoIntrbaseMsgFile("The Interbase MSG file could not be found");
}
void TBDEFileSet::AddMSSQL() {
  AddSQLLinkHelp();
  addFromSource({"SQLMSS32.DLL"});
}
void TBDEFileSet::AddOracle() {
  AddSQLLinkHelp();
  addFromSource({"SQLORA32.DLL"});
}
void TBDEFileSet::AddSybaseCT() {
  AddSQLLinkHelp();
  addFromSource({"SQLSSC32.DLL"});
}
void TBDEFileSet::AddSybaseDB() {
  AddSQLLinkHelp();
  addFromSource({"SQLSYB32.DLL"});
}

bool TBDEFileSet::HasCore() const {
  return HasAll({"IDAPI32.CNF", "IDAPI32.DLL", "BLW32.DLL", "IDBAT32.DLL", "IDDR32.DLL"}) && Has(resourceDLL());
}
bool TBDEFileSet::HasFull() const {
  return HasCore() && HasAscii() && HasDBase() && HasODBC() && HasParadox() && HasSQLEngine() && HasQBE();
}
bool TBDEFileSet::HasAccess() const { return HasCore() && HasAll({"IDDA3532.DLL", "IDDAO32.DLL"}); }
bool TBDEFileSet::HasAscii() const { return HasCore() && Has("IDASCI32.DLL"); }
bool TBDEFileSet::HasDBase() const { return HasCore() && Has("IDDBAS32.DLL"); }
bool TBDEFileSet::HasODBC() const { return HasCore() && Has("IDODBC32.DLL"); }
bool TBDEFileSet::HasParadox() const { return HasCore() && Has("IDPDX32.DLL"); }
bool TBDEFileSet::HasSQLEngine() const { return HasCore() && HasAll({"IDSQL32.DLL", "IDPDX32.DLL"}); }
bool TBDEFileSet::HasQBE() const { return HasCore() && HasAll({"IDQBE32.DLL", "IDPDX32.DLL"}); }
bool TBDEFileSet::HasDB2() const { return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLDB232.DLL"}); }
bool TBDEFileSet::HasInformix() const { return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLINF32.DLL"}); }
bool TBDEFileSet::HasInterBase() const {
  return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLINT32.DLL", "GDS32.DLL", "SQL_LIC.DAT"}) &&
         (Has("INTERBAS.MSG") || Has("INTERBASE.MSG"));
}
bool TBDEFileSet::HasMSSQL() const { return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLMSS32.DLL"}); }
bool TBDEFileSet::HasOracle() const { return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLORA32.DLL"}); }
bool TBDEFileSet::HasSybaseCT() const { return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLSSC32.DLL"}); }
bool TBDEFileSet::HasSybaseDB() const { return HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT", "SQLSYB32.DLL"}); }

void TBDEFileSet::RemoveFile(const std::string& fileName) {
  for (int i = 0; i < bde_->FileCount(); ++i) {
    TCustomInstallFile* file = bde_->Files(i);
    if (!SameText(Trim(file->FileName()), fileName)) continue;
    delete file;
    formChanged();
    return;
  }
}

void TBDEFileSet::removeFiles(std::initializer_list<const char*> fileNames) {
  for (const char* name : fileNames) RemoveFile(name);
}

void TBDEFileSet::RemoveLocaleLibraries() {
  for (const std::string& name : membersWithExtension(*bde_, {".BLL"})) RemoveFile(name);
}

bool TBDEFileSet::anyPartUsed(bool withAccess) const {
  return HasAscii() || HasDBase() || HasParadox() || HasFull() || HasSQLEngine() || HasQBE() || HasODBC() ||
         (withAccess && HasAccess());
}

void TBDEFileSet::removeCoreFiles(std::initializer_list<const char*> extra) {
  removeFiles({"IDAPI32.DLL", resourceDLL().c_str(), "BLW32.DLL", "IDAPI32.CNF", "IDDR32.DLL", "IDBAT32.DLL"});
  RemoveLocaleLibraries();
  removeFiles(extra);
}

void TBDEFileSet::RemoveCoreIfUnused() {
  if (!anyPartUsed(false)) removeCoreFiles({});
}

void TBDEFileSet::RemoveSQLLinkHelp() { removeFiles({"SQLLNK32.HLP", "SQLLNK32.CNT"}); }

void TBDEFileSet::RemoveAll() { RemoveCoreIfUnused(); }

void TBDEFileSet::RemoveAccess() {
  RemoveFile("IDDA3532.DLL");
  if (!HasODBC()) RemoveFile("IDDAO32.DLL");
  RemoveCoreIfUnused();
}
void TBDEFileSet::RemoveAscii() {
  RemoveFile("IDASCI32.DLL");
  RemoveCoreIfUnused();
}
void TBDEFileSet::RemoveDBase() {
  RemoveFile("IDDBAS32.DLL");
  RemoveCoreIfUnused();
}
void TBDEFileSet::RemoveODBC() {
  RemoveFile("IDODBC32.DLL");
  RemoveCoreIfUnused();
}
void TBDEFileSet::RemoveParadox() {
  if (!HasSQLEngine() && !HasQBE()) RemoveFile("IDPDX32.DLL");
  RemoveCoreIfUnused();
}
void TBDEFileSet::RemoveSQLEngine() {
  RemoveFile("IDSQL32.DLL");
  if (!HasParadox()) RemoveFile("IDPDX32.DLL");
  RemoveCoreIfUnused();
}
void TBDEFileSet::RemoveQBE() {
  RemoveFile("IDQBE32.DLL");
  if (!HasParadox()) RemoveFile("IDPDX32.DLL");
  RemoveCoreIfUnused();
}

void TBDEFileSet::RemoveDB2() {
  RemoveFile("SQLDB232.DLL");
  RemoveSQLLinkHelp();
}
void TBDEFileSet::RemoveInformix() {
  RemoveFile("SQLINF32.DLL");
  RemoveSQLLinkHelp();
}
void TBDEFileSet::RemoveInterBase() {
  removeFiles({"SQLINT32.DLL", "GDS32.DLL", "SQL_LIC.DAT", "INTERBAS.MSG", "INTERBASE.MSG"});
  RemoveSQLLinkHelp();
}
void TBDEFileSet::RemoveMSSQL() {
  RemoveFile("SQLMSS32.DLL");
  RemoveSQLLinkHelp();
}
void TBDEFileSet::RemoveOracle() {
  RemoveFile("SQLORA32.DLL");
  RemoveSQLLinkHelp();
}
void TBDEFileSet::RemoveSybaseCT() {
  RemoveFile("SQLSSC32.DLL");
  RemoveSQLLinkHelp();
}
void TBDEFileSet::RemoveSybaseDB() {
  RemoveFile("SQLSYB32.DLL");
  RemoveSQLLinkHelp();
}

// ---- 3.0 and 3.5 ----

void TBDE30FileSet::AddCore() {
  TBDEFileSet::AddCore();
  addAdminFiles({"BDECFG32.EXE", "BDECFG32.HLP", "BDECFG32.CNT"}, nullptr);
}

void TBDE30FileSet::RemoveCoreIfUnused() {
  if (!anyPartUsed(false)) removeCoreFiles({"BDECFG32.EXE", "BDECFG32.HLP", "BDECFG32.CNT"});
}

// ---- 4.0 and later ----

void TBDE40FileSet::AddCore() {
  TBDEFileSet::AddCore();
  addAdminFiles({"BDEADMIN.EXE", "BDEADMIN.HLP", "BDEADMIN.CNT"}, "BDEADMIN.CPL");
}

void TBDE40FileSet::AddODBC() {
  AddCore();
  addFromSource({"IDODBC32.DLL", "IDDAO32.DLL"});
}

bool TBDE40FileSet::HasODBC() const { return HasCore() && HasAll({"IDODBC32.DLL", "IDDAO32.DLL"}); }

void TBDE40FileSet::RemoveCoreIfUnused() {
  if (!anyPartUsed(false)) removeCoreFiles({"BDEADMIN.EXE", "BDEADMIN.HLP", "BDEADMIN.CNT", "BDEADMIN.CPL"});
}

void TBDE40FileSet::RemoveODBC() {
  removeFiles({"IDODBC32.DLL", "IDDAO32.DLL"});
  RemoveCoreIfUnused();
}

void TBDE45FileSet::AddAll(bool ignoreErrors) {
  ignoringErrors(ignoreErrors, [&] { AddAccess(); });
  TBDE40FileSet::AddAll(ignoreErrors);
}

bool TBDE45FileSet::HasFull() const { return TBDE40FileSet::HasFull() && HasAccess(); }

void TBDE45FileSet::RemoveCoreIfUnused() {
  if (!anyPartUsed(true)) removeCoreFiles({"BDEADMIN.EXE", "BDEADMIN.HLP", "BDEADMIN.CNT", "BDEADMIN.CPL"});
}

void TBDE50FileSet::AddLocaleLibraries() {
  std::string dir = RemoveBackslash(ReadRegistryString(rkLocalMachine, kBLW32Key, "BLAPIPATH", ""));
  if (dir.empty() || !platform::directoryExists(dir)) throw IEInstallBDE(kLocaleError);
  for (const char* name : {"ceeurope.btl", "europe.btl", "fareast.btl", "japan.btl", "other.btl", "usa.btl",
                           "charset.cvb", "bantam.dll"})
    ignoringErrors(true, [&] { AddFile(AddBackslash(dir) + name, TpsContainerDestDir::classInfo()); });
}

// bantam.dll goes with the other locale libraries: AddLocaleLibraries added it, and a group
// whose core is gone would otherwise keep installing it alone.
void TBDE50FileSet::RemoveLocaleLibraries() {
  for (const std::string& name : membersWithExtension(*bde_, {".BTL"})) RemoveFile(name);
  RemoveFile("CHARSET.CVB");
  RemoveFile("BANTAM.DLL");
}

std::unique_ptr<TBDEFileSet> CreateBDEFileSetForVersion(TInstallBDE* installBDE, const std::string& version) {
  if (version.size() < 3)
    throw IEBDEVersionInvalid(
        "The BDE DLL idapi32.dll has an invalid version. Cannot determine the version of the BDE that is on your "
        "computer");
  std::string head = version.substr(0, 3);
  if (head == "3.0") return std::make_unique<TBDE30FileSet>(installBDE);
  if (head == "3.5") return std::make_unique<TBDE35FileSet>(installBDE);
  if (head == "4.0") return std::make_unique<TBDE40FileSet>(installBDE);
  if (head == "4.5") return std::make_unique<TBDE45FileSet>(installBDE);
  return std::make_unique<TBDE50FileSet>(installBDE);
}

std::unique_ptr<TBDEFileSet> CreateBDEFileSet(TInstallBDE* installBDE) {
  try {
    TVersionResource reader(nullptr);
    std::string version = reader.FileVersionOf(AddBackslash(TBDEFileSet::SourceDirectory()) + "idapi32.dll");
    return CreateBDEFileSetForVersion(installBDE, version);
  } catch (const Exception&) {
    return std::make_unique<TBDE40FileSet>(installBDE);
  }
}

}  // namespace kestrune
