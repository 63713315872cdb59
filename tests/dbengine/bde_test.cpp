// The database engine group against a fake engine installation made here: engine files in
// a scratch folder, the engine's registry keys, and (under Wine) the kit's IDAPINST.DLL.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "archive/test_util.h"
#include "common/error_text.h"
#include "dbengine/cmp_TBDEFileSet.h"
#include "dbengine/cmp_TInstallBDE.h"
#include "dbengine/idapi_config.h"
#include "dbengine/idapinst_library.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/tree_fixture.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/reader.h"
#include "runtime/seams.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"

namespace kestrune {
namespace {

using test::ScratchDir;
const char* const kUninstallKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvotill";
std::string kitDir;

std::string kitDirectoryHook(bool) { return kitDir; }
void touch(const std::string& path, const std::string& text = "x") { std::ofstream(path, std::ios::binary) << text; }
std::string reg(const std::string& key, const std::string& name) {
  return ReadRegistryString(rkLocalMachine, key, name, "<none>");
}
std::string slurp(const std::string& path) {
  test::Bytes b = test::readFile(path);
  return std::string(b.begin(), b.end());
}
bool windowsPaths() { return platform::kPathDelim == '\\'; }

class BDEGroup : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegistryTree(rkLocalMachine, "\\Software\\Borland");
    DeleteRegistryTree(rkLocalMachine, kUninstallKey);
    kitDir = scratch.path();
    SetKitDirectoryLookup(&kitDirectoryHook);
    engine = new test::TTestEngine(&form);
    engine->SetName("Install");
  }
  void TearDown() override {
    DeleteRegistryTree(rkLocalMachine, "\\Software\\Borland");
    DeleteRegistryTree(rkLocalMachine, kUninstallKey);
    SetKitDirectoryLookup(nullptr);
  }
  std::string dir(const std::string& name) {
    std::string path = scratch / name;
    platform::forceDirectories(path);
    return path;
  }
  std::vector<std::string> members(const TInstallBDE& bde) const {
    std::vector<std::string> names;
    for (int i = 0; i < bde.FileCount(); ++i) names.push_back(UpperCase(bde.Files(i)->FileName()));
    std::sort(names.begin(), names.end());
    return names;
  }
  TInstallFile* member(TInstallBDE& bde, const std::string& name, const std::string& destDir) {
    auto* file = new TInstallFile(&form);
    file->SetFileName(name);
    file->SetContainer(&bde);
    file->SetDestDirType(nullptr);
    file->SetDestDir(destDir);
    return file;
  }

  ScratchDir scratch;
  test::TTestForm form;
  test::TTestEngine* engine = nullptr;
};

TEST_F(BDEGroup, CreationDefaultsAndTheEngineAsContainer) {
  WriteRegistryString(rkLocalMachine, "\\SOFTWARE\\BORLAND\\DATABASE ENGINE", "RESOURCE", "0007");
  auto* other = new TInstallFileGroup(&form);
  auto* bde = new TInstallBDE(&form);
  bde->SetContainer(other);
  EXPECT_EQ(bde->Container(), engine);
  EXPECT_EQ(bde->CallObject()->Container(), engine);
  EXPECT_EQ(bde->GroupName(), "Borland Database Engine");
  EXPECT_EQ(bde->Description()->Text(), "This will install the Borland Database Engine.\r\n");
  EXPECT_EQ(bde->LanguageDLL(), "0007");
  EXPECT_STREQ(bde->FileSet()->ClassName(), "TBDE40FileSet");  // no engine on this machine
  EXPECT_EQ(CurrentInstallBDE(), bde);
  EXPECT_EQ(test::messageOf([&] { bde->ConfigMember(); }), "Could not find a IDAPI.CNF file in the TInstallBDE");
}

// The settings' values survive the stream with every class's (class_round_trip_test);
// here what the text holds.
TEST_F(BDEGroup, TheScriptStreamHoldsTheGroupWithoutItsCallObject) {
  auto* bde = new TInstallBDE(&form);
  bde->SetName("BDE");
  bde->SetContainer(engine);
  const std::string text = ObjectBinaryToText(WriteComponentStream(&form));
  EXPECT_EQ(text.find("TGrabCall"), std::string::npos) << text;  // the call object is the group's own
  EXPECT_NE(text.find("bdFull = False"), std::string::npos) << text;
}

