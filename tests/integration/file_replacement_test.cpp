// File replacement and registration under Wine: a destination held open by another
// process, the delayed move, WININIT.INI on a Windows 95 version setting, the batch-file
// fallback, shared-DLL counters (and a SharedDLLs key the run may not write), help
// registration, ActiveX servers (a DLL and an EXE
// built with the tests) and the overwrite decisions against real version resources.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/error_text.h"
#include "common/fake_engine.h"
#include "common/files.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/sysutils.h"

extern "C" int kestrune_test_lock_key(const char* path, int locked);  // programs/keylock.c

namespace kestrune {
namespace {

using test::copyFile;
using test::messageOf;
using test::readAll;
using Scratch = test::ScratchDir;

const std::string kTestKey = "\\Software\\KestruneTest";
const std::string kSharedDLLs = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kPending = "\\System\\CurrentControlSet\\Control\\Session Manager";

// The directory of this test program: the test servers are built beside it.
std::string programDir() { return ExtractFileDir(platform::moduleFileName()); }

class TForm : public TComponent {
 public:
  TForm() : TComponent(nullptr) { SetName("frmTest"); }
  ~TForm() override { DestroyComponents(); }
  bool IsFormOrDataModule() const override { return true; }
};

// The engine as the files see it during a run: installing, with no source directory.
class TRunEngine : public test::FakeEngine {
 public:
  explicit TRunEngine(TComponent* owner) : FakeEngine(owner) {
    sourceDir.clear();
    installing = true;
  }
};

// A second process of the prefix that holds a file open without delete sharing.
class Holder {
 public:
  Holder(const Scratch& dir, const std::string& file) : stop_(dir / "stop.flag") {
    std::string ready = dir / "ready.flag";
    platform::startProcess("\"" + programDir() + "\\holder.exe\" \"" + file + "\" \"" + ready + "\" \"" + stop_ + "\"");
    for (int i = 0; i < 200 && !platform::fileExists(ready); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(platform::fileExists(ready)) << "the holder did not start";
  }
  ~Holder() {
    platform::File::create(stop_).close();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

 private:
  std::string stop_;
};

class ReplacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegistryTree(rkLocalMachine, kTestKey);
    DeleteRegistryTree(rkLocalMachine, std::string(kRunOnceKey));
    engine = new TRunEngine(&form);
    engine->SetName("Install");
    engine->SetDestDir(dir / "dest");
    engine->SetArchiveFile(dir / "files.1");
    platform::forceDirectories(dir / "src");
  }
  void TearDown() override {
    DeleteRegistryTree(rkLocalMachine, kTestKey);
    DeleteRegistryTree(rkLocalMachine, std::string(kRunOnceKey));
    DeleteRegistryTree(rkLocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvotill");
    DeleteRegistryTree(rkLocalMachine, kSharedDLLs);
    DeleteRegistryTree(rkLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\Help");
    FailedRegistrations().Clear();
    TCustomInstallFile::MoveAfterReboot = [](const std::string& s, const std::string& t) {
      platform::moveFileAfterReboot(s, t);
    };
  }
  // A file of the engine whose source is a copy of a test program under another name.
  template <class File = TInstallFile>
  File* add(const std::string& name, const std::string& program, const std::string& fileName) {
    copyFile(programDir() + "\\" + program, dir / ("src\\" + fileName));
    auto* f = new File(&form);
    f->SetName(name);
    f->SetIncludeFromDir(dir / "src");
    f->SetFileName(fileName);
    f->SetContainer(engine);
    // Keep the test's files out of the system directory whatever the name implies.
    f->SetFileType(TInstallFileType::iftNormal);
    f->SetDestDirType(FindStandardSpecifier<TpsContainerDestDir>());
    return f;
  }
  std::string registered(const std::string& name) { return ReadRegistryString(rkLocalMachine, kTestKey, name, ""); }

  Scratch dir;
  TForm form;
  TRunEngine* engine = nullptr;
};

TEST_F(ReplacementTest, DestinationInUseWaitsUnderANumberedNameForTheDelayedMove) {
  auto* f = add("Server", "comserver.dll", "server.dll");
  EXPECT_TRUE(f->ActiveX()) << "the version resource names OLESelfRegister";
  engine->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  platform::forceDirectories(dir / "dest");
  copyFile(programDir() + "\\versioned1.dll", dir / "dest\\server.dll");
  platform::File::create(dir / "dest\\server.1").close();  // the first number is taken
  {
    Holder holder(dir, dir / "dest\\server.dll");
    engine->Process();
    EXPECT_TRUE(f->NeedsReboot());
    EXPECT_EQ(readAll(dir / "dest\\server.2"), readAll(f->SourcePath()));
    EXPECT_EQ(readAll(dir / "dest\\server.dll"), readAll(programDir() + "\\versioned1.dll"));
  }
  EXPECT_TRUE(engine->reboot);
  // The registration waits for the restart; the lists name the file's final place.
  EXPECT_EQ(engine->unfinished, std::vector<std::string>{"Server;0"});
  EXPECT_EQ(registered("server.dll"), "");
  EXPECT_EQ(f->DestName(), "server.dll");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvotill\\ActiveX",
                               "File1", ""),
            dir / "dest\\server.dll;0");
  auto pending = platform::RegKey::open(platform::RegRoot::LocalMachine, kPending)->tryReadMultiString("PendingFileRenameOperations");
  ASSERT_TRUE(pending);
  bool found = false;
  for (const std::string& s : *pending) found = found || s.find("server.2") != std::string::npos;
  EXPECT_TRUE(found);
  // What the restart does: the waiting file takes the destination's place, then the
  // resumed run completes the registration.
  platform::deleteFile(dir / "dest\\server.dll");
  std::filesystem::rename(std::filesystem::path(dir / "dest\\server.2"), std::filesystem::path(dir / "dest\\server.dll"));
  f->CompleteAfterReboot();
  EXPECT_EQ(registered("server.dll"), "registered");
  // Leave no rename of the scratch folder for a later restart of the prefix.
  platform::RegKey key = platform::RegKey::create(platform::RegRoot::LocalMachine, kPending);
  std::vector<std::string> kept;
  for (size_t i = 0; i + 1 < pending->size(); i += 2)
    if (pending->at(i).find("server.2") == std::string::npos) {
      kept.push_back(pending->at(i));
      kept.push_back(pending->at(i + 1));
    }
  if (kept.empty()) key.deleteValue("PendingFileRenameOperations");
  else key.writeMultiString("PendingFileRenameOperations", kept);
}

TEST_F(ReplacementTest, WithoutTheDelayedMoveABatchFileRunsOnceAtTheNextStart) {
  TCustomInstallFile::MoveAfterReboot = [](const std::string&, const std::string&) { throw Exception("no delayed move"); };
  auto* a = add("DataA", "versioned1.dll", "a.dat");
  auto* b = add("DataB", "versioned1.dll", "b.dat");
  platform::forceDirectories(dir / "dest");
  copyFile(a->SourcePath(), dir / "dest\\a.dat");
  copyFile(a->SourcePath(), dir / "dest\\b.dat");
  std::vector<std::string> batches;
  {
    Holder holdA(dir, dir / "dest\\a.dat");
    a->ReleaseDestination();
    b->ReleaseDestination();  // not held: replaced once the new file is complete
  }
  EXPECT_TRUE(a->NeedsReboot());
  EXPECT_FALSE(b->NeedsReboot());
  EXPECT_TRUE(platform::fileExists(dir / "dest\\b.dat"));
  EXPECT_EQ(a->DestName(), "a.1");
  ASSERT_EQ(engine->unfinished.size(), 1u);
  std::string batch = engine->unfinished[0].substr(0, engine->unfinished[0].size() - 2);
  EXPECT_EQ(engine->unfinished[0].substr(batch.size()), ";1");
  EXPECT_EQ(ExtractFileExt(batch), ".bat");
  const std::string busy = GetShortPath(dir / "dest\\a.dat");
  const std::string guard = "if exist " + ExtractFilePath(busy) + "a.1 ";
  EXPECT_EQ(readAll(batch),
            guard + "erase " + busy + "\r\n" + guard + "move " + ExtractFilePath(busy) + "a.1 " + busy + "\r\n");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kRunOnceKey, "KestruneBatFile", ""), batch);
  platform::deleteFile(batch);
}

