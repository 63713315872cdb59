// Destinations and archives composed through path specifiers, the specifier checks and
// registries, and the main archive in both modes.
#include <gtest/gtest.h>

#include "common/error_text.h"

#include "paths/routines_ExpandPaths.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "tree_fixture.h"

namespace kestrune::test {

namespace {

class SpecifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    engine = Make<TTestEngine>(&form, "Install");
    engine->SetDestDir("C:\\Program Files\\Zarvotill\\");
  }
  TTestForm form;
  TTestEngine* engine = nullptr;
};

}  // namespace

TEST_F(SpecifierTest, DestinationsAndArchivesComposeThroughContainerChains) {
  auto* all = Make<TInstallFileGroup>(&form, "AllVersions", engine);
  auto* zi = Make<TInstallFileGroup>(&form, "ZI_Devari", all);
  zi->SetDestDir("\\ZI_Devari");
  auto* sample = Make<TInstallFileGroup>(&form, "Dazedivado", zi);
  sample->SetDestDir("\\Dazedivado");
  auto* main = Make<TInstallFileGroup>(&form, "Main", sample);
  main->SetDestDir("\\Main");
  auto* file = Make<TTestFile>(&form, "Table", main);

  EXPECT_EQ(engine->GetDestDir(), "C:\\Program Files\\Zarvotill");
  EXPECT_EQ(all->GetDestDir(), "C:\\Program Files\\Zarvotill");
  EXPECT_EQ(main->GetDestDir(), "C:\\Program Files\\Zarvotill\\ZI_Devari\\Dazedivado\\Main");
  EXPECT_EQ(file->GetDestDir(), "C:\\Program Files\\Zarvotill\\ZI_Devari\\Dazedivado\\Main");
  EXPECT_EQ(file->DestDirType()->Name(), "psContainerDestDir");

  // Archives chain to the engine's archive, the main archive beside the setup program.
  engine->SetArchiveFileType(FindStandardSpecifier<TpsMainArchiveFile>());
  EXPECT_EQ(file->ArchiveFileType()->Name(), "psContainerArchiveFile");
  EXPECT_EQ(file->GetArchiveFile(), "D:\\Setup\\files.1");
  file->SetArchiveFile("ignored.1");  // a complete path comes from the container
  EXPECT_EQ(file->ArchiveFile(), "");

  // The user's directory choice moves every chained group.
  engine->SetDestDir("E:\\Apps\\Z");
  EXPECT_EQ(main->GetDestDir(), "E:\\Apps\\Z\\ZI_Devari\\Dazedivado\\Main");

  EXPECT_EQ(TpsContainerDestDir(nullptr).GetObjectDescription(main), "Path of the <Unnamed File Group> group");
}

TEST_F(SpecifierTest, ChecksRunAtAssignmentAndAtResolution) {
  auto* lone = Make<TInstallFileGroup>(&form, "Lone");
  auto* dest = FindStandardSpecifier<TpsContainerDestDir>();
  auto* arch = FindStandardSpecifier<TpsContainerArchiveFile>();
  EXPECT_EQ(messageOf([&] { lone->SetDestDirType(dest); }),
            "Cannot use ddContainerDestDir for Lone unless you assign a Container");
  EXPECT_EQ(lone->DestDirType(), nullptr);
  EXPECT_EQ(messageOf([&] { lone->SetArchiveFileType(arch); }),
            "Cannot use ddContainerArchiveFile for Lone unless you assign a Container");
  EXPECT_EQ(messageOf([&] { engine->SetDestDirType(FindStandardSpecifier<TpsMainInstall>()); }),
            "Cannot use the ddMainInstallDir path specifier for a TInstall component");
  EXPECT_EQ(messageOf([&] { dest->CheckObject(engine); }), "Cannot use ddContainerDestDir for Install unless you assign a Container");
  TInstallContainer bare(nullptr);
  bare.SetName("Bare");
  EXPECT_EQ(messageOf([&] { dest->CheckObject(&bare); }),
            "Bare must be a TInstallObject to use the psContainerDestDir path specifier");
  auto* grab = Make<TGrabCall>(&form, "Grab", engine);
  auto* underGrab = Make<TTestFile>(&form, "UnderGrab");
  underGrab->SetLoading(true);
  underGrab->SetContainer(grab);
  EXPECT_EQ(messageOf([&] { arch->CheckObject(underGrab); }),
            "Cannot use the ddContainerArchiveFile path specifier for UnderGrab because the Container is not a TFileRelated "
            "descendant");

  // Loaded from a stream, the same choice is stored and fails only when resolved.
  lone->SetLoading(true);
  lone->SetDestDirType(dest);
  lone->Loaded();
  EXPECT_EQ(messageOf([&] { (void)lone->GetDestDir(); }),
            "Cannot use ddContainerDestDir for Lone unless you assign a Container");

  SetCurrentEngine(nullptr);
  EXPECT_EQ(messageOf([&] { FindStandardSpecifier<TpsInstallSource>()->GetPath(lone); }),
            "There is no TInstall component so the path specifier could not be expanded for Lone");
  SetCurrentEngine(engine);
}