TEST_F(BDEGroup, FileSetClassFollowsTheEngineVersion) {
  auto* bde = new TInstallBDE(&form);
  const std::pair<const char*, const char*> cases[] = {{"3.0.1", "TBDE30FileSet"}, {"3.51", "TBDE35FileSet"},
                                                       {"4.01", "TBDE40FileSet"}, {"4.51", "TBDE45FileSet"},
                                                       {"5.1.0.4", "TBDE50FileSet"}};
  for (const auto& [version, cls] : cases) EXPECT_STREQ(CreateBDEFileSetForVersion(bde, version)->ClassName(), cls);
  EXPECT_THROW(CreateBDEFileSetForVersion(bde, "4."), IEBDEVersionInvalid);
  EXPECT_THROW(TBDEFileSet(nullptr), Exception);
}

TEST_F(BDEGroup, SQLLinkEntriesAreWrittenAsDriverSettings) {
  auto* bde = new TInstallBDE(&form);
  TStringList lines;
  for (const char* line : {"IGNORED=1", "[DB OPEN-ORACLE]", "SERVER NAME=A=B", "USER NAME=SHOP", "  ", "[INIT-ORACLE]",
                           "VERSION=8", "=nameless"})
    lines.Add(line);
  bde->SetSQLLinkEntries(lines);
  bde->WriteSQLLinkSettings();
  const std::string drivers = std::string(kBDEDriversKey) + "\\ORACLE";
  EXPECT_EQ(reg(drivers + "\\DB OPEN", "SERVER NAME"), "A");
  EXPECT_EQ(reg(drivers + "\\DB OPEN", "USER NAME"), "SHOP");
  EXPECT_EQ(reg(drivers + "\\INIT", "VERSION"), "8");
  EXPECT_EQ(reg(drivers + "\\INIT", ""), "<none>");
  EXPECT_EQ(reg(kBDEDriversKey, "IGNORED"), "<none>");
}

TEST_F(BDEGroup, ADifferentInstalledLanguageStopsOnlyWhenTheHandlerSaysSo) {
  WriteRegistryString(rkLocalMachine, "\\SOFTWARE\\BORLAND\\DATABASE ENGINE", "RESOURCE", "0007 ");
  auto* bde = new TInstallBDE(&form);
  bde->SetLanguageDLL("0009");
  std::string seen;
  bde->OnLanguageDifferent = [&](TInstallContainer*, const std::string& installed, bool& carryOn,
                                 const std::string& wanted) {
    seen = installed + ">" + wanted;
    carryOn = false;
  };
  EXPECT_EQ(test::messageOf([&] { bde->ProcessHelpers(); }),
            "The Borland Database Engine installed on this machine is a different language from the Borland Database "
            "Engine being installed");
  EXPECT_EQ(seen, "0007 >0009");
  bde->OnLanguageDifferent = nullptr;  // unassigned: the install goes on (and fails further on)
  EXPECT_EQ(test::messageOf([&] { bde->ProcessHelpers(); }).find("different language"), std::string::npos);
}

TEST_F(BDEGroup, UninstallCountGrowsPerInstallation) {
  auto* bde = new TInstallBDE(&form);
  bde->WriteUninstallInfo(kUninstallKey);
  bde->WriteUninstallInfo(kUninstallKey);
  EXPECT_EQ(reg(std::string(kUninstallKey) + "\\BDE", "Entries"), "2");
}

