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
#include "runtime/seams.h"
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
  return RemoveBackslash(KitDirectoryForDatabaseEngine(true));
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
}

void TBDEFileSet::addFromSource(std::initializer_list<const char*> fileNames) {
  std::string dir = SourceDirectory();
  for (const char* name : fileNames) AddFile(AddBackslash(dir) + name, TpsContainerDestDir::classInfo());
}

void TBDEFileSet::addFiles(const std::vector<BDEPartFile>& files) {
  std::string engineDir;
  auto engine = [&] {
    if (engineDir.empty()) engineDir = AddBackslash(SourceDirectory());
    return engineDir;
  };
  const ClassInfo& dest = TpsContainerDestDir::classInfo();
  for (const BDEPartFile& f : files) {
    switch (f.source) {
      case BDEFileSource::Engine: AddFile(engine() + f.name, dest); break;
      case BDEFileSource::System: AddFile(AddBackslash(GetSystemDir()) + f.name, dest); break;
      case BDEFileSource::Kit: AddFile(AddBackslash(kitDirectory()) + f.name, dest); break;
      case BDEFileSource::InterBaseRoot: {
        std::string root = AddBackslash(interBaseRoot());
        if (platform::fileExists(root + f.name)) AddFile(root + f.name, dest);
        else if (platform::fileExists(root + f.orElse)) AddFile(root + f.orElse, dest);
        else throw IEBDENoIntrbaseMsgFile("The Interbase MSG file could not be found");
        break;
      }
      case BDEFileSource::EngineElseSystem:
        // The control panel applet goes to the system folder, from the engine's own folder
        // when it is there, else (errors ignored) from this machine's system folder.
        if (platform::fileExists(engine() + f.name)) AddFile(engine() + f.name, TpsSystem::classInfo());
        else ignoringErrors(true, [&] { AddFile(AddBackslash(GetSystemDir()) + f.name, TpsSystem::classInfo()); });
        break;
    }
  }
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
  addFiles(adminFiles());
}

void TBDEFileSet::AddSQLLinkHelp() { addFromSource({"SQLLNK32.HLP", "SQLLNK32.CNT"}); }

void TBDEFileSet::AddAll(bool ignoreErrors) {
  for (BDEPart part : {BDEPart::Ascii, BDEPart::DBase, BDEPart::ODBC, BDEPart::Paradox, BDEPart::SQLEngine, BDEPart::QBE})
    ignoringErrors(ignoreErrors, [&] { AddPart(part); });
}

// ---- the parts ----

namespace {

constexpr unsigned bit(BDEPart part) { return 1u << static_cast<int>(part); }

const BDEPartFiles& basePartFiles(BDEPart part) {
  using enum BDEFileSource;
  static const BDEPartFiles parts[] = {
      /* Access */ {false, {{"IDDA3532.DLL"}, {"IDDAO32.DLL", Engine, bit(BDEPart::ODBC)}}},
      /* Ascii */ {false, {{"IDASCI32.DLL"}}},
      /* DBase */ {false, {{"IDDBAS32.DLL"}}},
      /* ODBC */ {false, {{"IDODBC32.DLL"}}},
      /* Paradox */ {false, {{"IDPDX32.DLL", Engine, bit(BDEPart::SQLEngine) | bit(BDEPart::QBE)}}},
      /* SQLEngine */ {false, {{"IDSQL32.DLL"}, {"IDPDX32.DLL", Engine, bit(BDEPart::Paradox)}}},
      /* QBE */ {false, {{"IDQBE32.DLL"}, {"IDPDX32.DLL", Engine, bit(BDEPart::Paradox)}}},
      /* DB2 */ {true, {{"SQLDB232.DLL"}}},
      /* Informix */ {true, {{"SQLINF32.DLL"}}},
      /* InterBase */
      {true, {{"SQLINT32.DLL"}, {"GDS32.DLL", System}, {"SQL_LIC.DAT", Kit}, {"INTERBASE.MSG", InterBaseRoot, 0, "INTERBAS.MSG"}}},
      /* MSSQL */ {true, {{"SQLMSS32.DLL"}}},
      /* Oracle */ {true, {{"SQLORA32.DLL"}}},
      /* SybaseCT */ {true, {{"SQLSSC32.DLL"}}},
      /* SybaseDB */ {true, {{"SQLSYB32.DLL"}}},
  };
  return parts[static_cast<int>(part)];
}

}  // namespace

