// Path and list string routines: the edges their callers rely on.
#include <gtest/gtest.h>

#include "routines/routines_Strings.h"
#include "runtime/strings.h"

namespace kestrune {
namespace {

TEST(Backslash, AddAndRemoveAtTheEdges) {
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
  EXPECT_EQ(AddBackslash("C:\\Dir"), "C:\\Dir\\");
  EXPECT_EQ(RemoveBackslash("C:\\"), "C:");
  EXPECT_EQ(RemoveBackslash("C:\\Dir"), "C:\\Dir");
  EXPECT_EQ(RemoveBackslash("C:\\Dir\\\\"), "C:\\Dir\\");  // only one goes
  EXPECT_EQ(RemoveBackslash(""), "");
  EXPECT_EQ(RemoveBackslash("\\"), "");
}

TEST(ListItems, CountAndPick) {
  struct Case {
    const char* text;
    int count;
    std::vector<std::string> items;
  } cases[] = {
      {"", 0, {}},
      {"a", 1, {"a"}},
      {"a;b", 2, {"a", "b"}},
      {"a;b;", 2, {"a", "b"}},
      {";a", 2, {"", "a"}},
      {"a;;b", 3, {"a", "", "b"}},
      {";", 1, {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CountListItems(c.text, ';'), c.count);
    for (int n = 1; n <= c.count; ++n) EXPECT_EQ(GetListItem(c.text, n, ';'), c.items[n - 1]);
    TStringList list{"stale"};
    SplitList(c.text, ';', list);
    EXPECT_EQ(list.Items(), c.items);
  }
  EXPECT_EQ(GetListItem("a;b", 3, ';'), "");
  EXPECT_EQ(GetListItem("a;b", 9, ';'), "");
  EXPECT_EQ(GetListItem("a;b", 0, ';'), "a");
  EXPECT_EQ(GetListItem("a;b", -4, ';'), "a");
  EXPECT_EQ(GetListItem("whole text", 1, ';'), "whole text");
}

TEST(ListItems, OtherSeparatorsCountTheirOwnClosingSeparator) {
  EXPECT_EQ(CountListItems("a,b,", ','), 2);
  EXPECT_EQ(CountListItems("a,b;", ','), 2);
  TStringList list;
  SplitList("x|y|", '|', list);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"x", "y"}));
}

TEST(TextAfterColon, PartAfterTheFirstColonOrNothing) {
  EXPECT_EQ(TextAfterColon("disk:\\setup.1"), "\\setup.1");
  EXPECT_EQ(TextAfterColon("a:b:c"), "b:c");
  EXPECT_EQ(TextAfterColon("a:"), "");
  EXPECT_FALSE(TextAfterColon("no colon").has_value());
}

TEST(SafeDirectoryName, ReplacesSlashesAndDropsReservedCharacters) {
  EXPECT_EQ(SafeDirectoryName("ftp.example.org/pub"), "ftp.example.org-pub");
  EXPECT_EQ(SafeDirectoryName("a\"*:;<>?\\|b"), "ab");
  EXPECT_EQ(SafeDirectoryName("tab\there \x7f"), "tab\there \x7f");
  EXPECT_EQ(SafeDirectoryName("P\xc5\x99\xc3\xadklad"), "P\xc5\x99\xc3\xadklad");  // UTF-8 kept whole
}

}  // namespace
}  // namespace kestrune
