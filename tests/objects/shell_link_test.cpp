// Shortcuts and the uninstall entry: the name and target derivations of the setters,
// shortcuts going with their targets, the main link group's rules, what a shortcut to an
// unprocessed target still records, the uninstaller's entry appended across installs,
// and Program Manager's item lines split into fields.
#include <gtest/gtest.h>

#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TProgramManager.h"
#include "objects/cmp_TUninstallEXE.h"
#include "objects/uninstall_entry.h"
#include "platform/registry.h"
#include "runtime/exceptions.h"
#include "tree_fixture.h"

namespace kestrune::test {

namespace {

class ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    DeleteUninstallEntry("Zarvotill");
    engine = Make<TTestEngine>(&form, "Install");
    engine->SetDestDir("C:\\Zarvotill");
  }
  void TearDown() override { DeleteUninstallEntry("Zarvotill"); }
  TTestForm form;
  TTestEngine* engine = nullptr;
};

}  // namespace

TEST_F(ShellLinkTest, NamesAndTargetsAreDerivedAsTheSettersPromise) {
  struct Case {
    std::string before, name, location, expectName;
  };
  const Case cases[] = {
      {"", "Zarvotill", "", "Zarvotill.LNK"},
      {"Old.url", "Web", "", "Web.URL"},
      {"", "Readme.lnk", "", "Readme.lnk"},
      {"", "", "http://www.zarvotill.cz/index.html", "www.zarvotill.cz/index.html.URL"},
      {"", "", "FTP://ftp.zarvotill.cz", "ftp.zarvotill.cz.URL"},
      {"", ".LNK", "C:\\Zarvotill\\Pokladna.exe", "Pokladna.LNK"},
      {"", "Kept.lnk", "C:\\Zarvotill\\Pokladna.exe", "Kept.lnk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + "|" + c.location);
    auto* link = new TInstallShellLink(&form);
    if (!c.before.empty()) link->SetLinkName(c.before);
    link->SetLinkName(c.name);
    if (!c.location.empty()) link->SetObjectLocation(c.location);
    EXPECT_EQ(link->LinkName(), c.expectName);
    delete link;
  }

  auto* file = Make<TTestFile>(&form, "Pokladna", engine);
  file->SetDestName("Pokladna.exe");
  auto* group = Make<TInstallFileGroup>(&form, "Full", engine);
  group->SetGroupName("Plná verze");
  auto* link = Make<TInstallShellLink>(&form, "lnkPokladna");
  link->SetObjectLocation("C:\\x.exe");
  link->SetObjectLink(file);
  EXPECT_EQ(link->LinkName(), "Pokladna.lnk");
  EXPECT_EQ(link->ObjectLocation(), "");
  ASSERT_NE(link->ObjectLocationType(), nullptr);
  EXPECT_EQ(link->ObjectLocationType()->StandardName(), "psObjectLink");
  EXPECT_EQ(link->Container(), file);
  EXPECT_EQ(link->GetObjectLocation(), "C:\\Zarvotill\\Pokladna.exe");
  link->SetObjectLink(group);
  EXPECT_EQ(link->LinkName(), "Plná verze.lnk");
  link->SetLinkName("Web.url");
  EXPECT_EQ(link->ObjectLink(), nullptr);
  link->SetObjectLink(nullptr);
  EXPECT_EQ(link->ObjectLocationType(), nullptr);

  try {
    link->SetObjectLocationType(link->ObjectLocationType() ? link->ObjectLocationType()
                                                           : FindStandardSpecifier<TpsObjectLink>());
    ADD_FAILURE() << "psObjectLink accepted without an ObjectLink";
  } catch (const IEPathSpecifier& e) {
    EXPECT_EQ(e.Message(), "Cannot use ddObjectLink for lnkPokladna unless you assign a value to ObjectLink");
  }
}

TEST_F(ShellLinkTest, ShortcutsGoWithTheirTargetsAndMainLinksNeedTheirGroup) {
  try {
    new TInstallMainLink(&form);
    ADD_FAILURE() << "a main link without group";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), "To create a TInstallMainLink you must first have a TMainLinkGroup component in your project");
  }
  auto* group = Make<TMainLinkGroup>(&form, "MainGroup");
  EXPECT_EQ(group->DestDir(), "\\Zarvotill");
  EXPECT_TRUE(group->DestDirType()->Is<TpsProgramMenu>());
  EXPECT_THROW(new TMainLinkGroup(&form), IEShellLinkGroup);
  auto* main = Make<TInstallMainLink>(&form, "lnkMain");
  EXPECT_EQ(main->Container(), group);
  EXPECT_TRUE(main->DestDirType()->Is<TpsContainerDestDir>());
  EXPECT_THROW(main->SetContainer(engine), IEInstallShellLink);

  auto* file = Make<TTestFile>(&form, "Pokladna", engine);
  file->SetDestName("Pokladna.exe");
  auto* link = Make<TInstallShellLink>(&form, "lnkPokladna", engine);
  link->SetObjectLink(file);
  main->SetObjectLink(file);
  const int before = InstallShellLinks().Count();
  delete file;
  EXPECT_EQ(InstallShellLinks().Count(), before - 2);
  EXPECT_EQ(form.FindComponent("lnkPokladna"), nullptr);
  EXPECT_EQ(form.FindComponent("lnkMain"), nullptr);
  delete group;
  EXPECT_EQ(MainLinkGroup(), nullptr);
}