const BDEPartFiles& TBDEFileSet::partFiles(BDEPart part) const { return basePartFiles(part); }

const std::vector<BDEPartFile>& TBDEFileSet::adminFiles() const {
  static const std::vector<BDEPartFile> none;
  return none;
}

void TBDEFileSet::AddPart(BDEPart part) {
  const BDEPartFiles& table = partFiles(part);
  table.sqlLink ? AddSQLLinkHelp() : AddCore();
  addFiles(table.files);
}

bool TBDEFileSet::HasPart(BDEPart part) const {
  const BDEPartFiles& table = partFiles(part);
  if (table.sqlLink ? !HasAll({"SQLLNK32.HLP", "SQLLNK32.CNT"}) : !HasCore()) return false;
  for (const BDEPartFile& f : table.files)
    if (!Has(f.name) && !(f.orElse && Has(f.orElse))) return false;
  return true;
}

void TBDEFileSet::RemovePart(BDEPart part) {
  const BDEPartFiles& table = partFiles(part);
  for (const BDEPartFile& f : table.files) {
    bool kept = false;
    for (int other = 0; other <= static_cast<int>(BDEPart::SybaseDB) && !kept; ++other)
      kept = (f.keptWhile & (1u << other)) && HasPart(static_cast<BDEPart>(other));
    if (kept) continue;
    RemoveFile(f.name);
    if (f.orElse) RemoveFile(f.orElse);
  }
  table.sqlLink ? RemoveSQLLinkHelp() : RemoveCoreIfUnused();
}

void TBDEFileSet::AddAccess() { AddPart(BDEPart::Access); }
void TBDEFileSet::AddAscii() { AddPart(BDEPart::Ascii); }
void TBDEFileSet::AddDBase() { AddPart(BDEPart::DBase); }
void TBDEFileSet::AddODBC() { AddPart(BDEPart::ODBC); }
void TBDEFileSet::AddParadox() { AddPart(BDEPart::Paradox); }
void TBDEFileSet::AddSQLEngine() { AddPart(BDEPart::SQLEngine); }
void TBDEFileSet::AddQBE() { AddPart(BDEPart::QBE); }
void TBDEFileSet::AddDB2() { AddPart(BDEPart::DB2); }
void TBDEFileSet::AddInformix() { AddPart(BDEPart::Informix); }
void TBDEFileSet::AddInterBase() { AddPart(BDEPart::InterBase); }
void TBDEFileSet::AddMSSQL() { AddPart(BDEPart::MSSQL); }
void TBDEFileSet::AddOracle() { AddPart(BDEPart::Oracle); }
void TBDEFileSet::AddSybaseCT() { AddPart(BDEPart::SybaseCT); }
void TBDEFileSet::AddSybaseDB() { AddPart(BDEPart::SybaseDB); }

bool TBDEFileSet::HasCore() const {
  return HasAll({"IDAPI32.CNF", "IDAPI32.DLL", "BLW32.DLL", "IDBAT32.DLL", "IDDR32.DLL"}) && Has(resourceDLL());
}
bool TBDEFileSet::HasFull() const {
  return HasCore() && HasAscii() && HasDBase() && HasODBC() && HasParadox() && HasSQLEngine() && HasQBE();
}
bool TBDEFileSet::HasAccess() const { return HasPart(BDEPart::Access); }
bool TBDEFileSet::HasAscii() const { return HasPart(BDEPart::Ascii); }
bool TBDEFileSet::HasDBase() const { return HasPart(BDEPart::DBase); }
bool TBDEFileSet::HasODBC() const { return HasPart(BDEPart::ODBC); }
bool TBDEFileSet::HasParadox() const { return HasPart(BDEPart::Paradox); }
bool TBDEFileSet::HasSQLEngine() const { return HasPart(BDEPart::SQLEngine); }
bool TBDEFileSet::HasQBE() const { return HasPart(BDEPart::QBE); }
bool TBDEFileSet::HasDB2() const { return HasPart(BDEPart::DB2); }
bool TBDEFileSet::HasInformix() const { return HasPart(BDEPart::Informix); }
bool TBDEFileSet::HasInterBase() const { return HasPart(BDEPart::InterBase); }
bool TBDEFileSet::HasMSSQL() const { return HasPart(BDEPart::MSSQL); }
bool TBDEFileSet::HasOracle() const { return HasPart(BDEPart::Oracle); }
bool TBDEFileSet::HasSybaseCT() const { return HasPart(BDEPart::SybaseCT); }
bool TBDEFileSet::HasSybaseDB() const { return HasPart(BDEPart::SybaseDB); }

