// System services: environment, current directory, starting programs, and under Wine the
// INI functions, delayed moves, short names, version and the shutdown privilege.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/portable_pe_resources.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/version_api.h"
#ifdef _WIN32
#include "platform/win_system_library.h"
#endif

namespace kestrune::platform {
namespace {

TEST(Environment, SetReadAndRemove) {
  const char* name = "KESTRUNE_PLATFORM_TEST";
  setEnvironmentVariable(name, std::string("a value"));
  EXPECT_EQ(environmentVariable(name), "a value");
  setEnvironmentVariable(name, std::string(600, 'x'));
  EXPECT_EQ(environmentVariable(name), std::string(600, 'x'));
  setEnvironmentVariable(name, std::nullopt);
  EXPECT_FALSE(environmentVariable(name).has_value());
}

TEST(CurrentDirectory, FollowsChanges) {
  std::string before = currentDirectory();
  std::string temp = tempDirectory();
  setCurrentDirectory(temp);
  std::string now = currentDirectory();
  setCurrentDirectory(before);
  // The temporary directory comes with its separator, the current directory without.
  EXPECT_EQ(now + temp.back(), temp);
  EXPECT_EQ(currentDirectory(), before);
  EXPECT_THROW(setCurrentDirectory(temp + "no such directory"), PlatformError);
}

TEST(StartProcess, WaitsForTheExitCodeAndReportsFailures) {
#ifdef _WIN32
  std::string dir = tempDirectory() + "kestrune start dir";
  createDirectory(dir);
  EXPECT_EQ(startProcess("cmd.exe /c exit 7", {.directory = {}, .wait = true}), 7u);
  // The working directory reaches the program.
  EXPECT_EQ(startProcess("cmd.exe /c echo x> here.txt", {.directory = dir, .show = ShowMode::Hidden, .wait = true}), 0u);
  EXPECT_TRUE(fileExists(dir + "\\here.txt"));
  deleteFile(dir + "\\here.txt");
  removeDirectory(dir);
  try {
    startProcess("C:\\no\\such\\program.exe", {.directory = {}, .wait = true});
    FAIL() << "no exception";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Api(), "CreateProcessW");
  }
#else
  EXPECT_EQ(startProcess("exit 7", {.directory = {}, .wait = true}), 7u);
  EXPECT_EQ(startProcess("test \"$(pwd)\" = /", {.directory = "/", .wait = true}), 0u);
#endif
}

#ifdef _WIN32

TEST(Version, NtPlatformAndModule) {
  OsVersion version = osVersion();
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_GE(version.major, 4u);
  std::string module = moduleFileName();
  EXPECT_TRUE(fileExists(module)) << module;
  EXPECT_NE(module.find("platform_system_tests.exe"), std::string::npos) << module;
}

TEST(BitmapResource, CompressedAndPlainGiveTheSameFile) {
  auto compressed = loadBitmapResource("InstallTheme1");
  auto plain = loadBitmapResource("PLAINTHEME");
  ASSERT_TRUE(compressed && plain);
  EXPECT_EQ(compressed->size(), 102134u);
  EXPECT_TRUE(*compressed == *plain);  // the file header rebuilt for the plain one
  EXPECT_FALSE(loadBitmapResource("NOTHEME"));
}

// This test program rewritten with a data resource added, enlarged and shrunk again: the
// other resources stay, the file is the same size as with the small data alone (no dead
// space), and the system loads the copy, finds the resource and runs it.
TEST(ResourceRewrite, AddGrowShrinkAndRun) {
  const std::vector<uint8_t> self = readWholeFile(moduleFileName());
  const std::vector<uint8_t> small = {'T', 'P', 'F', '0', 7};
  const std::vector<uint8_t> big(300000, 0x5A);
  const auto once = pe::WithRcData(self, "KstTest", small);
  const auto again = pe::WithRcData(pe::WithRcData(once, "KSTTEST", big), "ksttest", small);
  EXPECT_TRUE(again == once);
  EXPECT_EQ(pe::FindRcData(once, "ksttest"), small);
  EXPECT_EQ(pe::FindRcData(once, "INSTALLTHEME1"), pe::FindRcData(self, "INSTALLTHEME1"));
  EXPECT_FALSE(pe::FindRcData(self, "KSTTEST"));
  EXPECT_THROW(pe::WithRcData(std::vector<uint8_t>(self.begin(), self.begin() + 4096), "X", small), pe::ResourceLayoutError);

  const std::string copy = tempDirectory() + "kestrune rewritten.exe";
  writeWholeFile(copy, once.data(), once.size());
  EXPECT_TRUE(hasRcData(copy, "KSTTEST"));
  EXPECT_EQ(startProcess("\"" + copy + "\" --gtest_filter=Environment.*", {.directory = {}, .show = ShowMode::Hidden, .wait = true}), 0u);
  deleteFile(copy);
}

TEST(ShortPath, ExistingPathsOnly) {
  std::string dir = tempDirectory() + "Kestrune Long Name Directory";
  createDirectory(dir);
  auto shortName = shortPathName(dir);
  removeDirectory(dir);
  ASSERT_TRUE(shortName.has_value());
  EXPECT_LT(shortName->size(), dir.size());
  EXPECT_FALSE(shortPathName(dir).has_value());
}

TEST(Profile, WriteAndReadBack) {
  std::string file = tempDirectory() + "kestrune_platform.ini";
  deleteFile(file);
  writeProfileString(file, "Build", "Source", "C:\\Dist");
  writeProfileString(file, "Build", "Volumes", "3");
  writeProfileString(file, "Other", "Source", "D:\\");
  writeProfileString(file, "Build", "Source", "C:\\Dist2");
  EXPECT_EQ(readProfileString(file, "Build", "Source"), "C:\\Dist2");
  EXPECT_EQ(readProfileString(file, "BUILD", "volumes"), "3");
  EXPECT_EQ(readProfileString(file, "Other", "Source"), "D:\\");
  EXPECT_EQ(readProfileString(file, "Build", "Missing", "default"), "default");
  // A value longer than the first buffer comes back whole.
  std::string longValue(5000, 'v');
  writeProfileString(file, "Build", "Long", longValue);
  EXPECT_EQ(readProfileString(file, "Build", "Long"), longValue);
  // The file is plain 8-bit text with CR LF lines.
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().rfind("[Build]\r\nSource=C:\\Dist2\r\nVolumes=3\r\n", 0), 0u) << text.str();
  in.close();
  deleteFile(file);
}