namespace {
// An install file that counts the destroyed containers it is told of and the questions
// for its type.
class TCountingFile : public TTestFile {
 public:
  using TTestFile::TTestFile;
  void ObjectDestroyed(TInstallContainer* object) override {
    ++told;
    TTestFile::ObjectDestroyed(object);
  }
  int RegisteredType() const override {
    ++asked;
    return TTestFile::RegisteredType();
  }
  static inline long told = 0;
  static inline long asked = 0;
};
}  // namespace

TEST_F(ShellLinkTest, ATreeOfThousandsIsFreedInLinearTimeAndItsListsStayRight) {
  constexpr int n = 2000;
  const int containersBefore = InstallContainers().Count();
  auto* tree = new TTestForm(nullptr);
  auto* install = Make<TTestEngine>(tree, "Install2");
  auto* group = Make<TInstallFileGroup>(tree, "Group", install);
  std::vector<TCountingFile*> files;
  // Read as from a script: each file placed in its container while loading, its order
  // read after it.
  group->SetLoading(true);
  TCountingFile::asked = 0;
  for (int i = 0; i < n; ++i) {
    files.push_back(new TCountingFile(tree));
    files.back()->SetName("F" + std::to_string(i));
    files.back()->SetLoading(true);
    files.back()->SetContainer(group);
    files.back()->SetOrder(i);
  }
  EXPECT_LT(TCountingFile::asked, 4L * n);
  for (auto* f : files) f->Loaded();
  group->Loaded();
  group->RenumberHelpers();
  auto* link = Make<TInstallShellLink>(tree, "lnk", install);
  link->SetObjectLink(files[n / 2]);

  // A file freed during the run: its shortcut goes with it, the group renumbers the rest.
  delete files[n / 2];
  EXPECT_EQ(tree->FindComponent("lnk"), nullptr);
  ASSERT_EQ(group->HelperCount(), n - 1);
  for (int i = 0; i < n - 1; ++i) ASSERT_EQ(group->Helpers(i)->Order(), i);

  TCountingFile::told = 0;
  delete tree;
  EXPECT_LT(TCountingFile::told, 4L * n);
  EXPECT_EQ(InstallContainers().Count(), containersBefore);
  for (int i = 0; i < InstallContainers().Count(); ++i) EXPECT_NE(InstallContainers().Items(i), group);
  EXPECT_EQ(CurrentEngine(), nullptr);
  SetCurrentEngine(engine);
}