// The building machine's engine: files in a folder named by DLLPATH, locale libraries
// named in BLW32, SQL Link driver settings; the options add and remove members.
TEST_F(BDEGroup, OptionsAddAndRemoveTheFilesOfEachPart) {
  if (!windowsPaths()) GTEST_SKIP() << "engine paths are Windows paths";
  std::string engineDir = dir("Engine");
  for (const char* f : {"idapi32.dll", "BLW32.DLL", "IDDR32.DLL", "IDBAT32.DLL", "IDR20009.DLL", "BDEADMIN.EXE",
                        "BDEADMIN.HLP", "BDEADMIN.CNT", "BDEADMIN.CPL", "IDSQL32.DLL", "IDPDX32.DLL", "IDQBE32.DLL",
                        "SQLLNK32.HLP", "SQLLNK32.CNT", "SQLORA32.DLL", "SQLSYB32.DLL", "USA.BLL", "EUROPE.BLL"})
    touch(engineDir + "\\" + f);
  touch(kitDir + "\\IDAPI32.CNF", "[SYSTEM\\INIT]\r\n");
  WriteRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", engineDir + ";C:\\OTHER");
  WriteRegistryString(rkLocalMachine, kBLW32Key, "LOCALE_LIB1", engineDir + "\\USA.BLL");
  WriteRegistryString(rkLocalMachine, kBLW32Key, "LOCALE_LIB2", engineDir + "\\EUROPE.BLL");
  WriteRegistryString(rkLocalMachine, kBLW32Key, "BLAPIPATH", engineDir);
  WriteRegistryString(rkLocalMachine, std::string(kBDEDriversKey) + "\\ORACLE\\DB OPEN", "SERVER NAME", "SHOP");
  WriteRegistryString(rkLocalMachine, std::string(kBDEDriversKey) + "\\ORACLE\\INIT", "VERSION", "8");
  WriteRegistryString(rkLocalMachine, std::string(kBDEDriversKey) + "\\SYBASE\\INIT", "VERSION", "11");
  auto* bde = new TInstallBDE(&form);
  bde->SetLanguageDLL("0009");
  TBDEFileSet& set = *bde->FileSet();
  const auto* info = &TInstallBDE::classInfo();
  auto setOption = [&](const char* name, bool on) { info->FindProp(name)->setOrd(*bde, on); };
  auto option = [&](const char* name) { return info->FindProp(name)->getOrd(*bde) != 0; };

  setOption("bdSQLEngine", true);
  const std::vector<std::string> core = {"BDEADMIN.CNT", "BDEADMIN.CPL", "BDEADMIN.EXE", "BDEADMIN.HLP", "BLW32.DLL",
                                         "EUROPE.BLL",   "IDAPI32.CNF",  "IDAPI32.DLL",  "IDBAT32.DLL",  "IDDR32.DLL",
                                         "IDPDX32.DLL",  "IDR20009.DLL", "IDSQL32.DLL",  "USA.BLL"};
  EXPECT_EQ(members(*bde), core);
  EXPECT_TRUE(option("bdParadox"));
  EXPECT_FALSE(option("bdFull"));
  set.AddFile(scratch / "Engine\\idsql32.dll", TpsSystem::classInfo());  // already a member: nothing
  EXPECT_EQ(bde->FileCount(), static_cast<int>(core.size()));
  EXPECT_EQ(form.FindComponent("BDEFile")->ClassName(), std::string("TInstallFile"));
  EXPECT_NE(form.FindComponent("BDEConfigFile"), nullptr);

  setOption("bdSQLEngine", false);
  EXPECT_EQ(bde->FileCount(), static_cast<int>(core.size()) - 1);
  setOption("bdQBEEngine", true);
  setOption("bdParadox", false);  // QBE still needs IDPDX32.DLL
  EXPECT_TRUE(set.Has("idpdx32.dll"));
  setOption("bdQBEEngine", false);  // Paradox reads as present: IDPDX32.DLL stays
  EXPECT_TRUE(option("bdParadox"));
  setOption("bdParadox", false);  // now nothing uses the core
  EXPECT_EQ(bde->FileCount(), 0);

  setOption("slOracle", true);
  setOption("slSybaseDB", true);
  EXPECT_EQ(members(*bde), (std::vector<std::string>{"SQLLNK32.CNT", "SQLLNK32.HLP", "SQLORA32.DLL", "SQLSYB32.DLL"}));
  EXPECT_EQ(bde->SQLLinkEntries()->Text(),
            "[DB OPEN-ORACLE]\r\nSERVER NAME=SHOP\r\n  \r\n[INIT-ORACLE]\r\nVERSION=8\r\n  \r\n");  // no SYBASE: CT only
  setOption("slOracle", false);
  EXPECT_EQ(members(*bde), std::vector<std::string>{"SQLSYB32.DLL"});
  EXPECT_EQ(test::messageOf([&] { set.AddFile(scratch / "Engine\\MISSING.DLL", TpsSystem::classInfo()); }), "Cannot find the file " + scratch / "Engine\\MISSING.DLL" + " to add to the TInstallBDE component.");

#ifdef KESTRUNE_FAKE_IDAPI32
  platform::replaceFile(engineDir + "\\idapi32.dll", engineDir + "\\old.dll");
  touch(engineDir + "\\idapi32.dll", slurp(KESTRUNE_FAKE_IDAPI32));
  auto* bde45 = new TInstallBDE(&form);
  EXPECT_STREQ(bde45->FileSet()->ClassName(), "TBDE45FileSet");
#endif
}

#ifdef KESTRUNE_ENGINE_VERSIONS
// A host path as Wine shows it to the programs it runs.
std::string winePath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