TEST(DelayedMove, LandsInThePendingRenameList) {
  const char* sessionManager = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  std::string source = createTempFile("mov");
  std::string target = source + ".new";
  moveFileAfterReboot(source, target);
  moveFileAfterReboot(source, "");
  RegKey key = RegKey::create(RegRoot::LocalMachine, sessionManager);
  auto pending = key.tryReadMultiString("PendingFileRenameOperations");
  ASSERT_TRUE(pending.has_value());
  // Pairs of source and target, in the order given; a delete has an empty target.
  std::vector<std::string> ours;
  for (size_t i = 0; i + 1 < pending->size(); i += 2)
    if ((*pending)[i].ends_with(source)) ours.push_back((*pending)[i + 1]);
  ASSERT_EQ(ours.size(), 2u);
  EXPECT_TRUE(ours[0].ends_with(target)) << ours[0];
  EXPECT_EQ(ours[1], "");
  // Take our entries out again; the file itself is removed now.
  if (auto raw = key.tryReadMultiString("PendingFileRenameOperations")) {
    std::vector<std::string> kept;
    for (size_t i = 0; i + 1 < raw->size(); i += 2)
      if (!(*raw)[i].ends_with(source)) kept.insert(kept.end(), {(*raw)[i], (*raw)[i + 1]});
    if (kept.empty()) key.deleteValue("PendingFileRenameOperations");
    else key.writeMultiString("PendingFileRenameOperations", kept);
  }
  deleteFile(source);
}

TEST(Shutdown, PrivilegeCanBeEnabled) { EXPECT_NO_THROW(enableShutdownPrivilege()); }

TEST(ShellExecute, MissingFileIsReported) {
  try {
    shellExecute("C:\\no\\such\\document.kestrune");
    FAIL() << "no exception";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Api(), "ShellExecuteW");
    EXPECT_LE(e.Code(), 32u);
  }
}

// The libraries loaded at their first call (not imported): a call goes through, and a
// library or a function that is not there is an error that names it, not a crash.
TEST(SystemLibrary, CallsGoThroughAndMissingOnesAreNamed) {
  const auto block = ReadVersionInfo(systemDirectory() + "\\kernel32.dll");
  ASSERT_TRUE(block.has_value());
  EXPECT_TRUE(QueryFixedFileInfo(*block).has_value());
  EXPECT_NE(systemProc("version.dll", "VerQueryValueW"), nullptr);
  try {
    systemProc("kestrune-no-such-library.dll", "SomeFunction");
    FAIL() << "no exception";
  } catch (const SystemLibraryError& e) {
    EXPECT_NE(e.Message().find("kestrune-no-such-library.dll"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("SomeFunction"), std::string::npos) << e.Message();
    EXPECT_EQ(e.Code(), 126u);
  }
  try {
    systemProc("version.dll", "KestruneNoSuchFunction");
    FAIL() << "no exception";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Message(), "The system library version.dll has no function KestruneNoSuchFunction");
  }
}

#endif

}  // namespace
}  // namespace kestrune::platform
