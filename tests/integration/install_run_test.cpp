// Whole install trees through the engine's own run under Wine: a script in text form
// (nested groups, one with an archive of its own, files of every overwrite mode, real
// version resources, a help file, shared DLLs and an in-process server) is compressed by
// the containers and installed by TInstall's run; files, dates, registry entries and the
// progress the engine saw are checked afterwards, then a run whose server refuses its
// registration must fail with the retry's message.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>

#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/exit_codes.h"
#include "engine/register_classes.h"
#include "engine/script_loader.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "runtime/sysutils.h"
#include "runtime/text_form.h"

namespace kestrune {
namespace {

using platform::RegRoot;

const std::string kUninstall = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrune Walk";
const std::string kSharedDLLs = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::string kHelp = "\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::string kServers = "\\Software\\KestruneTest";

std::string programDir() { return ExtractFileDir(platform::moduleFileName()); }

std::string readAll(const std::string& path) {
  std::vector<uint8_t> bytes = platform::readWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}
void writeAll(const std::string& path, const std::string& bytes) { platform::writeWholeFile(path, bytes.data(), bytes.size()); }
std::string program(const std::string& name) { return readAll(programDir() + "\\" + name); }

// Moves a file's last-write time by whole days.
void shiftAge(const std::string& path, int days) {
  std::filesystem::path p(path);
  std::filesystem::last_write_time(p, std::filesystem::last_write_time(p) + std::chrono::hours(24 * days));
}

std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

struct Status {
  std::string file;
  int32_t filePercent, totalPercent;
};

class InstallRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerKitClasses(ClassRegistry::Global());
    root = platform::createTempFile("kwalk");
    platform::deleteFile(root);
    root += ".d";
    for (const char* d : {"\\src", "\\arc", "\\dest\\Program\\Lib", "\\dest\\Data"}) platform::forceDirectories(root + d);
    cleanRegistry();
  }
  void TearDown() override {
    platform::setEnvironmentVariable("KESTRUNE_REFUSE_REGISTRATION", std::nullopt);
    FailedRegistrations().Clear();
    form.reset();
    cleanRegistry();
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(root), ec);
  }
  void cleanRegistry() {
    for (const std::string& key : {kUninstall, kSharedDLLs, kHelp, kServers, std::string("\\SOFTWARE\\Kestrune")})
      DeleteRegistryTree(rkLocalMachine, key);
  }
  // Runs the installation as the main form's activation does; returns the message of the
  // error that ended it, empty for a run without one.
  std::string run(TCustomInstall& engine) {
    try {
      engine.Process();
    } catch (const std::exception& e) {
      engine.HandleInstallException(e);
      return e.what();
    }
    return "";
  }
  TCustomInstallFile* file(const std::string& name) { return dynamic_cast<TCustomInstallFile*>(form->FindComponent(name)); }
  std::optional<uint32_t> sharedCount(const std::string& path) {
    auto key = platform::RegKey::open(RegRoot::LocalMachine, kSharedDLLs);
    return key ? key->tryReadDword(path) : std::nullopt;
  }

  std::string root;
  std::unique_ptr<engine::TfrmMain> form;
};

