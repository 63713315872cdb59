// Meta variables that take their paths from the install object tree.
#include <gtest/gtest.h>

#include "objects/routines_MetaVariables.h"
#include "runtime/exceptions.h"
#include "tree_fixture.h"

namespace kestrune::test {

TEST(MetaVariables, TreeVariablesAndTheirErrors) {
  TTestForm form;
  auto* engine = Make<TTestEngine>(&form, "Install");
  engine->SetDestDir("C:\\Apps\\Zarvotill\\");
  auto* group = Make<TInstallFileGroup>(&form, "Group", engine);
  group->SetDestDir("\\Data");
  auto* file = Make<TTestFile>(&form, "File", group);

  EXPECT_EQ(ExpandMetaVariables("%a\\x;%C\\y;%i\\z;100%%", file), "C:\\Apps\\Zarvotill\\Data\\x;C:\\Apps\\Zarvotill\\Data\\y;"
                                                                   "C:\\Apps\\Zarvotill\\z;100%");
  auto message = [](const std::function<void()>& f) {
    try {
      f();
    } catch (const EAI& e) {
      return std::string(e.ClassName()) + ": " + e.Message();
    }
    return std::string("(nothing raised)");
  };
  EXPECT_EQ(message([] { ExpandMetaVariables("%a", nullptr); }),
            "EAICannotExpandContainerDirMV: Cannot expand the %a meta variable because the component is Nil");
  EXPECT_EQ(message([] { ExpandMetaVariables("%c", nullptr); }),
            "EAICannotExpandContainerDirMV: Cannot expand the %c meta variable because the component is Nil");
  EXPECT_EQ(message([&] { ExpandMetaVariables("%c", engine); }),
            "EAICannotExpandContainerDirMV: Cannot expand the %c meta variable because the Container property is Nil");
  SetCurrentEngine(nullptr);
  EXPECT_EQ(message([&] { ExpandMetaVariables("ok %i", file); }),
            "EAICannotExpandInstallDirMV: Cannot expand the %i meta variable because there is no TInstall component");
  SetCurrentEngine(engine);
}

}  // namespace kestrune::test