// Engine 3.x: the configuration program instead of the administrator, ODBC without the
// DAO driver, the .BLL locale libraries named in BLW32; the last part removed takes them all.
TEST_F(BDEGroup, Version3SetsInstallTheConfigurationProgram) {
  std::string engineDir = dir("Engine3");
  for (const char* f : {"BLW32.DLL", "IDDR32.DLL", "IDBAT32.DLL", "IDR20009.DLL", "BDECFG32.EXE", "BDECFG32.HLP",
                        "BDECFG32.CNT", "BDEADMIN.EXE", "IDODBC32.DLL", "IDDAO32.DLL", "USA.BLL"})
    touch(engineDir + "\\" + f);
  touch(kitDir + "\\IDAPI32.CNF", "[SYSTEM\\INIT]\r\n");
  WriteRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", engineDir);
  WriteRegistryString(rkLocalMachine, kBLW32Key, "LOCALE_LIB1", engineDir + "\\USA.BLL");
  for (const char* version : {"3.0", "3.5"}) {
    SCOPED_TRACE(version);
    touch(engineDir + "\\idapi32.dll", slurp(winePath(KESTRUNE_ENGINE_VERSIONS "/") + version + "\\idapi32.dll"));
    auto* bde = new TInstallBDE(&form);
    EXPECT_STREQ(bde->FileSet()->ClassName(), std::string(version) == "3.0" ? "TBDE30FileSet" : "TBDE35FileSet");
    const auto* odbc = TInstallBDE::classInfo().FindProp("bdODBC");
    odbc->setOrd(*bde, true);
    EXPECT_EQ(members(*bde), (std::vector<std::string>{"BDECFG32.CNT", "BDECFG32.EXE", "BDECFG32.HLP", "BLW32.DLL",
                                                       "IDAPI32.CNF", "IDAPI32.DLL", "IDBAT32.DLL", "IDDR32.DLL",
                                                       "IDODBC32.DLL", "IDR20009.DLL", "USA.BLL"}));
    EXPECT_EQ(odbc->getOrd(*bde), 1);
    odbc->setOrd(*bde, false);
    EXPECT_EQ(bde->FileCount(), 0);
    delete bde;
  }
}

// Engine 5.0, the demo's engine installation: the locale libraries come from BLAPIPATH;
// bdFull adds the whole set with Access, clearing it removes nothing, and clearing every
// part leaves the group empty, locale libraries and bantam.dll included.
TEST_F(BDEGroup, Version5SetTakesTheLocaleLibrariesFromBLAPIPATH) {
  const std::string engineDir = winePath(KESTRUNE_DEMO_ENGINE);
  touch(kitDir + "\\IDAPI32.CNF", "[SYSTEM\\INIT]\r\n");
  WriteRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", engineDir + ";C:\\OTHER");
  auto* bde = new TInstallBDE(&form);
  bde->SetLanguageDLL("0009");
  EXPECT_STREQ(bde->FileSet()->ClassName(), "TBDE50FileSet");
  const auto* info = &TInstallBDE::classInfo();
  auto setOption = [&](const char* name, bool on) { info->FindProp(name)->setOrd(*bde, on); };
  auto option = [&](const char* name) { return info->FindProp(name)->getOrd(*bde) != 0; };
  EXPECT_THROW(setOption("bdParadox", true), IEInstallBDE);  // no BLAPIPATH for the locale libraries
  WriteRegistryString(rkLocalMachine, kBLW32Key, "BLAPIPATH", engineDir);
  setOption("bdFull", true);
  const std::vector<std::string> full = {
      "BANTAM.DLL",   "BDEADMIN.CNT", "BDEADMIN.CPL", "BDEADMIN.EXE", "BDEADMIN.HLP", "BLW32.DLL",    "CEEUROPE.BTL",
      "CHARSET.CVB",  "EUROPE.BTL",   "FAREAST.BTL",  "IDAPI32.CNF",  "IDAPI32.DLL",  "IDASCI32.DLL", "IDBAT32.DLL",
      "IDDA3532.DLL", "IDDAO32.DLL",  "IDDBAS32.DLL", "IDDR32.DLL",   "IDODBC32.DLL", "IDPDX32.DLL",  "IDQBE32.DLL",
      "IDR20009.DLL", "IDSQL32.DLL",  "JAPAN.BTL",    "OTHER.BTL",    "USA.BTL"};
  EXPECT_EQ(members(*bde), full);
  for (const char* part : {"bdFull", "bdAccess", "bdParadox", "bdSQLEngine", "bdQBEEngine"}) EXPECT_TRUE(option(part));
  setOption("bdFull", false);
  EXPECT_EQ(members(*bde), full);
  setOption("bdAccess", false);
  EXPECT_FALSE(option("bdFull"));  // 4.5 and later count Access in the full engine
  EXPECT_TRUE(bde->FileSet()->Has("IDDAO32.DLL"));  // ODBC still uses it
  for (const char* part : {"bdAscii", "bdDBase", "bdODBC", "bdSQLEngine", "bdQBEEngine", "bdParadox"})
    setOption(part, false);
  EXPECT_EQ(members(*bde), std::vector<std::string>{});
}
#endif