TEST_F(ShellLinkTest, UninstallEntryAccumulatesAndSkippedShortcutsAreStillRecorded) {
  auto* group = Make<TInstallFileGroup>(&form, "Demo", engine);
  group->SetInclude(false);
  group->SetGroupName("Demo");
  auto* link = Make<TInstallShellLink>(&form, "lnkDemo", engine);
  link->SetObjectLink(group);
  link->SetContainer(engine);
  link->SetDestDir("C:\\Menu");
  link->SetDestDirType(nullptr);
  auto* uninstaller = Make<TUninstallEXE>(&form, "Uninstall", engine);
  EXPECT_TRUE(uninstaller->Net());
  uninstaller->SetDestName("uninstall.exe");
  for (int run = 0; run < 2; ++run) {
    group->Process();
    link->Process();
    uninstaller->WriteUninstallInfo(kUninstallRoot + std::string("Zarvotill"));
  }
  std::optional<UninstallEntry> entry = ReadUninstallEntry("Zarvotill");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->displayName, "Zarvotill");
  EXPECT_EQ(entry->uninstallString, "\"C:\\Zarvotill\\uninstall.exe\" Zarvotill");
  EXPECT_EQ(entry->files, (std::vector<std::string>{"C:\\Menu\\Demo.lnk", "C:\\Menu\\Demo.lnk"}));
  // The shortcut that was not made is listed, but not as written: uninstalling leaves a
  // file of that name alone.
  EXPECT_EQ(entry->written, std::vector<std::string>{});
  EXPECT_FALSE(group->Processed());

  link->SetLinkName(" ");
  try {
    link->ProcessHelpers();
    ADD_FAILURE() << "a blank name accepted";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), "The LinkName is blank for lnkDemo and therefore could not be installed");
  }
}

TEST(ProgramManagerTest, ItemLinesSplitAtEveryCommaAndNamesLoseTheirQuotes) {
  TProgramManager manager(nullptr, "KESTRUNE-NO-SERVER");
  manager.SetGroupText(
      "\"Zarvotill\",C:\\Menu\\Zarvotill.grp,3,0\r\n"
      "\"Pokladna\",\"C:\\Zarvotill\\Pokladna.exe\" -a,C:\\Zarvotill,,10,20,0,0\r\n"
      "\",short\r\n"
      "Settings");
  EXPECT_EQ(manager.ItemCount(), 3);
  EXPECT_EQ(manager.FindItem("Pokladna"), 1);
  EXPECT_EQ(manager.ItemCommandLine(1), "C:\\Zarvotill\\Pokladna.exe\" -a");
  EXPECT_EQ(manager.ItemDefaultDir(1), "C:\\Zarvotill");
  EXPECT_EQ(manager.ItemXPos(1), "10");
  EXPECT_EQ(manager.ItemHotKey(1), "0");
  EXPECT_EQ(manager.ItemName(2), "");
  EXPECT_EQ(manager.FindItem("Settings"), 3);
  EXPECT_EQ(manager.ItemIconPath(3), "");
  EXPECT_EQ(manager.ItemName(0), "");
  EXPECT_EQ(manager.ItemName(4), "");
  manager.SetGroupText("\"Zarvotill\",x,1,0");
  EXPECT_EQ(manager.ItemCount(), 0);
  EXPECT_EQ(manager.FindItem("Zarvotill"), -1);
  try {
    manager.CreateGroup("Zarvotill");
    ADD_FAILURE() << "no server, yet connected";
  } catch (const EAIPMCannotOpen& e) {
    EXPECT_EQ(e.Message(), "The TProgramManager object was unable to establish a link with Program Manager");
  }
  EAIPMCannotAddItem add("Zarvotill", "Pokladna", "[AddItem(x)]");
  EXPECT_EQ(add.Message(),
            "The TProgramManager object was unable to add the following program item: Pokladna to the following group: "
            "Zarvotill. The arguments passed to  Program Manager were: [AddItem(x)]");
  EXPECT_EQ(EAIPMCannotReplaceItem("Zarvotill", "Pokladna").Message(),
            "The TProgramManager object was unable to replace the following program item: Pokladna to the following group: "
            "Zarvotill");
}

}  // namespace kestrune::test
