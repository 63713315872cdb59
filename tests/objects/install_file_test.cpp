// Install files: the property check, identifiers, a whole compress-and-install walk with
// every overwrite mode, the archive information, uninstall lines and the shared archive
// engine's settings between operations.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "archive/cmp_TKstrCompress.h"
#include "common/error_text.h"
#include "common/files.h"
#include "objects/cmp_TInstallFile.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "routines/routines_Registry.h"
#include "runtime/reader.h"
#include "runtime/seams.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"
#include "tree_fixture.h"

namespace kestrune::test {

namespace {

constexpr bool kWindowsPaths = platform::kPathDelim == '\\';
const std::string kUninstallKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvotill";

using Scratch = test::ScratchDir;
using test::readAll;
using test::writeAll;

class InstallFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    DeleteRegistryTree(rkLocalMachine, kUninstallKey);
  }
  void TearDown() override { DeleteRegistryTree(rkLocalMachine, kUninstallKey); }
  TInstallFile* file(const std::string& name, TInstallContainer* container, const std::string& dir,
                     const std::string& fileName) {
    auto* f = Make<TInstallFile>(&form, name);
    f->SetIncludeFromDir(dir);
    f->SetFileName(fileName);
    if (container) f->SetContainer(container);
    return f;
  }
  TTestForm form;
};

}  // namespace

TEST_F(InstallFileTest, PropertyCheckAppliesTypeEffectsAndRefusesBadContainersAndDuplicates) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* ocx = file("Grid", engine, "C:\\Src", "GRID.OCX");
  EXPECT_TRUE(ocx->ActiveX());
  EXPECT_EQ(ocx->FileType(), TInstallFileType::iftSystemWideDLL);
  EXPECT_TRUE(ocx->UpdateDLLCounter());
  EXPECT_EQ(ocx->OverwriteMode(), TOverwriteType::owVersionDate);
  EXPECT_EQ(ocx->DestDirType(), FindStandardSpecifier<TpsSystem>());
  EXPECT_EQ(ocx->DestName(), "GRID.OCX");
  // The forced destination holds while the type does.
  ocx->SetDestDir("\\Elsewhere");
  EXPECT_EQ(ocx->DestDir(), "");
  ocx->SetFileType(TInstallFileType::iftApplicationSpecificDLL);
  EXPECT_EQ(ocx->DestDirType(), FindStandardSpecifier<TpsMainInstall>());
  EXPECT_EQ(ocx->DestDir(), "\\System");
  ocx->SetFileType(TInstallFileType::iftVendorSharedDLL);
  EXPECT_EQ(ocx->DestDirType(), FindStandardSpecifier<TpsCommonFiles>());

  auto* help = file("Help", engine, "C:\\Src", "zarvo.hlp");
  EXPECT_TRUE(help->RegisterAsHelp());
  EXPECT_FALSE(help->ActiveX());
  EXPECT_EQ(help->OverwriteMode(), TOverwriteType::owAlways);
  // A version resource naming OLESelfRegister under its first translation makes a server.
  // (Source paths are joined with a backslash, so the samples are found under Windows only.)
#ifdef _WIN32
  EXPECT_TRUE(file("SelfRegistering", engine, KESTRUNE_PE_SAMPLES, "ver_selfreg.dll")->ActiveX());
  EXPECT_FALSE(file("Versioned", engine, KESTRUNE_PE_SAMPLES, "ver_en.dll")->ActiveX());
#endif
  auto* dll = file("Lib", engine, "C:\\Src", "lib.dll");
  dll->SetDestDirType(FindStandardSpecifier<TpsWindow>());
  EXPECT_EQ(dll->OverwriteMode(), TOverwriteType::owVersionDate);
  EXPECT_EQ(dll->FileType(), TInstallFileType::iftNormal);
  dll->SetDestDirType(FindStandardSpecifier<TpsSystem>());
  EXPECT_EQ(dll->FileType(), TInstallFileType::iftSystemWideDLL);

  EXPECT_EQ(messageOf([&] { file("Twin", engine, "c:\\src", "ZARVO.HLP"); }),
            "There is already a file with the name :c:\\src\\ZARVO.HLP");
  auto* loose = file("Loose", nullptr, "C:\\Src", "x.txt");
  auto* recorder = Make<TRecorder>(&form, "Rec");
  EXPECT_EQ(messageOf([&] { loose->SetContainer(recorder); }),
            "The following TInstallFile component Loose requires the Container property to be a component descended "
            "from the TFileContainer component");
}

