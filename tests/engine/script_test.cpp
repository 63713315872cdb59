// The Zarvotill install script: it loads with the kit's classes, references between its
// components resolve (also forward ones), defaults stay, and the tree composes.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/dlgcmp_TDialogManager.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/run_state.h"
#include "platform/files.h"
#include "platform/gzip.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"

namespace kestrune {
namespace {

class ZarvotillScript : public ::testing::Test {
 protected:
  void SetUp() override {
    registerKitClasses(ClassRegistry::Global());
    stream = engine::ReadScriptFile(KESTRUNE_SOURCE_DIR "/src/resources/zarvotill.kfm");
    form = engine::LoadScript(stream);
  }
  TInstallFileGroup* group(const std::string& name) {
    return dynamic_cast<TInstallFileGroup*>(form->FindComponent(name));
  }
  std::vector<uint8_t> stream;
  std::unique_ptr<engine::TfrmMain> form;
};

// The script as a program carries it: raw (programs made before) read in place, one gzip
// member inflated to the same bytes; a damaged, cut, lying or oversized member is a read
// error naming the resource.
TEST_F(ZarvotillScript, TheEmbeddedScriptIsReadRawOrInflatedAndADamagedOneIsAReadError) {
  EXPECT_EQ(engine::MainFormStreamOf(stream).bytes().data(), stream.data());
  const std::vector<uint8_t> member = platform::DeflateGzipMember(stream);
  ASSERT_LT(member.size(), stream.size() / 2);
  const engine::EmbeddedStream inflated = engine::MainFormStreamOf(member);
  EXPECT_TRUE(std::ranges::equal(inflated.bytes(), stream));
  auto withSize = [&](uint32_t size) {
    std::vector<uint8_t> m = member;
    for (int i = 0; i < 4; ++i) m[m.size() - 4 + i] = uint8_t(size >> (8 * i));
    return m;
  };
  std::vector<uint8_t> flipped = member;
  flipped[member.size() / 2] ^= 0x55;
  const std::vector<std::vector<uint8_t>> damaged = {
      flipped, std::vector<uint8_t>(member.begin(), member.end() - 4), withSize(uint32_t(stream.size() - 1)),
      withSize(uint32_t(engine::kMaxMainFormStream + 1)), platform::DeflateGzipMember(std::vector<uint8_t>(engine::kMaxMainFormStream + 1))};
  for (const std::vector<uint8_t>& bad : damaged) {
    try {
      engine::MainFormStreamOf(bad);
      ADD_FAILURE() << "a damaged member of " << bad.size() << " bytes was read";
    } catch (const EReadError& e) {
      EXPECT_NE(e.Message().find("TFRMMAIN is damaged"), std::string::npos) << e.Message();
    }
  }
}

TEST_F(ZarvotillScript, LoadsWithItsTreeAndDefaults) {
  auto* install = dynamic_cast<TInstall*>(form->FindComponent("Install"));
  ASSERT_NE(install, nullptr);
  EXPECT_EQ(CurrentEngine(), install);
  EXPECT_EQ(install->Information()->ProductName, "Zarvotill");
  EXPECT_EQ(install->Information()->CompanyName, "Dévari s.r.o.");
  EXPECT_EQ(install->PresetupFiles()->Count(), 1);
  EXPECT_EQ(install->DestDirType(), nullptr);
  EXPECT_EQ(install->GetDestDir(), "C:\\Zarvotill");
  // The theme picture: a 117 x 290 bitmap, 102,146 bytes as stored.
  EXPECT_EQ(install->DialogThemeBitmap()->Width(), 117);
  EXPECT_EQ(install->DialogThemeBitmap()->Height(), 290);
  EXPECT_EQ(install->DialogThemeBitmap()->StoredData().size(), 102146u);
  // Left at their defaults, absent from the stream.
  EXPECT_TRUE(install->RunAutomatic());
  EXPECT_EQ(install->InstallTypes(), TInstallTypes{TInstallType::itAlways});

  // The engine's groups in Order; a group whose container stands later in the stream is
  // linked to it.
  std::vector<std::string> top;
  for (TInstallContainer* h : install->HelperList()) top.push_back(h->Name());
  // The database engine group stands first; its call object, nameless, comes among the
  // dialog helpers at the end, before the six dialog managers and the status dialog.
  EXPECT_EQ(top, (std::vector<std::string>{"BDE", "FullVersion", "DemoVersion", "SystemFiles", "AllVersions",
                                            "UninstallEXE", "MainFolder", "InstallShellLink", "InstallShellLink1", "",
                                            "DialogManager", "DialogManager1", "DialogManager2", "DialogManager3",
                                            "DialogManager4", "DialogManager5", "InstallStatusDlg"}));
  // The dialog managers serve the install moments in the order of their types.
  for (int i = 0; i < 6; ++i) {
    auto* manager = dynamic_cast<dialogs::TDialogManager*>(
        form->FindComponent(i == 0 ? std::string("DialogManager") : "DialogManager" + std::to_string(i)));
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(static_cast<int>(manager->ManagerType()), i);
    EXPECT_EQ(manager->Container(), install);
  }
  EXPECT_EQ(group("DazedivadoMain")->Container(), group("Dazedivado"));
  EXPECT_EQ(group("ZI_Devari")->Container(), group("AllVersions"));
  EXPECT_EQ(group("VizudMain")->GetDestDir(), "C:\\Zarvotill\\ZI_Devari\\Vizud\\Main");
  EXPECT_EQ(group("SystemFiles")->AddToArchive(), TlzhCommand::lzcOnlyAdd);
  EXPECT_EQ(group("Shared")->GetArchiveFile(), install->GetArchiveFile());
  EXPECT_EQ(group("FullVersion")->GroupName(), "Plná verze");

  // The shortcuts: the main folder's two and the desktop's two, each to a terminal program
  // through the object-link specifier.
  auto* mainFolder = dynamic_cast<TMainLinkGroup*>(form->FindComponent("MainFolder"));
  ASSERT_NE(mainFolder, nullptr);
  EXPECT_EQ(MainLinkGroup(), mainFolder);
  EXPECT_EQ(mainFolder->DestDir(), "\\Zarvotill");
  EXPECT_EQ(mainFolder->DestDirType(), form->FindComponent("psProgramMenu"));
  for (const char* name : {"InstallMainLink", "InstallMainLink1", "InstallShellLink", "InstallShellLink1"}) {
    SCOPED_TRACE(name);
    auto* link = dynamic_cast<TCustomInstallShellLink*>(form->FindComponent(name));
    ASSERT_NE(link, nullptr);
    const bool full = std::string(name).back() != '1';
    const bool main = std::string(name).starts_with("InstallMainLink");
    EXPECT_EQ(link->ObjectLink(), form->FindComponent(full ? "FullTerminal" : "DemoTerminal"));
    EXPECT_EQ(link->ObjectLocationType(), form->FindComponent("psObjectLink"));
    EXPECT_EQ(link->ContainerRef(), main ? static_cast<TInstallContainer*>(mainFolder) : install);
    EXPECT_EQ(link->DestDirType(), form->FindComponent(main ? "psContainerDestDir" : "psDesktopMenu"));
  }
}

TEST_F(ZarvotillScript, WritingWhatWasReadGivesTheSameBytes) {
  // Compared as text, so that a difference shows where it is.
  EXPECT_EQ(ObjectBinaryToText(WriteComponentStream(form.get())), ObjectBinaryToText(stream));
}

TEST_F(ZarvotillScript, ReadsUnderCzechNamesAndNamesTheEngine) {
  // Wide file names all the way: a narrow open would fail on these letters under Windows.
  const std::string folder = platform::tempDirectory() + "Příliš žluťoučký kůň";
  const std::string file = folder + platform::kPathDelim + "Úvodní skript.kfm";
  platform::forceDirectories(folder);
  const std::string text = ObjectBinaryToText(stream);
  platform::writeWholeFile(file, text.data(), text.size());
  EXPECT_EQ(engine::ReadScriptFile(file), stream);
  EXPECT_EQ(engine::FindEngine(*form), form->FindComponent("Install"));
  try {
    engine::ReadScriptFile(folder);
    ADD_FAILURE() << "a directory was read as a script";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("it is a directory"), std::string::npos) << e.what();
  }
  platform::deleteFile(file);
  platform::removeDirectory(folder);