TEST_F(SpecifierTest, MainArchiveFileInBothModes) {
  auto* main = FindStandardSpecifier<TpsMainArchiveFile>();
  EXPECT_EQ(main->GetPath(engine), "D:\\Setup\\files.1");
  engine->selfExtractor = true;
  engine->selfExtractorName = " Setup.exe";
  EXPECT_EQ(main->GetPath(engine), "D:\\Setup\\ Setup.exe");
  engine->selfExtractorName = "   ";
  EXPECT_EQ(messageOf([&] { main->GetPath(engine); }),
            "You forgot to pass in the name of the self-extracting executable. Usage example: \"-eSetup.exe\"");
}

TEST_F(SpecifierTest, EachFormHoldsOneOfEachBuiltInSpecifier) {
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  const char* names[] = {"psBDEDLL", "psCommonFiles", "psContainerArchiveFile", "psContainerDestDir", "psDesktopMenu",
                         "psInstallSource", "psMainInstall", "psProgramFiles", "psProgramMenu", "psStartMenu",
                         "psStartupMenu", "psSystem", "psMainArchiveFile", "psWindow"};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(StandardPathSpecifiers().Items(i)->Name(), names[i]);
  Make<TInstallFileGroup>(&form, "Second");
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  delete form.FindComponent("psSystem");
  Make<TInstallFileGroup>(&form, "Third");
  EXPECT_EQ(StandardPathSpecifiers().Count(), 14);
  EXPECT_NE(form.FindComponent("psSystem"), nullptr);
  EXPECT_EQ(StandardPathSpecifiers().FindSpecifier(TStandardPathSpecifier::classInfo())->Name(), "psBDEDLL");
  EXPECT_EQ(messageOf([] { PathSpecifiers().Add(nullptr); }), "Tried to add a nil object to the path specifier list");
  TPathSpecifierList empty;
  EXPECT_EQ(messageOf([&] { empty.FindSpecifier(TCustomPathSpecifier::classInfo()); }), "Could not find the path specifier");
}

#ifdef _WIN32
// Against the real registry and directories of the test prefix.
TEST_F(SpecifierTest, SystemSpecifiersFollowTheMachine) {
  auto* sys = Make<TInstallFileGroup>(&form, "SystemFiles", engine);
  sys->SetDestDirType(FindStandardSpecifier<TpsSystem>());
  EXPECT_EQ(sys->GetDestDir(), RemoveBackslash(GetSystemDir()));
  auto* bde = FindStandardSpecifier<TpsBDEDLL>();
  DeleteRegistryTree(rkLocalMachine, "\\Software\\Borland\\Database Engine");
  EXPECT_EQ(bde->GetPath(sys), AddBackslash(GetProgramFilesDir()) + "Borland\\Common Files\\BDE");
  WriteRegistryString(rkLocalMachine, "\\Software\\Borland\\Database Engine", "DLLPath", "C:\\A\\BDE;C:\\B");
  EXPECT_EQ(bde->GetPath(sys), "C:\\A\\BDE");
  DeleteRegistryTree(rkLocalMachine, "\\Software\\Borland");
}
#endif

}  // namespace kestrune::test