TEST_F(ReplacementTest, Windows95WritesTheRenameLineOfWininit) {
  if (GetWindowsPlatform() != wpWindows95) GTEST_SKIP() << "runs with the Windows 98 version setting";
  auto* a = add("DataA", "versioned1.dll", "a.dat");
  platform::forceDirectories(dir / "dest");
  copyFile(a->SourcePath(), dir / "dest\\a.dat");
  const std::string wininit = AddBackslash(GetWindowsDir()) + "WININIT.INI";
  {
    Holder hold(dir, dir / "dest\\a.dat");
    a->ReleaseDestination();
  }
  const std::string busy = GetShortPath(dir / "dest\\a.dat");
  EXPECT_EQ(platform::readProfileString(wininit, "Rename", busy), ExtractFilePath(busy) + "a.1");
  EXPECT_TRUE(engine->reboot);
  platform::deleteFile(wininit);
}

TEST_F(ReplacementTest, RegistrationOfServersAndTheirErrors) {
  // In-process server: registered at once; refused during a run: kept for the retry;
  // refused outside a run: an error.
  auto* dll = add("Server", "comserver.dll", "server.dll");
  auto* exe = add("Local", "comexe.exe", "local.exe");
  exe->SetLoading(true);
  exe->SetActiveX(true);
  exe->SetLoading(false);
  engine->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  platform::setEnvironmentVariable("KESTRUNE_REFUSE_REGISTRATION", "1");
  engine->Process();
  EXPECT_EQ(FailedRegistrations().Count(), 1);
  EXPECT_EQ(FailedRegistrations().Items(0), dll);
  EXPECT_EQ(messageOf([&] { dll->RegisterActiveX(); }),
            "Could not register the ActiveX component, " + dll->DestPath() +
                ", because the DllRegisterServer function returned a value of -2147467259. The file component is Server");
  platform::setEnvironmentVariable("KESTRUNE_REFUSE_REGISTRATION", std::nullopt);
  dll->RegisterActiveX();
  EXPECT_EQ(registered("server.dll"), "registered");
  FailedRegistrations().Clear();
  // The local server registers itself when started with /REGSERVER; nobody waits for it.
  for (int i = 0; i < 100 && registered("local.exe").empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(registered("local.exe"), "registered");

  // Files that cannot be loaded or started, and a library without the export.
  auto* broken = add("Broken", "versioned1.dll", "broken.dat");
  broken->SetDestName("broken.dll");
  std::string path = dir / "dest\\broken.dll";
  {
    platform::File f = platform::File::create(path);
    f.writeAll("not a program", 13);
  }
  EXPECT_EQ(messageOf([&] { broken->RegisterDllServer(); }),
            "Could not register the ActiveX component, " + path + ", because the LoadLibrary(" + path +
                ") procedure returned a value of 0. The file component is Broken. The following value is the value of the "
                "GetLastError function: 193");
  copyFile(programDir() + "\\versioned1.dll", path);
  EXPECT_EQ(messageOf([&] { broken->RegisterDllServer(); }),
            "Could not register the ActiveX component, " + path +
                ", because the DllRegisterServer function could not be found. The file component is Broken. The following "
                "value is the value of the GetLastError function: 127");
  broken->SetDestName("broken.exe");
  path = dir / "dest\\broken.exe";
  {
    platform::File f = platform::File::create(path);
    f.writeAll("not a program", 13);
  }
  EXPECT_EQ(messageOf([&] { broken->RegisterExeServer(); }),
            "Could not register the ActiveX component, " + path + ", because the WinExec(" + path +
                ",SW_HIDE) function returned a value < 32. The file component is Broken. The following value is the value "
                "of the GetLastError function: 193");
  broken->SetDestName("missing.dll");
  EXPECT_EQ(messageOf([&] { broken->RegisterDllServer(); }),
            "Cannot compress,copy, or install the following file because it's destination directory is blank. File is "
            ":Broken");
}

TEST_F(ReplacementTest, SharedCountersHelpAndOverwriteByVersion) {
  auto* lib = add("Lib", "versioned2.dll", "lib.dll");
  lib->SetUpdateDLLCounter(true);
  lib->SetOverwriteMode(TOverwriteType::owVersion);
  auto* help = add("Help", "versioned1.dll", "zarvo.hlp");
  EXPECT_TRUE(help->RegisterAsHelp());
  engine->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  platform::forceDirectories(dir / "dest");
  copyFile(programDir() + "\\versioned1.dll", dir / "dest\\lib.dll");
  // Version 2 replaces version 1; the counter under the long name starts at 1.
  DeleteRegistryTree(rkLocalMachine, kSharedDLLs);
  engine->Process();
  EXPECT_EQ(readAll(dir / "dest\\lib.dll"), readAll(programDir() + "\\versioned2.dll"));
  auto shared = platform::RegKey::open(platform::RegRoot::LocalMachine, kSharedDLLs);
  ASSERT_TRUE(shared);
  EXPECT_EQ(shared->tryReadDword(lib->DestPath()), 1u);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\Help", "ZARVO.HLP", ""), dir / "dest");
  // A second install keeps the equal version and still counts; a counter stored under
  // the short name is the one counted.
  const std::string shortName = GetShortPath(lib->DestPath());
  ASSERT_NE(shortName, lib->DestPath());
  shared.reset();
  platform::RegKey::create(platform::RegRoot::LocalMachine, kSharedDLLs).writeDword(shortName, 5);
  lib->Process();
  EXPECT_FALSE(lib->InstallIt());
  EXPECT_EQ(readAll(dir / "dest\\lib.dll"), readAll(programDir() + "\\versioned2.dll"));
  shared = platform::RegKey::open(platform::RegRoot::LocalMachine, kSharedDLLs);
  EXPECT_EQ(shared->tryReadDword(shortName), 6u);
  EXPECT_EQ(shared->tryReadDword(lib->DestPath()), 1u);
}

// A file whose counter could not be written.
class TUncountedFile : public TInstallFile {
 public:
  using TInstallFile::TInstallFile;
  bool IncrementSharedDLLCount() override { return false; }
};

TEST_F(ReplacementTest, SharedCounterFailuresEndTheStepNamingTheFile) {
  auto* lib = add("Lib", "versioned2.dll", "lib.dll");
  auto* uncounted = add<TUncountedFile>("Uncounted", "versioned1.dll", "other.dll");
  lib->SetUpdateDLLCounter(true);
  uncounted->SetUpdateDLLCounter(true);
  engine->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  // A SharedDLLs key the run may only read (Wine checks registry ACLs as Windows does).
  platform::RegKey::create(platform::RegRoot::LocalMachine, kSharedDLLs);
  ASSERT_TRUE(kestrune_test_lock_key(kSharedDLLs.c_str() + 1, 1));
  const std::string message = messageOf([&] { lib->Process(); });
  kestrune_test_lock_key(kSharedDLLs.c_str() + 1, 0);
  EXPECT_EQ(message, "Could not open the key SharedDLLs key in the registry. File component Lib. GetLastError return: 5");
  EXPECT_EQ(readAll(lib->DestPath()), readAll(lib->SourcePath())) << "the file itself is in place";
  EXPECT_EQ(messageOf([&] { uncounted->Process(); }), "Cannot update the DLL count for the following file :other.dll:");
}

}  // namespace
}  // namespace kestrune