  form.reset();
  const std::string bare = "object frmMain: TfrmMain\n  object Files: TInstallFileGroup\n  end\nend\n";
  EXPECT_EQ(engine::FindEngine(*engine::LoadScript(ObjectTextToBinary(bare))), nullptr);
}

TEST(ScriptArchiveNames, AnArchiveNameReadBeforeItsSpecifierIsKept) {
  registerKitClasses(ClassRegistry::Global());
  // The engine starts with the main archive specifier; the script names its own archive
  // before it clears that specifier. A group under the container's archive keeps no name.
  const std::string text =
      "object frmMain: TfrmMain\n"
      "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
      "  object Install: TInstall\n"
      "    ArchiveFile = 'C:\\Dist\\data.1'\n    ArchiveFileType = nil\n"
      "    DestDir = 'C:\\Zarvotill'\n    DestDirType = nil\n  end\n"
      "  object Files: TInstallFileGroup\n    Container = Install\n"
      "    ArchiveFile = 'ignored.1'\n    ArchiveFileType = psContainerArchiveFile\n  end\n"
      "end\n";
  auto form = engine::LoadScript(ObjectTextToBinary(text));
  auto* install = dynamic_cast<TInstall*>(form->FindComponent("Install"));
  auto* files = dynamic_cast<TInstallFileGroup*>(form->FindComponent("Files"));
  ASSERT_NE(install, nullptr);
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(install->GetArchiveFile(), "C:\\Dist\\data.1");
  EXPECT_EQ(files->ArchiveFile(), "");
  EXPECT_EQ(files->GetArchiveFile(), "C:\\Dist\\data.1");
}

}  // namespace
}  // namespace kestrune
