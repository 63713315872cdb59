// Shortcuts and uninstalling under Wine with the system's own clients: every .lnk the
// shortcuts write is loaded back through the shell's link object, the .url through the
// system's INI reader; the Program Manager client talks to Wine's shell and to a DDE
// server of these tests (items added, found, replaced, and every refusal); the
// uninstaller's removal walk removes what the entry lists and nothing else.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../objects/tree_fixture.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TProgramManager.h"
#include "objects/cmp_TUninstallEXE.h"
#include "objects/routines_Uninstall.h"
#include "objects/uninstall_entry.h"
#include "paths/routines_ExpandPaths.h"
#include "platform/dde.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/system.h"
#include "routines/routines_System.h"
#include "runtime/sysutils.h"

namespace kestrune::test {

namespace {

const std::string kProduct = "Zarvotill";
const std::string kDir = "C:\\kestrune-shortcuts";
const std::string kSharedDLLs = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

void writeFile(const std::string& path, const std::string& text) { platform::writeWholeFile(path, text.data(), text.size()); }

class ShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteUninstallEntry(kProduct);
    CreateDirectories(kDir + "\\Data");
    engine = Make<TTestEngine>(&form, "Install");
    engine->SetDestDir(kDir);
  }
  void TearDown() override { DeleteUninstallEntry(kProduct); }

  // An install file already in place, processed as a run would.
  TTestFile* installed(const std::string& name, const std::string& destName, const std::string& subDir = "") {
    auto* file = Make<TTestFile>(&form, name, engine);
    file->SetDestDir(subDir);
    file->SetDestName(destName);
    writeFile(file->DestPath(), "MZ " + destName);
    file->Process();
    AppendUninstallFileLine(kUninstallRoot + kProduct, file->DestPath(), true);  // the test file records nothing itself
    return file;
  }

  TTestForm form;
  TTestEngine* engine = nullptr;
};

}  // namespace

TEST_F(ShortcutsTest, InstalledShortcutsReadBackAndTheUninstallerRemovesOnlyWhatIsListed) {
  TTestFile* program = installed("Pokladna", "Pokladna.exe");
  TTestFile* shared = installed("Shared", "Sdilena.dll", "\\Data");
  auto* uninstaller = Make<TUninstallEXE>(&form, "Uninstall", engine);
  uninstaller->SetDestName("uninstall.exe");
  writeFile(uninstaller->DestPath(), "MZ");
  uninstaller->SetProcessed(true);
  uninstaller->WriteUninstallInfo(kUninstallRoot + kProduct);
  {
    auto key = platform::RegKey::create(platform::RegRoot::LocalMachine, kSharedDLLs);
    key.writeDword(shared->DestPath(), 2);
  }

  auto* group = Make<TMainLinkGroup>(&form, "MainGroup", engine);
  group->SetDestDir("\\Kestrune Zkouška");
  auto* program_lnk = Make<TInstallMainLink>(&form, "lnkPokladna");
  program_lnk->SetObjectLink(program);
  program_lnk->SetParameters("-p %i");
  program_lnk->SetHotKey(0x0641);
  program_lnk->SetMethod(TMethodType::mtShellLinkInterface);
  auto* remove_lnk = Make<TInstallMainLink>(&form, "lnkUninstall");
  remove_lnk->SetObjectLink(uninstaller);
  remove_lnk->SetLinkName("Odinstalovat.lnk");
  auto* web = Make<TInstallMainLink>(&form, "lnkWeb");
  web->SetObjectLocation("http://www.zarvotill.cz");
  EXPECT_EQ(web->LinkName(), "www.zarvotill.cz.URL");
  group->Process();

  const std::string folder = GetProgramsDir() + "\\Kestrune Zkouška";
  platform::ShellLinkData link = platform::loadShellLink(folder + "\\Pokladna.lnk");
  EXPECT_TRUE(platform::sameFile(link.path, program->DestPath())) << link.path;
  EXPECT_EQ(link.arguments, "-p " + kDir);
  EXPECT_EQ(link.workingDirectory, kDir);
  EXPECT_EQ(link.hotKey, 0x0641);
  link = platform::loadShellLink(folder + "\\Odinstalovat.lnk");
  EXPECT_TRUE(platform::sameFile(link.path, uninstaller->DestPath())) << link.path;
  EXPECT_EQ(link.arguments, kProduct);
  // Read by the system's INI reader: Wine's URL object crashes loading any .url file.
  EXPECT_EQ(platform::readProfileString(folder + "\\www.zarvotill.cz.URL", "InternetShortcut", "URL"),
            "http://www.zarvotill.cz");

  std::optional<UninstallEntry> entry = ReadUninstallEntry(kProduct);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->uninstallString, "\"" + kDir + "\\uninstall.exe\" " + kProduct);
  EXPECT_EQ(entry->files, (std::vector<std::string>{program->DestPath(), shared->DestPath(), folder + "\\Pokladna.lnk",
                                                    folder + "\\Odinstalovat.lnk", folder + "\\www.zarvotill.cz.URL"}));

  // A user's own file keeps the product folder; the shared file stays for its other user.
  writeFile(kDir + "\\poznamky.txt", "moje");
  UninstallReport report = RemoveProduct(kProduct, "");
  EXPECT_TRUE(report.notRemoved.empty());
  EXPECT_EQ(report.sharedKept, std::vector<std::string>{shared->DestPath()});
  EXPECT_FALSE(platform::fileExists(program->DestPath()));
  EXPECT_TRUE(platform::fileExists(shared->DestPath()));
  EXPECT_EQ(platform::RegKey::open(platform::RegRoot::LocalMachine, kSharedDLLs)->tryReadDword(shared->DestPath()), 1u);
  EXPECT_FALSE(platform::directoryExists(folder));
  EXPECT_TRUE(platform::fileExists(kDir + "\\poznamky.txt"));
  EXPECT_TRUE(platform::fileExists(uninstaller->DestPath()));  // not listed: the running uninstaller removes itself
  EXPECT_FALSE(ReadUninstallEntry(kProduct));
}

