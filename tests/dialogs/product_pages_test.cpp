// The before- and after-install pages over a script that is not the demo's: its own name,
// line and licence, the install types it declares (only those that install something),
// its optional groups as tick boxes whose sizes and ticks the needed space follows, no
// licence page without a licence, and the product's name on the success page.
#include <gtest/gtest.h>

#include "common/fake_engine.h"
#include "dialogs/dialog_classes.h"
#include "dialogs/dlgcmp_TDialogManager.h"
#include "dialogs/ordlg_CompletionDlgs.h"
#include "dialogs/ordlg_FileGroupSelectDlg.h"
#include "dialogs/ordlg_LicenseDlg.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "dialogs/wizard_fixture.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

namespace kestrune::dialogs {
namespace {

// A product that is not the demo: its own name and version.
class ProductEngine : public test::FakeEngine {
 public:
  explicit ProductEngine(TComponent* owner) : FakeEngine(owner) {
    productName = "Notebook Pro";
    version = "1.0";
  }
};

class ProductPagesTest : public WizardFormsTest {
 protected:
  void SetUp() override {
    main_ = ui::Application->CreateForm<ui::TForm>();
    engine_ = new ProductEngine(main_);
    engine_->SetName("Install");
    engine_->SetDestDir("C:\\Notebook");
    // Core (1,000,000 bytes, every type, no choice) and Samples (200,000 bytes, optional,
    // the full type only); the engine offers full and compact, compact in force.
    group("Core", 1'000'000, {TInstallType::itAlways}, false);
    group("Samples", 200'000, {TInstallType::itFull}, true);
    engine_->SetInstallTypes(TInstallTypes{TInstallType::itFull, TInstallType::itCompact});
    engine_->SetCurrentInstallType(TInstallType::itCompact);
    for (TManagerType t : {TManagerType::dmBeforeInstall, TManagerType::dmAfterGoodInstall}) {
      auto* m = new TDialogManager(main_);
      m->SetName("Manager" + std::to_string(static_cast<int>(t)));
      m->SetManagerType(t);
      m->SetContainer(engine_);
    }
    SetCurrentEngine(engine_);
  }
  void TearDown() override {
    SetCurrentEngine(nullptr);
    delete main_;
  }
  void group(const char* name, int32_t size, TInstallTypes types, bool optional) {
    auto* g = new TInstallFileGroup(main_);
    g->SetName(name);
    g->SetGroupName(std::string(name) + " files");
    g->SetContainer(engine_);
    g->SetInstallTypes(types);
    g->SetAllowChoice(optional);
    auto* f = new TInstallFile(main_);
    f->SetName(std::string(name) + "File");
    f->SetContainer(g);
    f->SetSize(size);
  }
  TDialogManager* manager(TManagerType t) {
    return static_cast<TDialogManager*>(main_->FindComponent("Manager" + std::to_string(static_cast<int>(t))));
  }
  ui::TForm* main_ = nullptr;
  ProductEngine* engine_ = nullptr;
};

TEST_F(ProductPagesTest, WalkShowsTheProductsOwnData) {
  auto probe = TFileGroupSelectForm::FreeSpaceProbe;
  TFileGroupSelectForm::FreeSpaceProbe = [](const std::string&) { return std::optional<uint64_t>(100'000'000); };
  engine_->licence = {"NOTEBOOK PRO LICENCE", "Use it well."};
  SetCurrentDialogManager(manager(TManagerType::dmBeforeInstall));
  TBaseFormContainer container(ui::Application);
  ASSERT_EQ(manager(TManagerType::dmBeforeInstall)->LoadPages(&container), 3);
  auto* welcome = static_cast<TWelcomeForm*>(container.Pages(0));
  auto* licence = static_cast<TLicenseForm*>(container.Pages(1));
  auto* page = static_cast<TFileGroupSelectForm*>(container.Pages(2));
  container.Show();

  // The welcome page: the product's name and version line; the two declared types, the
  // one in force (compact) selected; choosing full makes it the engine's type.
  EXPECT_EQ(welcome->Label3->Caption(), "Notebook Pro");
  EXPECT_EQ(welcome->lblDiskA->Caption(), "Verze 1.0");
  ASSERT_EQ(welcome->rgpTypInstalace->Items()->Count(), 2);
  EXPECT_EQ((*welcome->rgpTypInstalace->Items())[0], "Plná instalace");
  EXPECT_EQ((*welcome->rgpTypInstalace->Items())[1], "Minimální instalace");
  EXPECT_EQ(welcome->rgpTypInstalace->ItemIndex(), 1);
  EXPECT_EQ(engine_->CurrentInstallType(), TInstallType::itCompact);
  welcome->rgpTypInstalace->SetItemIndex(0);
  EXPECT_EQ(engine_->CurrentInstallType(), TInstallType::itFull);

  // The licence page shows the script's text.
  welcome->btnDalsi->Click();
  EXPECT_EQ(licence->Agreement->Lines()->Text(), "NOTEBOOK PRO LICENCE\r\nUse it well.\r\n");
  licence->chbYes->SetChecked(true);
  licence->btnDalsi->Click();

  // The selection page: Samples (in the full type) as a ticked box with its size; the
  // need follows the tick.
  ASSERT_EQ(page->GroupChoices().size(), 1u);
  EXPECT_EQ(page->GroupChoices()[0].box->Caption(), "Samples files");
  EXPECT_TRUE(page->GroupChoices()[0].box->Checked());
  EXPECT_EQ(page->GroupChoices()[0].size->Caption(), "195 KB");
  EXPECT_EQ(page->PlaceGrid->Cells(1, 1), "1171     KB");
  EXPECT_EQ(page->PlaceGrid->Cells(0, 0), "Volné místo na disku");
  page->GroupChoices()[0].box->SetChecked(false);
  EXPECT_FALSE(main_->FindComponent("Samples") && static_cast<TInstallContainer*>(main_->FindComponent("Samples"))->Include());
  EXPECT_EQ(page->PlaceGrid->Cells(1, 1), "976     KB");
  EXPECT_EQ(page->Label3->Caption(), "Notebook Pro");
  EXPECT_EQ(page->DirectoryLabel->Text(), "C:\\Notebook");
  EXPECT_TRUE(page->BrowseBtn->Enabled());
  // A script that forbids changing the destination locks the box.
  engine_->SetAllowChangeDir(false);
  page->btnZpet->Click();
  licence->btnDalsi->Click();
  EXPECT_FALSE(page->BrowseBtn->Enabled() || page->DirectoryLabel->Enabled());
  TFileGroupSelectForm::FreeSpaceProbe = probe;
  SetCurrentDialogManager(nullptr);
}

TEST_F(ProductPagesTest, NoLicenceNoPageAndTheNameOnTheSuccessPage) {
  SetCurrentDialogManager(manager(TManagerType::dmBeforeInstall));
  {
    TBaseFormContainer container(ui::Application);
    manager(TManagerType::dmBeforeInstall)->LoadPages(&container);
    auto* licence = static_cast<TLicenseForm*>(container.Pages(1));
    EXPECT_TRUE(licence->SkipPage());
    container.Show();
    static_cast<TWelcomeForm*>(container.Pages(0))->btnDalsi->Click();
    EXPECT_EQ(container.Caption(), "Výběr komponent k instalaci");
  }
  SetCurrentDialogManager(manager(TManagerType::dmAfterGoodInstall));
  TBaseFormContainer container(ui::Application);
  ASSERT_EQ(manager(TManagerType::dmAfterGoodInstall)->LoadPages(&container), 1);
  auto* good = static_cast<TGoodInstallForm*>(container.Pages(0));
  container.Show();
  good->FormShow();
  EXPECT_EQ(good->Label1->Caption(), "Program Notebook Pro byl úspěšně nainstalován. Tlačítkem DOKONČIT dokončíte instalaci.");
  // No work is left for after a restart: none is offered.
  EXPECT_FALSE(good->RG->Visible());
  SetCurrentDialogManager(nullptr);
}

}  // namespace
}  // namespace kestrune::dialogs
