// "Pouze BDE" on the welcome page installs the database engine group alone: every other
// install object of the engine is left out (the dialog managers stay), the engine's
// destination is the group's resolved folder, and a product type afterwards takes back
// exactly what was left out.
#include <gtest/gtest.h>

#include "dialogs/dialog_classes.h"
#include "dialogs/dlgcmp_TDialogManager.h"
#include "dialogs/ordlg_BaseForms.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/engine_seam.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

namespace kestrune::dialogs {
namespace {

class Engine : public TFileContainer, public IInstallEngine {
 public:
  using TFileContainer::TFileContainer;
  TFileContainer* EngineContainer() override { return this; }
  std::string EngineProductName() const override { return "Zarvotill"; }
  std::string InstallSourceDirectory() const override { return "C:\\src"; }
  bool CalledBySelfExtractor() const override { return false; }
  std::string SelfExtractorName() const override { return {}; }
  TDistributeType EngineDistributeType() const override { return TDistributeType::dtTraditional; }
  TCustomNetInstallLocation* EngineNetLocation() const override { return nullptr; }
  bool EngineUserAbortAllowed() override { return true; }
};

TEST(EngineOnlyInstallType, LeavesOutAllButTheEngineGroupUntilAProductTypeIsChosen) {
  static ui::TApplication application;
  ui::registerUiClasses(ClassRegistry::Global());
  registerDialogClasses(ClassRegistry::Global());
  registerWizardForms();
  ui::TForm* main = ui::Application->CreateForm<ui::TForm>();
  ASSERT_EQ(ui::Application->MainForm(), main);
  auto* engine = new Engine(main);
  engine->SetName("Install");
  auto object = [&](TInstallObject* o, const char* name) -> TInstallContainer* {
    o->SetName(name);
    o->SetContainer(engine);
    return o;
  };
  TInstallContainer* bde = object(new TInstallFileGroup(main), "BDE");
  bde->SetDestDirType(nullptr);
  bde->SetDestDir("C:\\Engine\\BDE");
  TInstallContainer* full = object(new TInstallFileGroup(main), "FullVersion");
  TInstallContainer* demo = object(new TInstallFileGroup(main), "DemoVersion");
  TInstallContainer* shared = object(new TInstallFileGroup(main), "AllVersions");
  TInstallContainer* system = object(new TInstallFileGroup(main), "SystemFiles");
  system->SetInclude(false);  // left out by the script itself: no product type takes it in
  TInstallContainer* link = object(new TInstallShellLink(main), "InstallShellLink");
  auto* uninstaller = new TInstallFile(main);
  uninstaller->SetName("UninstallEXE");
  uninstaller->SetFileName("uninstall.exe");
  uninstaller->SetContainer(engine);
  auto* manager = new TDialogManager(main);
  manager->SetContainer(engine);
  SetCurrentEngine(engine);
  SetCurrentDialogManager(manager);
  SelectedInstallType = 0;
  {
    TBaseFormContainer container(ui::Application);
    ASSERT_GE(manager->LoadPages(&container), 1);
    auto* welcome = dynamic_cast<TWelcomeForm*>(container.Pages(0));
    ASSERT_TRUE(welcome);
    auto included = [&] {
      std::string flags;
      for (TInstallContainer* o : {bde, full, demo, shared, system, link, static_cast<TInstallContainer*>(uninstaller),
                                   static_cast<TInstallContainer*>(manager)})
        flags += o->Include() ? '1' : '0';
      return flags;
    };
    EXPECT_EQ(included(), "11010111");
    welcome->rgpTypInstalace->SetItemIndex(2);
    EXPECT_EQ(included(), "10000001");
    EXPECT_EQ(engine->DestDir(), "C:\\Engine\\BDE");
    welcome->rgpTypInstalace->SetItemIndex(2);  // chosen again: still the engine group alone
    welcome->rgpTypInstalace->SetItemIndex(1);
    EXPECT_EQ(included(), "10110111");
    EXPECT_EQ(engine->DestDir(), kDemoVersionDir);
  }
  SetCurrentDialogManager(nullptr);
  SetCurrentEngine(nullptr);
  SelectedInstallType = 0;
  delete main;
}

}  // namespace
}  // namespace kestrune::dialogs
