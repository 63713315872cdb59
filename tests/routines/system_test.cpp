// System routines: platform classes, directories, temporary names, short paths, INI values
// (under Wine against the prefix), error texts (natively, where the system calls fail), and
// unique component names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/system.h"
#include "routines/routines_System.h"
#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {
namespace {

TEST(WindowsPlatform, ClassOfEachVersion) {
  EXPECT_EQ(WindowsPlatformOf(0, 1, 0), wpWin32s);
  EXPECT_EQ(WindowsPlatformOf(1, 4, 10), wpWindows95);
  EXPECT_EQ(WindowsPlatformOf(2, 3, 51), wpWindowsNT35);
  EXPECT_EQ(WindowsPlatformOf(2, 3, 5), wpWindowsNT35);
  EXPECT_EQ(WindowsPlatformOf(2, 3, 1), wpWindowsNT);
  EXPECT_EQ(WindowsPlatformOf(2, 4, 0), wpWindowsNT);
  EXPECT_EQ(WindowsPlatformOf(2, 13, 5), wpWindowsNT);  // not a 3.5x version
  EXPECT_EQ(WindowsPlatformOf(3, 10, 0), wpOther);
}

TEST(SetUniqueName, AppendsTheFirstFreeNumber) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Group");
  auto* b = new TComponent(&owner);
  b->SetName("Group1");
  auto* c = new TComponent(&owner);
  SetUniqueName(*c, "Group");
  EXPECT_EQ(c->Name(), "Group2");
  auto* d = new TComponent(&owner);
  SetUniqueName(*d, "Free");
  EXPECT_EQ(d->Name(), "Free");
  // Renaming a component to its own name is no clash.
  SetUniqueName(*a, "group");
  EXPECT_EQ(a->Name(), "group");
  // A name that is no identifier fails at once instead of trying numbers for ever.
  EXPECT_THROW(SetUniqueName(*d, "1st"), EComponentError);
  EXPECT_THROW(SetUniqueName(*d, "two words"), EComponentError);
  EXPECT_EQ(d->Name(), "Free");
}

#ifdef _WIN32

TEST(SystemDirs, AsTheSystemGivesThem) {
  std::string windows = GetWindowsDir(), system = GetSystemDir();
  EXPECT_TRUE(platform::directoryExists(windows)) << windows;
  EXPECT_TRUE(platform::directoryExists(system)) << system;
  EXPECT_NE(windows.back(), '\\');
  EXPECT_EQ(LowerCase(system).rfind(LowerCase(windows) + "\\", 0), 0u) << system;
  EXPECT_EQ(GetWindowsPlatform(), wpWindowsNT);
}

TEST(MakeTempFileName, ATemporaryDirectoryThatIsGoneIsReported) {
#ifdef _WIN32
  const char* var = "TMP";
  const std::string missing = "C:\\no\\such\\temp\\dir";
#else
  const char* var = "TMPDIR";
  const std::string missing = "/no/such/temp/dir";
#endif
  std::optional<std::string> saved = platform::environmentVariable(var);
  platform::setEnvironmentVariable(var, missing);
  try {
    MakeTempFileName(true);
    ADD_FAILURE() << "no error for a missing temporary directory";
  } catch (const EAPIRoutines& e) {
    EXPECT_EQ(e.Message(), "Cannot create a temporary file");
  }
  platform::setEnvironmentVariable(var, saved);
}

TEST(MakeTempFileName, UniqueNamesInTheTempDirectory) {
  std::string kept = MakeTempFileName(true), gone = MakeTempFileName(false);
  EXPECT_NE(kept, gone);
  EXPECT_TRUE(platform::fileExists(kept));
  EXPECT_FALSE(platform::fileExists(gone));
  for (const std::string& name : {kept, gone}) {
    EXPECT_EQ(LowerCase(ExtractFileName(name)).rfind("bat", 0), 0u) << name;
    EXPECT_TRUE(SameText(ExtractFilePath(name), platform::tempDirectory())) << name;
  }
  platform::deleteFile(kept);
}

TEST(GetShortPath, ShortensExistingPathsAndKeepsOthers) {
  std::string dir = platform::tempDirectory() + "Kestrune long directory name";
  platform::createDirectory(dir);
  std::string shortPath = GetShortPath(dir);
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  EXPECT_TRUE(platform::directoryExists(shortPath)) << shortPath;
  platform::removeDirectory(dir);
  std::string missing = "C:\\no such directory\\no such file.txt";
  EXPECT_EQ(GetShortPath(missing), missing);
}

TEST(ReadIniString, ValuesOrEmpty) {
  std::string file = platform::tempDirectory() + "kestrune_routines.ini";
  {
    std::ofstream out(file, std::ios::binary);
    out << "[Setup]\r\nSource=C:\\Dist\\setup.1\r\nEmpty=\r\n[Other]\r\nSource=no\r\n";
  }
  EXPECT_EQ(ReadIniString(file, "Setup", "Source"), "C:\\Dist\\setup.1");
  EXPECT_EQ(ReadIniString(file, "setup", "source"), "C:\\Dist\\setup.1");
  EXPECT_EQ(ReadIniString(file, "Setup", "Empty"), "");
  EXPECT_EQ(ReadIniString(file, "Setup", "Missing"), "");
  EXPECT_EQ(ReadIniString(file, "Missing", "Source"), "");
  platform::deleteFile(file);
  EXPECT_EQ(ReadIniString(file, "Setup", "Source"), "");
}

#else

// Natively the Windows services fail, which shows the kit's error texts.
TEST(SystemRoutines, FailuresRaiseTheKitsTexts) {
  auto message = [](auto call) -> std::string {
    try {
      call();
    } catch (const EAPIRoutines& e) {
      return e.Message();
    }
    return "no EAPIRoutines";
  };
  EXPECT_EQ(message(GetWindowsDir), "Could not retrieve the windows directory from windows");
  EXPECT_EQ(message(GetSystemDir), "Could not retrieve the system directroy from windows");
  EXPECT_EQ(message(GetWindowsPlatform), "Could not get information about the current version of Windows");
}

#endif

}  // namespace
}  // namespace kestrune