TEST(ProgramManagerDde, WineShellCreatesTheGroup) {
  TProgramManager manager(nullptr);
  manager.CreateGroup("Kestrune DDE");
  EXPECT_TRUE(manager.Connected());
  EXPECT_TRUE(platform::directoryExists(GetProgramsDir() + "\\Kestrune DDE"));
  platform::removeDirectory(GetProgramsDir() + "\\Kestrune DDE");
}

TEST(ProgramManagerDde, ItemsAreAddedFoundReplacedAndRefusalsRaise) {
  const std::string server = ExtractFileDir(platform::moduleFileName()) + "\\ddeserver.exe";
  platform::startProcess("\"" + server + "\" KESTRUNETEST");
  TProgramManager manager(nullptr, "KESTRUNETEST");
  for (int i = 0; i < 50 && !manager.Connected(); ++i) {
    try {
      manager.Connect();
    } catch (const EAIPMCannotOpen&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ASSERT_TRUE(manager.Connected());
  manager.CreateGroup("Zarvotill");
  manager.AddItem("\"C:\\Z\\Pokladna.exe\" -a", "Pokladna", "", "\"C:\\Z\"", 0, "");
  manager.AddItem("\"C:\\Z\\Nastaveni.exe\" ", "Nastavení", "", "\"C:\\Z\"", 0, "");
  EXPECT_EQ(manager.ItemCount(), 2);
  EXPECT_EQ(manager.FindItem("Nastavení"), 2);
  EXPECT_EQ(manager.ItemCommandLine(1), "C:\\Z\\Pokladna.exe\" -a");
  manager.ReplaceItem("Pokladna");
  EXPECT_EQ(manager.FindItem("Pokladna"), -1);
  EXPECT_EQ(manager.FindItem("Nastavení"), 1);

  EXPECT_THROW(manager.CreateGroup("Fail"), EAIPMCannotCreateGroup);
  EXPECT_THROW(manager.AddItem("x", "Fail", "", "", 0, ""), EAIPMCannotAddItem);
  EXPECT_THROW(manager.ReplaceItem("Fail"), EAIPMCannotReplaceItem);
  platform::DdeConversation control;
  ASSERT_TRUE(control.open("KESTRUNETEST", "KESTRUNETEST"));
  control.execute("[Quit()]");
}

}  // namespace kestrune::test