void TBDEFileSet::RemoveFile(const std::string& fileName) {
  for (int i = 0; i < bde_->FileCount(); ++i) {
    TCustomInstallFile* file = bde_->Files(i);
    if (!SameText(Trim(file->FileName()), fileName)) continue;
    delete file;
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

void TBDEFileSet::removeCoreFiles() {
  removeFiles({"IDAPI32.DLL", resourceDLL().c_str(), "BLW32.DLL", "IDAPI32.CNF", "IDDR32.DLL", "IDBAT32.DLL"});
  RemoveLocaleLibraries();
  for (const BDEPartFile& f : adminFiles()) RemoveFile(f.name);
}

void TBDEFileSet::RemoveCoreIfUnused() {
  if (!anyPartUsed(false)) removeCoreFiles();
}

void TBDEFileSet::RemoveSQLLinkHelp() { removeFiles({"SQLLNK32.HLP", "SQLLNK32.CNT"}); }

void TBDEFileSet::RemoveAll() { RemoveCoreIfUnused(); }

void TBDEFileSet::RemoveAccess() { RemovePart(BDEPart::Access); }
void TBDEFileSet::RemoveAscii() { RemovePart(BDEPart::Ascii); }
void TBDEFileSet::RemoveDBase() { RemovePart(BDEPart::DBase); }
void TBDEFileSet::RemoveODBC() { RemovePart(BDEPart::ODBC); }
void TBDEFileSet::RemoveParadox() { RemovePart(BDEPart::Paradox); }
void TBDEFileSet::RemoveSQLEngine() { RemovePart(BDEPart::SQLEngine); }
void TBDEFileSet::RemoveQBE() { RemovePart(BDEPart::QBE); }
void TBDEFileSet::RemoveDB2() { RemovePart(BDEPart::DB2); }
void TBDEFileSet::RemoveInformix() { RemovePart(BDEPart::Informix); }
void TBDEFileSet::RemoveInterBase() { RemovePart(BDEPart::InterBase); }
void TBDEFileSet::RemoveMSSQL() { RemovePart(BDEPart::MSSQL); }
void TBDEFileSet::RemoveOracle() { RemovePart(BDEPart::Oracle); }
void TBDEFileSet::RemoveSybaseCT() { RemovePart(BDEPart::SybaseCT); }
void TBDEFileSet::RemoveSybaseDB() { RemovePart(BDEPart::SybaseDB); }

// ---- 3.0 and 3.5: the configuration program ----

const std::vector<BDEPartFile>& TBDE30FileSet::adminFiles() const {
  static const std::vector<BDEPartFile> files = {{"BDECFG32.EXE"}, {"BDECFG32.HLP"}, {"BDECFG32.CNT"}};
  return files;
}

// ---- 4.0 and later: the administrator, and ODBC with the DAO driver ----

const std::vector<BDEPartFile>& TBDE40FileSet::adminFiles() const {
  static const std::vector<BDEPartFile> files = {
      {"BDEADMIN.EXE"}, {"BDEADMIN.HLP"}, {"BDEADMIN.CNT"}, {"BDEADMIN.CPL", BDEFileSource::EngineElseSystem}};
  return files;
}

const BDEPartFiles& TBDE40FileSet::partFiles(BDEPart part) const {
  static const BDEPartFiles odbc = {false, {{"IDODBC32.DLL"}, {"IDDAO32.DLL"}}};
  return part == BDEPart::ODBC ? odbc : TBDEFileSet::partFiles(part);
}

void TBDE45FileSet::AddAll(bool ignoreErrors) {
  ignoringErrors(ignoreErrors, [&] { AddAccess(); });
  TBDE40FileSet::AddAll(ignoreErrors);
}

bool TBDE45FileSet::HasFull() const { return TBDE40FileSet::HasFull() && HasAccess(); }

void TBDE45FileSet::RemoveCoreIfUnused() {
  if (!anyPartUsed(true)) removeCoreFiles();
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