// Detection and Configure with the kit's IDAPINST.DLL: an existing configuration in
// another folder, a DLLPATH to reorder, three locale libraries; then a merge that fails
// and a clean machine.
TEST_F(BDEGroup, DetectsTheInstalledEngineAndConfiguresIt) {
  if (!windowsPaths()) {
    auto* bde = new TInstallBDE(&form);
    member(*bde, "IDAPI32.CNF", "/tmp");
    EXPECT_EQ(test::messageOf([&] { bde->Configure("/tmp/IDAPI32.CNF", "0009"); }), std::string("Could not load IDAPINST.DLL in cmp_TInstallBDE. If you have the UseLoadingProgram "
                                     "set to FALSE for the TInstall component, then you will need to distribute this "
                                     "file along with your installation executable file. If you are running your "
                                     "install project in the IDE, then you need to copy IDAPINST.DLL, which can be "
                                     "found in the Kestrune directory, into the directory for this project"));
    return;
  }
  const std::string bdeDir = UpperCase(dir("Bde")), oldDir = dir("Old"), cfgDir = dir("Cfg");
  touch(oldDir + "\\SHOP.CFG", "[SYSTEM\\INIT]\r\nLOCAL SHARE=TRUE\r\n[ALIASES\\SHOP]\r\nPATH=D:\\SHOP\r\n");
  WriteRegistryString(rkLocalMachine, kBDEKey, "CONFIGFILE01", oldDir + "\\SHOP.CFG");
  WriteRegistryString(rkLocalMachine, kBDEKey, "DLLPATH", "c:\\a;" + LowerCase(bdeDir) + ";c:\\b");
  WriteRegistryString(rkLocalMachine, kBDEKey, "RESOURCE", "0009");
  auto* bde = new TInstallBDE(&form);
  TInstallFile* config = member(*bde, "IDAPI32.CNF", cfgDir);
  for (const char* name : {"USA.BLL", "IDAPI32.DLL", "EUROPE.BLL", "FAREAST.BLL"}) member(*bde, name, bdeDir);
  bool mergeFailed = false;
  bde->OnMergeFailed = [&](TInstallContainer*) { mergeFailed = true; };

  bde->DetectExistingInstallation();
  EXPECT_EQ(bde->ExistingConfig(), oldDir + "\\SHOP.CFG");
  EXPECT_EQ(config->GetDestDir(), oldDir);
  EXPECT_EQ(UpperCase(bde->GetDestDir()), "C:\\A");
  bde->SetDestDir(bdeDir);
  const std::string newConfig = oldDir + "\\IDAPI32.CNF";
  touch(newConfig, "[SYSTEM\\INIT]\r\nLOCAL SHARE=FALSE\r\nVERSION=4.51\r\n");
  bde->Configure(newConfig, "0009");
  EXPECT_FALSE(mergeFailed);
  EXPECT_EQ(reg(kBDEKey, "DLLPATH"), bdeDir + ";C:\\A;C:\\B");
  EXPECT_EQ(reg(kBDEKey, "CONFIGFILE01"), oldDir + "\\SHOP.CFG");
  EXPECT_EQ(reg(kBDEKey, "SAVECONFIG"), "WIN32");
  EXPECT_EQ(reg(kBLW32Key, "BLAPIPATH"), bdeDir);
  EXPECT_EQ(reg(kBLW32Key, "LOCALE_LIB3"), bdeDir + "\\FAREAST.BLL");
  EXPECT_EQ(reg(kBLW32Key, "LOCALE_LIB4"), "<none>");
  EXPECT_EQ(slurp(oldDir + "\\SHOP.CFG"),
            "[SYSTEM\\INIT]\r\nLOCAL SHARE=TRUE\r\nVERSION=4.51\r\nLANGUAGE=0009\r\n\r\n[ALIASES\\SHOP]\r\nPATH=D:\\SHOP\r\n\r\n");
  EXPECT_FALSE(platform::fileExists(newConfig));

  // An existing configuration the library cannot read: the new one is kept as IDAPINEW.CFG.
  touch(oldDir + "\\SHOP.CFG", "not a configuration");
  touch(newConfig, "[SYSTEM\\INIT]\r\n");
  bde->Configure(newConfig, "0009");
  EXPECT_TRUE(mergeFailed);
  EXPECT_EQ(bde->ConfigFile(), oldDir + "\\IDAPINEW.CFG");
  EXPECT_EQ(reg(kBDEKey, "CONFIGFILE01"), oldDir + "\\IDAPINEW.CFG");
  EXPECT_EQ(slurp(oldDir + "\\IDAPINEW.CFG"), "[SYSTEM\\INIT]\r\nLANGUAGE=0009\r\n\r\n");

  auto library = IdapInstLibrary::load();
  library.IncrementIDAPIUseCount();
  library.IncrementIDAPIUseCount();
  // The library's codes: a file it cannot read, a text that is no configuration, a target
  // it cannot write, a language that is not 4 hex digits; a merge onto its own source.
  const std::string good = cfgDir + "\\GOOD.CFG", bad = cfgDir + "\\BAD.CFG", out = cfgDir + "\\OUT.CFG";
  touch(good, "[A]\nx=1\n[a]\nX = 2\n");
  touch(bad, "X=1\r\n");
  EXPECT_EQ(library.MergeCfg(cfgDir + "\\MISSING.CFG", "***", out, 1, false, "0009"), 1);
  EXPECT_EQ(library.MergeCfg(good, bad, out, 1, false, "0009"), 2);
  EXPECT_EQ(library.MergeCfg(good, "***", cfgDir + "\\NO\\SUCH\\OUT.CFG", 1, false, "0009"), 3);
  EXPECT_EQ(library.FixMerge(good, false, false, "00G9"), 4);
  EXPECT_EQ(library.MergeCfg(good, "***", good, 1, false, "0009"), 0);
  EXPECT_EQ(slurp(good), "[A]\r\nx=2\r\n\r\n");
  auto key = platform::RegKey::open(platform::RegRoot::LocalMachine, kBDEKey);
  EXPECT_EQ(key->tryReadDword("UseCount"), 2u);
}

