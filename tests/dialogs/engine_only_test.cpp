// The database engine group in the wizard: "Pouze BDE" on the welcome page installs the
// group alone (every other install object of the engine is left out, the dialog managers
// stay, the engine's destination is the group's resolved folder, and a product type
// afterwards takes back exactly what was left out); and the group's own copy phase, which
// comes right before the product's, leaves room for the product's copy progress form.
#include <gtest/gtest.h>

#include "common/fake_engine.h"
#include "dialogs/dialog_classes.h"
#include "dialogs/dlgcmp_TDialogManager.h"
#include "dialogs/ordlg_BaseForms.h"
#include "dialogs/ordlg_CopyFileDlg.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "dialogs/wizard_fixture.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/component_calls.h"
#include "objects/run_state.h"
#include "objects/file_status_parameter.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

namespace kestrune::dialogs {
namespace {

using test::FakeEngine;

class EngineGroupInWizard : public WizardFormsTest {
 protected:
  void SetUp() override {
    ResetRunState();
    main = ui::Application->CreateForm<ui::TForm>();
    engine = new FakeEngine(main);
    engine->SetName("Install");
    SetCurrentEngine(engine);
  }
  void TearDown() override {
    ResetRunState();
    delete main;
  }
  ui::TForm* main = nullptr;
  FakeEngine* engine = nullptr;
};

TEST_F(EngineGroupInWizard, PouzeBDELeavesOutAllButTheEngineGroupUntilAProductTypeIsChosen) {
  ASSERT_EQ(ui::Application->MainForm(), main);
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
  SetCurrentDialogManager(manager);
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
}

TEST_F(EngineGroupInWizard, EachCopyPhaseGetsItsOwnCopyProgressForm) {
  auto* manager = new TDialogManager(main);
  manager->SetManagerType(TManagerType::dmDuringCopyFiles);
  manager->SetContainer(engine);
  TFileStatusParameter file;
  file.FileName = "IDAPI32.DLL";
  manager->HandleMessage(engine, cc::FileProgress, &file);
  ASSERT_EQ(manager->DuringCopyForms().size(), 1u);
  manager->HandleMessage(engine, cc::OperationEnd, nullptr);
  EXPECT_TRUE(manager->DuringCopyForms().empty());
  // No message handled in between: the first form is released, not yet freed.
  file.FileName = "ZvServer.exe";
  manager->HandleMessage(engine, cc::FileProgress, &file);
  ASSERT_EQ(manager->DuringCopyForms().size(), 1u);
  auto* form = dynamic_cast<TCopyFileForm*>(manager->DuringCopyForms()[0]);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->lblCopyingFile->Caption(), "ZvServer.exe");
  manager->HandleMessage(engine, cc::OperationEnd, nullptr);
  ui::Application->ProcessMessages();
}

}  // namespace
}  // namespace kestrune::dialogs
