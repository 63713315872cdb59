// The database engine group in the engine's own run under Wine: a script with the group
// is compressed and installed on a clean machine; the engine files, its registry keys,
// the merged configuration and the counts are checked afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/files.h"
#include "dbengine/cmp_TBDEFileSet.h"
#include "dbengine/cmp_TInstallBDE.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "routines/routines_Registry.h"
#include "runtime/seams.h"
#include "runtime/text_form.h"

namespace kestrune {
namespace {

const std::string kProductKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrune Engine Run";

using test::readAll;
using test::replaceAll;
using test::writeAll;
void cleanRegistry() {
  for (const char* key : {"\\Software\\Borland", "\\SOFTWARE\\Kestrune"}) DeleteRegistryTree(rkLocalMachine, key);
  DeleteRegistryTree(rkLocalMachine, kProductKey);
}

TEST(BDERun, ACleanMachineGetsTheEngineRegisteredAndConfigured) {
  registerKitClasses(ClassRegistry::Global());
  cleanRegistry();
  std::string root = platform::createTempFile("kbde");
  platform::deleteFile(root);
  root += ".d";
  for (const char* d : {"\\src", "\\arc", "\\dest"}) platform::forceDirectories(root + d);
  writeAll(root + "\\src\\IDAPI32.CNF", "[SYSTEM\\INIT]\r\nVERSION=4.51\r\n");
  writeAll(root + "\\src\\IDAPI32.DLL", "engine");
  writeAll(root + "\\src\\USA.BLL", "locale");

  std::string text = readAll(KESTRUNE_SOURCE_DIR "/tests/dbengine/bde_run.kfm");
  text = replaceAll(replaceAll(replaceAll(text, "@SRC@", root + "\\src"), "@ARC@", root + "\\arc"), "@DEST@",
                    root + "\\dest");
  auto form = engine::LoadScript(ObjectTextToBinary(text));
  TCustomInstall* install = engine::FindEngine(*form);
  ASSERT_NE(install, nullptr);
  install->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  std::string error;
  try {
    install->Process();
  } catch (const std::exception& e) {
    install->HandleInstallException(e);
    error = e.what();
  }
  ASSERT_EQ(error, "");

  const std::string bde = root + "\\dest\\BDE";
  const std::string upper = [&] {
    std::string s = bde;
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }();
  EXPECT_EQ(readAll(bde + "\\IDAPI32.DLL"), "engine");
  EXPECT_EQ(readAll(bde + "\\idapi32.cfg"), "[SYSTEM\\INIT]\r\nVERSION=4.51\r\nLANGUAGE=0009\r\n\r\n");
  EXPECT_FALSE(platform::fileExists(bde + "\\IDAPI32.CNF"));
  const char* engineKey = "\\Software\\Borland\\Database Engine";
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, engineKey, "DLLPATH", ""), upper);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, engineKey, "CONFIGFILE01", ""), bde + "\\idapi32.cfg");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, engineKey, "RESOURCE", ""), "0009");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, "\\Software\\Borland\\BLW32", "LOCALE_LIB1", ""), bde + "\\USA.BLL");
  EXPECT_EQ(ReadRegistryInteger(rkLocalMachine, engineKey, "UseCount", 0), 1);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kProductKey + "\\BDE", "Entries", ""), "1");

  form.reset();
  cleanRegistry();
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(root), ec);
}

// The Zarvotill script's engine group is what the file set makes of the demo's engine
// installation (engine 5.0 in the kit's Engine folder): loaded on a machine with that
// engine, every engine part reads as present and no SQL Link; its members given up and the
// whole engine added again give the same names, files and settings.
TEST(BDERun, TheZarvotillScriptHoldsTheDemoEnginesWholeSet) {
  registerKitClasses(ClassRegistry::Global());
  cleanRegistry();
  static std::string kit;
  kit = std::string("Z:") + KESTRUNE_KIT_DIR;
  std::replace(kit.begin(), kit.end(), '/', '\\');
  SetKitDirectoryLookup([](bool) { return kit; });
  const char* engineKey = "\\Software\\Borland\\Database Engine";
  WriteRegistryString(rkLocalMachine, engineKey, "DLLPATH", kit + "\\Engine");
  WriteRegistryString(rkLocalMachine, engineKey, "RESOURCE", "0009");
  WriteRegistryString(rkLocalMachine, "\\Software\\Borland\\BLW32", "BLAPIPATH", kit + "\\Engine");

  const std::string text = replaceAll(readAll(KESTRUNE_SOURCE_DIR "/src/resources/zarvotill.kfm"), "'C:\\Kestrune", "'" + kit);
  auto form = engine::LoadScript(ObjectTextToBinary(text));
  auto* install = dynamic_cast<TCustomInstall*>(engine::FindEngine(*form));
  auto* bde = dynamic_cast<TInstallBDE*>(form->FindComponent("BDE"));
  ASSERT_NE(bde, nullptr);
  ASSERT_EQ(install->PresetupFiles()->Count(), 1);
  EXPECT_EQ(install->PresetupFiles()->Strings(0), kit + "\\IDAPINST.DLL");
  EXPECT_TRUE(platform::fileExists(install->PresetupFiles()->Strings(0)));
  EXPECT_EQ(bde->Container(), install);
  EXPECT_EQ(static_cast<TComponent*>(bde->DestDirType()), form->FindComponent("psBDEDLL"));
  EXPECT_STREQ(bde->FileSet()->ClassName(), "TBDE50FileSet");
  const ClassInfo& info = TInstallBDE::classInfo();
  for (const char* part : {"bdFull", "bdParadox", "bdDBase", "bdAscii", "bdAccess", "bdODBC", "bdSQLEngine", "bdQBEEngine"})
    EXPECT_EQ(info.FindProp(part)->getOrd(*bde), 1) << part;
  for (const char* link : {"slMSSQLServer", "slSybaseDB", "slSybaseCT", "slIntrBase", "slOracle", "slInformix", "slDB2"})
    EXPECT_EQ(info.FindProp(link)->getOrd(*bde), 0) << link;

  auto members = [&] {
    std::vector<std::string> lines;
    for (int i = 0; i < bde->FileCount(); ++i) {
      const TCustomInstallFile* f = bde->Files(i);
      lines.push_back(f->Name() + "|" + f->FileName() + "|" + f->IncludeFromDir() + "|" +
                      (f->DestDirType() ? f->DestDirType()->Name() : "nil") + "|" + f->DestDir() + "|" +
                      std::to_string(static_cast<int>(f->OverwriteMode())) + "|" +
                      std::to_string(static_cast<int>(f->FileType())) + "|" + std::to_string(f->UpdateDLLCounter()) +
                      "|" + std::to_string(f->Net()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  const std::vector<std::string> scripted = members();
  EXPECT_EQ(scripted.size(), 27u);  // BDEFile .. BDEFile24, BDEConfigFile, InstallFile27
  std::vector<TCustomInstallFile*> given;
  for (int i = 0; i < bde->FileCount(); ++i)
    if (bde->Files(i)->Name() != "InstallFile27") given.push_back(bde->Files(i));
  for (TCustomInstallFile* f : given) delete f;
  EXPECT_EQ(info.FindProp("bdFull")->getOrd(*bde), 0);
  info.FindProp("bdFull")->setOrd(*bde, 1);
  EXPECT_EQ(members(), scripted);

  form.reset();
  SetKitDirectoryLookup(&FindKitDirectory);
  cleanRegistry();
}

}  // namespace
}  // namespace kestrune