TEST_F(BDEGroup, CleanMachineGetsANewConfiguration) {
  if (!windowsPaths()) GTEST_SKIP() << "needs IDAPINST.DLL";
  const std::string bdeDir = UpperCase(dir("Bde")), cfgDir = dir("Cfg");
  auto* bde = new TInstallBDE(&form);
  member(*bde, "IDAPI32.CNF", cfgDir);
  bde->SetDestDirType(nullptr);
  bde->SetDestDir(bdeDir);
  bde->SetSaveFor16Bit(true);
  bde->DetectExistingInstallation();
  EXPECT_EQ(bde->ExistingConfig(), "***");
  EXPECT_EQ(bde->GetDestDir(), bdeDir);
  touch(cfgDir + "\\IDAPI32.CNF", "[SYSTEM\\INIT]\r\nVERSION=4.51\r\n");
  bde->Configure(cfgDir + "\\IDAPI32.CNF", "0009");
  EXPECT_EQ(reg(kBDEKey, "DLLPATH"), bdeDir);
  EXPECT_EQ(reg(kBDEKey, "CONFIGFILE01"), cfgDir + "\\idapi32.cfg");
  EXPECT_EQ(reg(kBDEKey, "SAVECONFIG"), "WIN31");
  EXPECT_EQ(slurp(cfgDir + "\\idapi32.cfg"),
            "[SYSTEM\\INIT]\r\nVERSION=4.51\r\nLANGUAGE=0009\r\nCONFIG16=1\r\n\r\n");
  // The 16-bit fix-up points WIN.INI's [ODAPI] at the new configuration.
  const std::string winIni = AddBackslash(GetWindowsDir()) + "WIN.INI";
  EXPECT_EQ(platform::readProfileString(winIni, "ODAPI", "CONFIGFILE01"), cfgDir + "\\idapi32.cfg");
  platform::writeProfileString(winIni, "ODAPI", "CONFIGFILE01", "");
  EXPECT_FALSE(platform::fileExists(cfgDir + "\\IDAPI32.CNF"));
}

}  // namespace
}  // namespace kestrune