TEST_F(InstallFileTest, IdentifiersFromTheScriptAreAuthoritativeAndRoundTrip) {
  const std::string text =
      "object frmTest: TTestForm\n"
      "  object Install: TTestEngine\n  end\n"
      "  object A: TInstallFile\n    Container = Install\n    FileName = 'a.txt'\n    UniqueID = 7\n  end\n"
      "  object B: TInstallFile\n    Container = Install\n    FileName = 'b.txt'\n    UniqueID = 0\n  end\n"
      "end\n";
  ClassRegistry registry;
  RegisterTestClasses(registry);
  registry.Register(TInstallFile::classInfo());
  registry.Register(TTestForm::classInfo());
  registerPathSpecifierClasses(registry);
  std::vector<uint8_t> stream = ObjectTextToBinary(text);
  TTestForm loaded(nullptr);
  Reader reader(stream, registry);
  reader.ReadRootComponent(&loaded);
  auto* a = static_cast<TInstallFile*>(loaded.FindComponent("A"));
  auto* b = static_cast<TInstallFile*>(loaded.FindComponent("B"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->UniqueID(), 7);
  EXPECT_EQ(b->UniqueID(), 0);
  // Files made later take the lowest numbers the script left free.
  auto* c = Make<TInstallFile>(&loaded, "C");
  auto* d = Make<TInstallFile>(&loaded, "D");
  EXPECT_EQ(c->UniqueID(), 1);
  EXPECT_EQ(d->UniqueID(), 2);
  delete c;
  EXPECT_EQ(Make<TInstallFile>(&loaded, "E")->UniqueID(), 1);
  // The identifier is written back under its own name.
  std::string out = ObjectBinaryToText(WriteComponentStream(&loaded));
  EXPECT_NE(out.find("UniqueID = 7"), std::string::npos) << out;
  EXPECT_NE(out.find("FileName = 'a.txt'"), std::string::npos);
}

// A tree compressed through the containers and installed by the walk: every overwrite
// mode, the files' bytes and dates, what the progress handlers see, the uninstall lines.
TEST_F(InstallFileTest, CompressAndInstallWalkWithEveryOverwriteMode) {
  if (!kWindowsPaths) GTEST_SKIP() << "install paths are Windows paths";
  Scratch dir;
  platform::forceDirectories(dir / "src");
  auto* engine = Make<TTestEngine>(&form, "Install");
  engine->SetDestDir(dir / "dest");
  engine->SetArchiveFile(dir / "arc\\files.1");
  auto* group = Make<TInstallFileGroup>(&form, "Sub", engine);
  group->SetDestDir("\\Sub");
  std::map<std::string, TOverwriteType> modes{{"always.txt", TOverwriteType::owAlways},
                                              {"never.txt", TOverwriteType::owNever},
                                              {"version.txt", TOverwriteType::owVersion},
                                              {"date.txt", TOverwriteType::owDate},
                                              {"vdate.txt", TOverwriteType::owVersionDate}};
  std::vector<TInstallFile*> files;
  int n = 0;
  for (auto& [name, mode] : modes) {
    writeAll(dir / ("src\\" + name), std::string(5000 + 1000 * n, static_cast<char>('a' + n)));
    auto* f = file("F" + std::to_string(n), n % 2 ? static_cast<TInstallContainer*>(group) : engine, dir / "src", name);
    f->SetOverwriteMode(mode);
    files.push_back(f);
    ++n;
  }
  engine->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  for (auto* f : files) EXPECT_EQ(f->CompressedMark(), 2) << f->Name();

  // Destinations that exist already: never.txt must stay, date.txt is newer than the
  // archived file, vdate.txt (no versions) decides by the date and is older.
  auto destOf = [&](TInstallFile* f) { return f->DestPath(); };
  for (auto* f : files) {
    if (f->FileName() == "always.txt" || f->FileName() == "version.txt") continue;
    platform::forceDirectories(f->GetDestDir());
    writeAll(destOf(f), "old " + f->FileName());
    platform::File d = platform::File::open(destOf(f), platform::FileAccess::ReadWrite);
    double sourceDate = *platform::fileAgeDays(f->SourcePath());
    d.setDate(f->FileName() == "vdate.txt" ? sourceDate - 1 : sourceDate + 1);
  }

  std::map<std::string, int> filePercent;
  int lastTotal = -1;
  engine->OnStatus = [&](TCustomInstallFile* f, int32_t filePct, int32_t totalPct) {
    filePercent[f->FileName()] = std::max(filePercent[f->FileName()], filePct);
    lastTotal = totalPct;
  };
  engine->Process();

  std::map<std::string, std::string> expected{{"always.txt", "new"}, {"never.txt", "old"}, {"version.txt", "new"},
                                              {"date.txt", "old"}, {"vdate.txt", "new"}};
  for (auto* f : files) {
    SCOPED_TRACE(f->FileName());
    EXPECT_EQ(filePercent[f->FileName()], 100);
    if (expected[f->FileName()] == "new") {
      EXPECT_EQ(readAll(destOf(f)), readAll(f->SourcePath()));
      EXPECT_DOUBLE_EQ(*platform::fileAgeDays(destOf(f)), *platform::fileAgeDays(f->SourcePath()));
    } else {
      EXPECT_EQ(readAll(destOf(f)), "old " + f->FileName());
    }
  }
  EXPECT_EQ(lastTotal, 100);
  // Every file is on the uninstall list, kept ones included.
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kUninstallKey + "\\Files", "Entries", ""), "5");
  std::vector<std::string> listed;
  for (int i = 1; i <= 5; ++i)
    listed.push_back(ReadRegistryString(rkLocalMachine, kUninstallKey + "\\Files", "File" + std::to_string(i), ""));
  for (auto* f : files) EXPECT_NE(std::find(listed.begin(), listed.end(), destOf(f)), listed.end()) << f->Name();
  // Only the files the run wrote are recorded as written: the uninstaller leaves the rest.
  std::vector<std::string> written, wrote;
  for (int i = 1; i <= 3; ++i)
    written.push_back(ReadRegistryString(rkLocalMachine, kUninstallKey + "\\Written", "File" + std::to_string(i), ""));
  for (auto* f : files)
    if (expected[f->FileName()] == "new") wrote.push_back(destOf(f));
  std::sort(written.begin(), written.end());
  std::sort(wrote.begin(), wrote.end());
  EXPECT_EQ(written, wrote);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kUninstallKey + "\\Written", "Entries", ""), "3");

  // The archive information is that of the member with the file's own identifier; an
  // identifier no member carries reads nothing.
  auto* probe = file("Probe", engine, dir / "src", "probe.txt");
  probe->SetUniqueID(1999);
  probe->ReadInfoFromArchive();
  EXPECT_FALSE(probe->InfoRead());
  files[1]->SetInfoRead(false);
  files[1]->SetSize(0);
  files[1]->ReadInfoFromArchive();
  EXPECT_EQ(files[1]->Size(), 6000);
}

