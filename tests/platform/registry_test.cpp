// Registry keys: the same expectations against the real registry under Wine and against
// the in-memory stand-in natively, so the stand-in behaves as the system does.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/platform_error.h"
#include "platform/registry.h"

namespace kestrune::platform {
namespace {

constexpr const char* kBase = "\\Software\\KestrunePlatformTest";

class RegistryKeys : public ::testing::Test {
 protected:
  void SetUp() override { removeAll(); }
  void TearDown() override { removeAll(); }
  static void removeAll() {
    for (const char* path : {"\\Software\\KestrunePlatformTest\\Sub\\Deep", "\\Software\\KestrunePlatformTest\\Sub",
                             "\\Software\\KestrunePlatformTest\\Other", kBase})
      deleteKey(RegRoot::CurrentUser, path);
  }
  static std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(RegistryKeys, OpenCreateAndPaths) {
  EXPECT_FALSE(RegKey::open(RegRoot::CurrentUser, kBase).has_value());
  EXPECT_FALSE(keyExists(RegRoot::CurrentUser, kBase));
  RegKey::create(RegRoot::CurrentUser, std::string(kBase) + "\\Sub\\Deep").writeString("V", "x");
  // With or without the leading backslash, any case.
  EXPECT_TRUE(keyExists(RegRoot::CurrentUser, kBase));
  EXPECT_TRUE(keyExists(RegRoot::CurrentUser, "Software\\KestrunePlatformTest\\Sub"));
  EXPECT_TRUE(keyExists(RegRoot::CurrentUser, "\\\\SOFTWARE\\kestruneplatformtest\\SUB\\deep"));
  EXPECT_FALSE(keyExists(RegRoot::LocalMachine, kBase));
  // The root itself opens through an empty path.
  EXPECT_TRUE(RegKey::open(RegRoot::CurrentUser, "\\").has_value());
  // A key with sub-keys is not deleted by deleteKey.
  EXPECT_THROW(deleteKey(RegRoot::CurrentUser, std::string(kBase) + "\\Sub"), PlatformError);
  EXPECT_THROW(deleteKey(RegRoot::CurrentUser, "\\"), PlatformError);
  EXPECT_FALSE(deleteKey(RegRoot::CurrentUser, std::string(kBase) + "\\Missing"));
}

TEST_F(RegistryKeys, ValuesOfEachKind) {
  RegKey key = RegKey::create(RegRoot::CurrentUser, kBase);
  key.writeString("Text", "\xc5\xbdlut\xc3\xbd k\xc5\xaf\xc5\x88");
  key.writeString("Empty", "");
  key.writeDword("Number", 0xFFFFFFFEu);
  key.writeMultiString("List", {"\\??\\C:\\a.tmp", "", "!\\??\\C:\\b.tmp"});
  key.writeMultiString("NoItems", {});

  RegKey reader = *RegKey::open(RegRoot::CurrentUser, kBase);
  EXPECT_EQ(reader.tryReadString("text"), "\xc5\xbdlut\xc3\xbd k\xc5\xaf\xc5\x88");
  EXPECT_EQ(reader.tryReadString("Empty"), "");
  EXPECT_EQ(reader.tryReadDword("Number"), 0xFFFFFFFEu);
  // Empty items are kept (a pending delete is a source with an empty target).
  EXPECT_EQ(reader.tryReadMultiString("List"), (std::vector<std::string>{"\\??\\C:\\a.tmp", "", "!\\??\\C:\\b.tmp"}));
  EXPECT_EQ(reader.tryReadMultiString("NoItems"), std::vector<std::string>{});
  // Kinds are not converted; missing values are nullopt.
  EXPECT_FALSE(reader.tryReadString("Number").has_value());
  EXPECT_FALSE(reader.tryReadDword("Text").has_value());
  EXPECT_FALSE(reader.tryReadMultiString("Text").has_value());
  EXPECT_FALSE(reader.tryReadString("Missing").has_value());
  EXPECT_TRUE(reader.valueExists("Number"));
  EXPECT_FALSE(reader.valueExists("Missing"));
  // A key opened for reading refuses writes.
  EXPECT_THROW(reader.writeString("Text", "no"), PlatformError);
}

TEST_F(RegistryKeys, EnumerateAndDelete) {
  RegKey key = RegKey::create(RegRoot::CurrentUser, kBase);
  for (const char* name : {"Zeta", "alpha", "Mid"}) key.writeString(name, name);
  RegKey::create(RegRoot::CurrentUser, std::string(kBase) + "\\Sub");
  RegKey::create(RegRoot::CurrentUser, std::string(kBase) + "\\Other");
  EXPECT_EQ(sorted(key.valueNames()), (std::vector<std::string>{"Mid", "Zeta", "alpha"}));
  EXPECT_EQ(sorted(key.subKeyNames()), (std::vector<std::string>{"Other", "Sub"}));

  EXPECT_TRUE(key.deleteValue("MID"));
  EXPECT_FALSE(key.deleteValue("Mid"));
  EXPECT_TRUE(key.deleteSubKey("other"));
  EXPECT_FALSE(key.deleteSubKey("Other"));
  EXPECT_EQ(sorted(key.valueNames()), (std::vector<std::string>{"Zeta", "alpha"}));
  EXPECT_EQ(key.subKeyNames(), std::vector<std::string>{"Sub"});
  key.flush();
}

TEST_F(RegistryKeys, LongNamesAreEnumeratedWhole) {
  RegKey key = RegKey::create(RegRoot::CurrentUser, kBase);
  std::string longName(200, 'v');
  key.writeString(longName, std::string(5000, 'd'));
  EXPECT_EQ(key.valueNames(), std::vector<std::string>{longName});
  EXPECT_EQ(key.tryReadString(longName)->size(), 5000u);
}

}  // namespace
}  // namespace kestrune::platform
