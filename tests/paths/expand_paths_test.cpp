// Meta-variable scanning, directory creation, and (under Wine) the shell folder routines
// against the registry of the test prefix.
#include <gtest/gtest.h>

#include <map>

#include "paths/routines_ExpandPaths.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"

namespace kestrune {
namespace {

TMetaVariableResolver stubResolver(std::vector<char>* asked = nullptr) {
  return [asked](char letter) -> std::string {
    if (asked) asked->push_back(letter);
    if (letter == 'i') throw EAICannotExpandInstallDirMV("no engine");
    return letter == 'a' ? "C:\\Dest\\" : "C:\\Container";
  };
}

TEST(ExpandMetaVariables, ScanRules) {
  struct Case {
    const char* text;
    const char* expanded;
  } cases[] = {
      {"100%% done", "100% done"},
      {"%%%%", "%%"},
      {"%x%y%1 left", " left"},
      {"trailing %", "trailing "},
      {"%", ""},
      {"%%%", "%"},
      {"%a\\App", "C:\\Dest\\App"},
      {"%A\\App /c=%C", "C:\\Dest\\App /c=C:\\Container"},
      {"plain text", "plain text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ExpandMetaVariablesWith(c.text, stubResolver()), c.expanded);
  }
}

TEST(ExpandMetaVariables, ResolverLettersAndErrors) {
  std::vector<char> asked;
  EXPECT_EQ(ExpandMetaVariablesWith("%a%C%z", stubResolver(&asked)), "C:\\DestC:\\Container");
  EXPECT_EQ(asked, (std::vector<char>{'a', 'c'}));
  // The first error ends the expansion: nothing after it is asked for.
  asked.clear();
  EXPECT_THROW(ExpandMetaVariablesWith("%a %I %c", stubResolver(&asked)), EAICannotExpandInstallDirMV);
  EXPECT_EQ(asked, (std::vector<char>{'a', 'i'}));
  // Without a resolver the object variables give nothing.
  EXPECT_EQ(ExpandMetaVariablesWith("[%a%c%i]", nullptr), "[]");
}

class Directories : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = platform::tempDirectory() + "kestrune_paths_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    removeTree();
  }
  void TearDown() override { removeTree(); }
  void removeTree() {
    for (const char* sub : {"\\a\\b\\c", "\\a\\b", "\\a", ""}) platform::removeDirectory(path(sub));
  }
  // Tests write Windows paths; natively the separator is "/".
  std::string path(std::string sub) const {
#ifndef _WIN32
    for (char& ch : sub)
      if (ch == '\\') ch = '/';
#endif
    return base_ + sub;
  }
  std::string base_;
};

TEST_F(Directories, CreatesEveryMissingParent) {
  CreateDirectories(path("\\a\\b\\c"));
  EXPECT_TRUE(DirectoryExists(path("\\a\\b\\c")));
  // Existing directories and one trailing backslash are fine.
  CreateDirectories(path("\\a\\b\\c") + "\\");
  CreateDirectories(path("\\a"));
  EXPECT_TRUE(DirectoryExists(path("\\a\\b\\c")));
  EXPECT_FALSE(DirectoryExists(path("\\a\\b\\c\\missing")));
}

TEST_F(Directories, EdgesOfCreation) {
  try {
    CreateDirectories("");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Unable to create directory");
  }
  CreateDirectories("C:");  // a bare drive is left alone
  CreateDirectories("C:\\");
  // A directory below a file cannot be made; that is not reported here.
  CreateDirectories(path(""));
  std::string file = path("\\file");
  platform::File::create(file).close();
  EXPECT_NO_THROW(CreateDirectories(path("\\file\\sub")));
  EXPECT_FALSE(DirectoryExists(path("\\file\\sub")));
  EXPECT_FALSE(DirectoryExists(file));
  platform::deleteFile(file);
}

#ifdef _WIN32

constexpr const char* kShellFolders = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kCurrentVersion = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Changes registry values for one test and puts the prefix's own values back afterwards.
class ShellFolders : public ::testing::Test {
 protected:
  void TearDown() override {
    for (auto& [where, original] : saved_) {
      auto key = platform::RegKey::create(where.first, where.second.first);
      if (original) key.writeString(where.second.second, *original);
      else key.deleteValue(where.second.second);
    }
    platform::setCurrentDirectory(cwd_);
  }
  void set(platform::RegRoot root, const char* key, const char* name, const std::optional<std::string>& value) {
    auto opened = platform::RegKey::create(root, key);
    saved_.try_emplace({root, {key, name}}, opened.tryReadString(name));
    if (value) opened.writeString(name, *value);
    else opened.deleteValue(name);
  }
  void setUser(const char* name, const std::optional<std::string>& value) {
    set(platform::RegRoot::CurrentUser, kShellFolders, name, value);
  }
  void setMachine(const char* name, const std::optional<std::string>& value) {
    set(platform::RegRoot::LocalMachine, kCurrentVersion, name, value);
  }
  std::map<std::pair<platform::RegRoot, std::pair<std::string, std::string>>, std::optional<std::string>> saved_;
  std::string cwd_ = platform::currentDirectory();
};

TEST_F(ShellFolders, RegistryValueWithoutItsTrailingBackslash) {
  struct Row {
    const char* name;
    std::string (*routine)();
    bool machine;
  } rows[] = {{"Start Menu", GetStartMenuDir, false},         {"Programs", GetProgramsDir, false},
              {"Desktop", GetDesktopDir, false},              {"Startup", GetStartupDir, false},
              {"ProgramFilesDir", GetProgramFilesDir, true}, {"CommonFilesDir", GetCommonFilesDir, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = std::string("X:\\Kestrune ") + row.name;
    if (row.machine) setMachine(row.name, value + "\\");
    else setUser(row.name, value + "\\");
    EXPECT_EQ(row.routine(), value);
    if (row.machine) setMachine(row.name, value);
    else setUser(row.name, value);
    EXPECT_EQ(row.routine(), value);
  }
}

TEST_F(ShellFolders, FallbacksWhenTheValuesAreMissing) {
  for (const char* name : {"Start Menu", "Programs", "Desktop", "Startup"}) setUser(name, std::nullopt);
  setMachine("ProgramFilesDir", std::nullopt);
  setMachine("CommonFilesDir", std::nullopt);
  std::string windows = GetWindowsDir();
  EXPECT_EQ(GetStartMenuDir(), windows + "\\Startmen");
  EXPECT_EQ(GetProgramsDir(), windows + "\\Startmen\\Programs");
  EXPECT_EQ(GetDesktopDir(), windows + "\\Desktop");
  EXPECT_EQ(GetStartupDir(), windows + "\\Startup");
  // The program files fallbacks follow the drive of the current directory at each call.
  platform::setCurrentDirectory(GetSystemDir());
  EXPECT_EQ(GetProgramFilesDir(), "C:\\Program Files");
  EXPECT_EQ(GetCommonFilesDir(), "C:\\Program Files\\Common Files");
  platform::setCurrentDirectory("Z:\\");
  EXPECT_EQ(GetProgramFilesDir(), "Z:\\Program Files");
  // The programs fallback is built on the start menu's registry value when there is one.
  setUser("Start Menu", "Y:\\Menu\\");
  EXPECT_EQ(GetProgramsDir(), "Y:\\Menu\\Programs");
}

TEST_F(ShellFolders, MetaVariablesUseThem) {
  setMachine("ProgramFilesDir", "X:\\Programs\\");
  setUser("Desktop", "X:\\Desk");
  EXPECT_EQ(ExpandMetaVariablesWith("%P\\App", nullptr), "X:\\Programs\\App");
  EXPECT_EQ(ExpandMetaVariablesWith("%p\\App", nullptr), "X:\\Programs\\App");
  EXPECT_EQ(ExpandMetaVariablesWith("%d|%w|%s", nullptr), "X:\\Desk|" + GetWindowsDir() + "|" + GetSystemDir());
}

#endif

}  // namespace
}  // namespace kestrune