TEST_F(InstallFileTest, ErrorsOfTheStepsNameTheirFile) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* f = file("Data", engine, "C:\\NoSuchDir", "data.bin");
  f->SetDestDirType(nullptr);
  f->SetDestDir("");
  EXPECT_EQ(messageOf([&] { f->Process(); }),
            "Cannot compress,copy, or install the following file because it's destination directory is blank. File is :Data");
  EXPECT_EQ(messageOf([&] { f->Copy(); }),
            "Cannot compress,copy, or install the following file because it's destination directory is blank. File is :Data");
  EXPECT_EQ(f->State(), TInstallFileState::ifsNone);
  EXPECT_EQ(messageOf([&] { f->Compress(); }),
            "Cannot either compress or decompress the following file because it's archive file property is blank. File "
            "is :data.bin");
  EXPECT_EQ(messageOf([&] { f->ReadInfoFromArchive(); }),
            "Cannot either compress or decompress the following file because it's archive file property is blank. File "
            "is :data.bin");
  EXPECT_EQ(messageOf([&] { f->ReadInfoFromFile(); }),
            "Could not open or find the following file when trying to read the Size, Date, and Version :C:\\NoSuchDir\\data.bin");
  // A destination name with a folder in it is refused by the property check, and by the
  // install step for a loaded script (no property check there).
  EXPECT_EQ(messageOf([&] { f->SetDestName("..\\x.txt"); }),
            "The DestName of the following TInstallFile component Data is not a plain file name: ..\\x.txt");
  f->SetDestDir("C:\\NoSuchDir");
  f->SetLoading(true);
  f->SetDestName("Lib\\notes.txt");
  f->SetLoading(false);
  EXPECT_EQ(messageOf([&] { f->Process(); }),
            "The DestName of the following TInstallFile component Data is not a plain file name: Lib\\notes.txt");
  // A silent abort from OnBeforeInstall skips the file.
  f->OnBeforeInstall = [](TCustomInstallFile*) { throw EAbort(); };
  EXPECT_EQ(messageOf([&] { f->Process(); }), "(nothing raised)");
}