TEST_F(InstallRunTest, AWholeTreeInstallsByItsRulesAndARefusedServerFailsTheRun) {
  const std::string src = root + "\\src\\", dest = root + "\\dest\\";
  std::string big(300000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 13);
  const std::map<std::string, std::string> sources = {
      {"readme.txt", "Zarvotill 2.1\r\n"}, {"big.bin", big},
      {"kept.txt", "new settings"},        {"fresh.txt", "fresh"},
      {"zarvo.hlp", "help"},               {"newer.dll", program("versioned2.dll")},
      {"equal.dll", program("versioned1.dll")}, {"older.dll", program("versioned1.dll")},
      {"shared.dll", program("versioned2.dll")}, {"server.dll", program("comserver.dll")},
      {"later.dat", "later"},              {"earlier.dat", "earlier"}};
  for (const auto& [name, bytes] : sources) writeAll(src + name, bytes);

  std::string text = readAll(KESTRUNE_SOURCE_DIR "/tests/integration/install_run.kfm");
  text = replaceAll(replaceAll(replaceAll(text, "@SRC@", root + "\\src"), "@ARC@", root + "\\arc"), "@DEST@", root + "\\dest");
  form = engine::LoadScript(ObjectTextToBinary(text));
  TCustomInstall* install = engine::FindEngine(*form);
  ASSERT_NE(install, nullptr);
  install->Compress(TCompressOptions{TCompressOption::coForceNetFilesLocal});
  ASSERT_TRUE(platform::fileExists(root + "\\arc\\main.1"));
  ASSERT_TRUE(platform::fileExists(root + "\\arc\\libs.1"));
  // The build reads a file's version as it compresses it: programs carry theirs, other
  // files (not starting with "MZ") none.
  EXPECT_EQ(file("Newer")->FileVersion(), "2.0.0.0");
  EXPECT_EQ(file("Server")->FileVersion(), "3.0.0.0");
  EXPECT_EQ(file("Readme")->FileVersion(), "");
  EXPECT_EQ(file("Big")->Size(), 300000);

  // What the target machine holds before the run.
  writeAll(dest + "Program\\readme.txt", "old readme");
  writeAll(dest + "Program\\kept.txt", "old settings");
  writeAll(dest + "Program\\Lib\\newer.dll", program("versioned1.dll"));
  writeAll(dest + "Program\\Lib\\equal.dll", program("versioned1.dll") + "local build");  // same version, other bytes
  writeAll(dest + "Program\\Lib\\older.dll", program("versioned2.dll"));
  writeAll(dest + "Program\\Lib\\shared.dll", program("versioned2.dll") + "x");
  shiftAge(dest + "Program\\Lib\\shared.dll", -2);  // equal versions: the later date wins
  writeAll(dest + "Data\\later.dat", "old later");
  shiftAge(dest + "Data\\later.dat", -2);
  writeAll(dest + "Data\\earlier.dat", "newer local data");
  shiftAge(dest + "Data\\earlier.dat", 2);
  std::map<std::string, std::string> before;
  for (const char* p : {"Program\\kept.txt", "Program\\Lib\\equal.dll", "Program\\Lib\\older.dll", "Data\\earlier.dat"})
    before[p] = readAll(dest + p);

  std::vector<Status> statuses;
  install->OnStatus = [&](TCustomInstallFile* f, int32_t filePercent, int32_t totalPercent) {
    statuses.push_back({f ? f->Name() : "", filePercent, totalPercent});
  };
  ASSERT_EQ(run(*install), "");
  EXPECT_EQ(install->Ending(), TRunEnding::reGood);
  EXPECT_EQ(engine::ExitCodeAfterRun(install), engine::kExitSuccess);

  // Every destination in processing order: the nested group's files first, then its
  // container's, then the second group's. Installed files equal their source and carry
  // the archived date; kept ones are as they were.
  struct Expected {
    const char* component;
    const char* path;
    bool installed;
  };
  const Expected files[] = {
      {"Newer", "Program\\Lib\\newer.dll", true},  {"Equal", "Program\\Lib\\equal.dll", false},
      {"Older", "Program\\Lib\\older.dll", false}, {"Shared", "Program\\Lib\\shared.dll", true},
      {"Server", "Program\\Lib\\server.dll", true}, {"Readme", "Program\\readme.txt", true},
      {"Big", "Program\\big.bin", true},            {"Kept", "Program\\kept.txt", false},
      {"Fresh", "Program\\fresh.txt", true},        {"Help", "Program\\zarvo.hlp", true},
      {"Later", "Data\\later.dat", true},           {"Earlier", "Data\\earlier.dat", false}};
  std::vector<std::string> listed;
  for (const Expected& e : files) {
    SCOPED_TRACE(e.component);
    TCustomInstallFile* f = file(e.component);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->DestPath(), dest + e.path);
    EXPECT_EQ(f->InstallIt(), e.installed);
    if (e.installed) {
      EXPECT_EQ(readAll(dest + e.path), sources.at(f->FileName()));
      EXPECT_NEAR(*platform::fileAgeDays(dest + e.path), f->FileDate(), 2.0 / 86400);
      EXPECT_NEAR(f->FileDate(), *platform::fileAgeDays(src + f->FileName()), 2.0 / 86400);
    } else {
      EXPECT_EQ(readAll(dest + e.path), before[e.path]);
    }
    if (!f->ActiveX()) listed.push_back(dest + e.path);
  }

  // The uninstall list names every file, kept ones too; the server has its own list.
  std::vector<std::string> uninstall;
  const int entries = std::stoi(ReadRegistryString(rkLocalMachine, kUninstall + "\\Files", "Entries", "0"));
  for (int i = 1; i <= entries; ++i)
    uninstall.push_back(ReadRegistryString(rkLocalMachine, kUninstall + "\\Files", "File" + std::to_string(i), ""));
  EXPECT_EQ(uninstall, listed);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kUninstall + "\\ActiveX", "Entries", ""), "1");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kUninstall + "\\ActiveX", "File1", ""), dest + "Program\\Lib\\server.dll;0");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kHelp, "ZARVO.HLP", ""), dest + "Program");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kServers, "server.dll", ""), "registered");
  EXPECT_EQ(sharedCount(dest + "Program\\Lib\\shared.dll"), 1u);
  EXPECT_EQ(sharedCount(dest + "Program\\Lib\\server.dll"), 1u);
  EXPECT_FALSE(platform::keyExists(RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune")) << "a good run removes its record";

  // Progress: every file ends at 100 %, kept ones included, and the total only grows, to 100.
  std::map<std::string, int32_t> lastFilePercent;
  int32_t total = 0;
  for (const Status& s : statuses) {
    EXPECT_GE(s.totalPercent, total) << s.file;
    total = s.totalPercent;
    lastFilePercent[s.file] = s.filePercent;
  }
  EXPECT_EQ(total, 100);
  EXPECT_EQ(lastFilePercent.size(), std::size(files));
  for (const auto& [name, percent] : lastFilePercent) EXPECT_EQ(percent, 100) << name;
  EXPECT_GT(statuses.size(), std::size(files)) << "the big file reports its progress in steps";

  // Second run over the installed tree, with the server refusing: everything is kept,
  // still counted, and the registration is tried again at the end, where its failure ends
  // the run as failed and the record stays for the next start.
  platform::setEnvironmentVariable("KESTRUNE_REFUSE_REGISTRATION", "1");
  DeleteRegistryTree(rkLocalMachine, kServers);
  statuses.clear();
  EXPECT_EQ(run(*install), "Could not register the ActiveX component, " + dest +
                               "Program\\Lib\\server.dll, because the DllRegisterServer function returned a value of "
                               "-2147467259. The file component is Server");
  EXPECT_EQ(install->Ending(), TRunEnding::reFailed);
  EXPECT_EQ(engine::ExitCodeAfterRun(install), engine::kExitFailed);
  EXPECT_FALSE(file("Server")->InstallIt());
  EXPECT_TRUE(dynamic_cast<TInstallContainer*>(form->FindComponent("Data"))->Processed()) << "the walk went on";
  EXPECT_EQ(sharedCount(dest + "Program\\Lib\\server.dll"), 2u);
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, kServers, "server.dll", ""), "");
  EXPECT_TRUE(platform::keyExists(RegRoot::LocalMachine, "\\SOFTWARE\\Kestrune\\Install"));
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.back().totalPercent, 100);
}

}  // namespace
}  // namespace kestrune
