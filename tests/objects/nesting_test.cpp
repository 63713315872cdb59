// Nesting of the install object tree: Container chains loaded from a stream are bounded
// and checked after loading, and one install walk reads and shows the hourglass once
// however deep the tree is.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "objects/register_objects.h"
#include "runtime/exceptions.h"
#include "runtime/seams.h"
#include "runtime/reader.h"
#include "runtime/text_form.h"
#include "tree_fixture.h"

namespace kestrune::test {

namespace {

// A script whose groups G1..Gn form one chain below the engine; each group holds a file
// when withFiles. containerOfFirst names G1's container (the engine, or the last group
// to close a circle).
std::vector<uint8_t> ChainScript(int n, bool withFiles, const std::string& containerOfFirst = "Install") {
  std::string text = "object frmTest: TTestForm\n  object Install: TTestEngine\n  end\n";
  for (int i = 1; i <= n; ++i) {
    std::string g = "G" + std::to_string(i);
    text += "  object " + g + ": TInstallFileGroup\n    Container = " +
            (i == 1 ? containerOfFirst : "G" + std::to_string(i - 1)) + "\n    Order = 0\n  end\n";
    if (withFiles) text += "  object F" + std::to_string(i) + ": TTestFile\n    Container = " + g + "\n    Order = 0\n  end\n";
  }
  return ObjectTextToBinary(text + "end\n");
}

void Load(const std::vector<uint8_t>& stream, TComponent& root) {
  ClassRegistry registry;
  registerObjectClasses(registry);
  RegisterTestClasses(registry);
  Reader(stream, registry).ReadRootComponent(&root);
}

std::string LoadError(int n, const std::string& containerOfFirst = "Install") {
  TTestForm form;
  try {
    Load(ChainScript(n, false, containerOfFirst), form);
  } catch (const IEInstallContainer& e) {
    return e.Message();
  }
  return "loaded";
}

int g_cursorChanges = 0;
int countCursor(int cursor) {
  ++g_cursorChanges;
  return cursor == crHourGlass ? crDefault : crHourGlass;
}

}  // namespace

TEST(NestingTest, ChainsBeyondTheLimitOrInACircleFailToLoadWithTheirCause) {
  EXPECT_EQ(LoadError(kMaxInstallNesting), "loaded");
  EXPECT_EQ(LoadError(kMaxInstallNesting + 1), "G65 is nested more than 64 levels deep in the install object tree");
  // A chain of thousands fails the same way, without walking it level by level.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(LoadError(7000), "G65 is nested more than 64 levels deep in the install object tree");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
  // A short circle is refused where the reference is resolved, a long one after loading.
  EXPECT_EQ(LoadError(3, "G3"), "Circular reference");
  EXPECT_EQ(LoadError(kMaxInstallNesting + 6, "G70"),
            "G1 has a Container chain that runs in a circle (through G1)");

  // At run time a helper below the limit is refused at once.
  TTestForm form;
  Load(ChainScript(kMaxInstallNesting, false), form);
  auto* deepest = static_cast<TInstallFileGroup*>(form.FindComponent("G64"));
  auto* extra = Make<TInstallFileGroup>(&form, "Extra");
  try {
    extra->SetContainer(deepest);
    ADD_FAILURE() << "a 65th level was accepted";
  } catch (const IEInstallContainer& e) {
    EXPECT_EQ(e.Message(), "Extra is nested more than 64 levels deep in the install object tree");
  }
  EXPECT_EQ(extra->Container(), nullptr);
  EXPECT_EQ(deepest->HelperCount(), 0);
}

TEST(NestingTest, WalksAtTheLimitReadEachFileOnceAndSetTheHourglassOnce) {
  // The files of the deepest group stand at the limit.
  const int groups = kMaxInstallNesting - 1;
  TTestForm form;
  Load(ChainScript(groups, true), form);
  auto* engine = static_cast<TTestEngine*>(form.FindComponent("Install"));
  const std::pair<const char*, std::function<void()>> walks[] = {
      {":readinfo", [&] { engine->Process(); }},
      {":readfile", [&] { engine->Compress({TCompressOption::coForceNetFilesLocal}); }},
      {":readfile", [&] { engine->CopyFiles(); }}};
  SetContainerCursorSetter(countCursor);
  for (const auto& [read, walk] : walks) {
    SCOPED_TRACE(read);
    Log().clear();
    g_cursorChanges = 0;
    walk();
    EXPECT_EQ(g_cursorChanges, 2);
    EXPECT_EQ(std::count_if(Log().begin(), Log().end(), [&](const std::string& l) { return l.ends_with(read); }), groups);
  }
  SetContainerCursorSetter(nullptr);
}

}  // namespace kestrune::test