TEST_F(InstallFileTest, NewDiskAsksThroughTheUiAndCancelAborts) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  engine->SetArchiveFile("A:\\files.1");
  auto* f = file("Disk", engine, "C:\\Src", "d.bin");
  std::string asked;
  SetDiskPrompt([&](const std::string& text) {
    asked = text;
    return true;
  });
  TKstrCompress archive(nullptr);
  EXPECT_EQ(f->NewDiskHandler(archive, 3), "A:");
  EXPECT_EQ(asked, "Please insert disk #3");
  SetDiskPrompt([](const std::string&) { return false; });
  EXPECT_THROW(f->NewDiskHandler(archive, 4), EkcAborted);
  EXPECT_TRUE(archive.Abort());
  // A handler of the file answers instead of the question.
  asked.clear();
  f->OnNewDisk = [](TCustomInstallFile*, int32_t, std::string& path) { path = "B:\\"; };
  EXPECT_EQ(f->NewDiskHandler(archive, 5), "B:");
  SetDiskPrompt(nullptr);
}

TEST_F(InstallFileTest, UninstallLinesMovePastUnusableFilesKeysAndStopAfterABound) {
  auto* engine = Make<TTestEngine>(&form, "Install");
  engine->SetDestDir("C:\\Zarvotill");
  auto* f = file("Data", engine, "C:\\Src", "data.bin");
  WriteRegistryString(rkLocalMachine, kUninstallKey + "\\Files", "Entries", "many");
  f->WriteUninstallInfo(kUninstallKey);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kUninstallKey + "\\Files1", "File1", ""), "C:\\Zarvotill\\data.bin");
  for (int k = 0; k < 16; ++k)
    WriteRegistryString(rkLocalMachine, kUninstallKey + "\\Files" + (k ? std::to_string(k) : ""), "Entries", "x");
  EXPECT_THROW(f->WriteUninstallInfo(kUninstallKey), EIRCannotWriteValue);
  // ActiveX servers are listed with how they register.
  f->SetLoading(true);
  f->SetActiveX(true);
  f->SetLoading(false);
  f->WriteUninstallInfo(kUninstallKey);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kUninstallKey + "\\ActiveX", "File1", ""), f->DestPath() + ";0");
}

TEST_F(InstallFileTest, RemoveMissingFilesDestroysFilesWithoutSource) {
  if (!kWindowsPaths) GTEST_SKIP() << "source paths are Windows paths";
  Scratch dir;
  auto* engine = Make<TTestEngine>(&form, "Install");
  auto* group = Make<TInstallFileGroup>(&form, "G", engine);
  writeAll(dir / "kept.txt", "x");
  std::string base = dir / "";
  base.pop_back();
  file("Gone1", group, base, "gone1.txt");
  file("Kept", group, base, "kept.txt");
  file("Gone2", group, base, "gone2.txt");
  group->RemoveMissingFiles();
  ASSERT_EQ(group->FileCount(), 1);
  EXPECT_EQ(group->Files(0)->Name(), "Kept");
  EXPECT_EQ(form.FindComponent("Gone1"), nullptr);
}

// One operation of the shared archive engine never inherits another's settings.
TEST_F(InstallFileTest, SharedEngineOperationsStartFromTheirOwnSettings) {
  if (!kWindowsPaths) GTEST_SKIP() << "install paths are Windows paths";
  Scratch dir;
  writeAll(dir / "m.txt", "member");
  writeAll(dir / "c.txt", "copied");
  TKstrCompress& engine = SharedArchiveEngine();
  engine.SetCompressedFile(dir / "a.1");
  TStringList names;
  names.Add(dir / "m.txt");
  engine.SetFilesToProcess(names);
  engine.CompressFiles(false, 5);
  // A copy, then an extraction: the member keeps its own name.
  engine.CopyUncompressed(dir / "c.txt", dir / "copy.txt");
  platform::forceDirectories(dir / "out");
  engine.SetExtractDirectory(dir / "out");
  engine.SetFilesToProcess(names);
  engine.ExtractFiles();
  EXPECT_EQ(readAll(dir / "out\\m.txt"), "member");
  EXPECT_FALSE(platform::fileExists(dir / "out\\copy.txt"));
  // A skip left by a handler, then a copy: the copy is made.
  engine.SkipCurrent = true;
  engine.CopyUncompressed(dir / "c.txt", dir / "second.txt");
  EXPECT_EQ(readAll(dir / "second.txt"), "copied");
}

}  // namespace kestrune::test
