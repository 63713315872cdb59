// Registry routines against the registry of the test prefix (natively: the in-memory
// stand-in). Every test works below its own key and deletes it afterwards.
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "routines/routines_Registry.h"
#include "runtime/exceptions.h"

namespace kestrune {
namespace {

using platform::RegRoot;

class RegistryRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = std::string("\\Software\\KestruneRoutinesTest_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    DeleteRegistryTree(rkCurrentUser, key_);
  }
  void TearDown() override { DeleteRegistryTree(rkCurrentUser, key_); }
  std::string key_;
};

TEST_F(RegistryRoutines, WritesCreateTheKeyAndReadBack) {
  std::string nested = key_ + "\\A\\B";
  WriteRegistryString(rkCurrentUser, nested, "Text", "P\xc5\x99\xc3\xadklad \\ ;");
  WriteRegistryInteger(rkCurrentUser, nested, "Number", -5);
  WriteRegistryString(rkCurrentUser, nested, "", "default value");
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, nested, "Text", "x"), "P\xc5\x99\xc3\xadklad \\ ;");
  EXPECT_EQ(ReadRegistryInteger(rkCurrentUser, nested, "Number", 0), -5);
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, nested, "", "x"), "default value");
  // Bit 7 of the code is ignored; the path works without its leading backslash too.
  EXPECT_EQ(ReadRegistryString(rkCurrentUser | 0x80, nested.substr(1), "Text", "x"), "P\xc5\x99\xc3\xadklad \\ ;");
  // An unknown code means HKEY_CURRENT_USER.
  EXPECT_EQ(ReadRegistryInteger(77, nested, "Number", 0), -5);
  // Writing again replaces the value, also with another type.
  WriteRegistryInteger(rkCurrentUser, nested, "Text", 12);
  EXPECT_EQ(ReadRegistryInteger(rkCurrentUser, nested, "Text", 0), 12);
}

TEST_F(RegistryRoutines, ReadsGiveTheDefaultAndCreateNothing) {
  std::string missing = key_ + "\\Missing";
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, missing, "Name", "fallback"), "fallback");
  EXPECT_EQ(ReadRegistryInteger(rkCurrentUser, missing, "Name", 42), 42);
  EXPECT_FALSE(platform::keyExists(RegRoot::CurrentUser, missing));
  EXPECT_FALSE(platform::keyExists(RegRoot::CurrentUser, key_));

  WriteRegistryString(rkCurrentUser, key_, "Text", "12");
  WriteRegistryInteger(rkCurrentUser, key_, "Number", 7);
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, key_, "Other", "d"), "d");
  // A value of the other type is not converted.
  EXPECT_EQ(ReadRegistryInteger(rkCurrentUser, key_, "Text", -1), -1);
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, key_, "Number", "d"), "d");
  EXPECT_EQ(ReadRegistryString(rkLocalMachine, key_, "Text", "d"), "d");
}

TEST_F(RegistryRoutines, DeleteTreeRemovesEverySubKeyAndNothingBeside) {
  for (const char* sub : {"\\Tree\\A", "\\Tree\\A\\AA\\AAA", "\\Tree\\B", "\\Tree\\B\\BB", "\\Sibling"})
    WriteRegistryString(rkCurrentUser, key_ + sub, "V", sub);
  DeleteRegistryTree(rkCurrentUser, key_ + "\\Tree\\");
  EXPECT_FALSE(platform::keyExists(RegRoot::CurrentUser, key_ + "\\Tree"));
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, key_ + "\\Sibling", "V", ""), "\\Sibling");
  // Missing keys are no error.
  DeleteRegistryTree(rkCurrentUser, key_ + "\\Tree");
  DeleteRegistryTree(rkCurrentUser, key_ + "\\Never\\There");
}

#ifndef _WIN32
// Only against the stand-in: were the guard missing, this would empty a whole hive.
TEST_F(RegistryRoutines, DeleteTreeOfTheRootPathDeletesNothing) {
  WriteRegistryString(rkCurrentUser, key_, "V", "kept");
  DeleteRegistryTree(rkCurrentUser, "\\");
  DeleteRegistryTree(rkCurrentUser, "");
  EXPECT_EQ(ReadRegistryString(rkCurrentUser, key_, "V", ""), "kept");
}
#endif

TEST(RootKeyCodes, MapBothWays) {
  for (int code = 0; code <= 5; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(RootKeyCode(RootKeyFromCode(code), -1), code);
    EXPECT_EQ(RootKeyFromCode(code | 0x80), RootKeyFromCode(code));
  }
  EXPECT_EQ(RootKeyFromCode(rkLocalMachine), RegRoot::LocalMachine);
  EXPECT_EQ(RootKeyFromCode(6), RegRoot::CurrentUser);
  EXPECT_EQ(RootKeyFromCode(-1), RegRoot::CurrentUser);
}

#ifdef _WIN32
// A key name longer than the registry allows makes both writes fail.
TEST_F(RegistryRoutines, FailedWritesRaiseWithTheKitsTexts) {
  std::string bad = key_ + "\\" + std::string(300, 'k');
  try {
    WriteRegistryString(rkCurrentUser, bad, "Ident", "Val");
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& e) {
    EXPECT_EQ(e.Message(), "Cannot install into registry. Key: " + bad + " Ident: Ident Value Val");
  }
  try {
    WriteRegistryInteger(rkCurrentUser, bad, "Ident", 1);
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& e) {
    EXPECT_EQ(e.Message(), bad);
  }
}
#endif

class RunOnce : public ::testing::Test {
 protected:
  void TearDown() override {
    if (auto key = platform::RegKey::open(RegRoot::LocalMachine, kRunOnceKey, true))
      for (const char* name : {"KestruneRoutinesTest", "KestruneRoutinesTest1", "KestruneRoutinesTest2"})
        key->deleteValue(name);
  }
  static std::optional<std::string> value(const char* name) {
    auto key = platform::RegKey::open(RegRoot::LocalMachine, kRunOnceKey);
    return key ? key->tryReadString(name) : std::nullopt;
  }
};

TEST_F(RunOnce, NumberedNamesTakeTheFirstFreeOne) {
  ASSERT_TRUE(AddRunOnce("KestruneRoutinesTest", "\"C:\\a b\\setup.exe\" -r", true));
  ASSERT_TRUE(AddRunOnce("KestruneRoutinesTest", "second", true));
  ASSERT_TRUE(AddRunOnce("KestruneRoutinesTest", "third", true));
  EXPECT_EQ(value("KestruneRoutinesTest"), "\"C:\\a b\\setup.exe\" -r");
  EXPECT_EQ(value("KestruneRoutinesTest1"), "second");
  EXPECT_EQ(value("KestruneRoutinesTest2"), "third");
}

TEST_F(RunOnce, UnnumberedReplacesTheValue) {
  ASSERT_TRUE(AddRunOnce("KestruneRoutinesTest", "first", false));
  ASSERT_TRUE(AddRunOnce("KestruneRoutinesTest", "second", false));
  EXPECT_EQ(value("KestruneRoutinesTest"), "second");
  EXPECT_FALSE(value("KestruneRoutinesTest1").has_value());
}

}  // namespace
}  // namespace kestrune
