// The dialog manager and the before-install pages without a person: a whole walk through
// the page container (forwards, backwards, cancel refused and allowed), the install type
// choices, the component calls and their errors, the registries and the nine placements.
// Natively the forms have no windows; under Wine the same walk runs over real ones.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/fake_engine.h"
#include "dialogs/dialog_classes.h"
#include "dialogs/dlgcmp_TDialogManager.h"
#include "dialogs/ordlg_CompletionDlgs.h"
#include "dialogs/ordlg_CopyFileDlg.h"
#include "dialogs/ordlg_FileGroupSelectDlg.h"
#include "dialogs/ordlg_LicenseDlg.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "dialogs/wizard_fixture.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/component_calls.h"
#include "objects/run_state.h"
#include "objects/file_status_parameter.h"
#include "objects/parameters.h"
#include "archive/cmp_TKstrCompress.h"
#include "runtime/exceptions.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

namespace kestrune::dialogs {
namespace {

using test::FakeEngine;

class WizardTest : public WizardFormsTest {
 protected:
  void SetUp() override {
    ResetRunState();
    makeScript();
  }
  // The demo-shaped script: the engine, the two editions, the engine group and four
  // dialog managers; the engine is the current one.
  void makeScript() {
    main_ = ui::Application->CreateForm<ui::TForm>();
    engine_ = new FakeEngine(main_);
    engine_->SetName("Install");
    for (const char* name : {"FullVersion", "DemoVersion", "BDE"}) {
      auto* g = new TInstallFileGroup(main_);
      g->SetName(name);
    }
    static_cast<TInstallContainer*>(main_->FindComponent("BDE"))->SetDestDir("C:\\Borland\\BDE");
    int n = 0;
    for (TManagerType t : {TManagerType::dmBeforeInstall, TManagerType::dmDuringCopyFiles, TManagerType::dmReboot,
                           TManagerType::dmAfterGoodInstall}) {
      auto* m = new TDialogManager(main_);
      m->SetName("DialogManager" + std::to_string(n++));
      m->SetManagerType(t);
      m->SetContainer(engine_);
    }
    SetCurrentEngine(engine_);
  }
  void TearDown() override {
    ResetRunState();
    delete main_;
  }
  TDialogManager* manager(int i) { return static_cast<TDialogManager*>(main_->FindComponent("DialogManager" + std::to_string(i))); }
  bool included(const char* name) { return static_cast<TInstallContainer*>(main_->FindComponent(name))->Include(); }

  ui::TForm* main_ = nullptr;
  FakeEngine* engine_ = nullptr;
};

// A script without the edition groups keeps its own destination when the welcome page
// is made (as the program does at start for any script).
TEST_F(WizardTest, WelcomePageKeepsDestinationOfScriptWithoutEditions) {
  delete main_->FindComponent("FullVersion");
  delete main_->FindComponent("DemoVersion");
  engine_->SetDestDir("C:\\KstDist\\Installed");
  TWelcomeForm welcome(ui::Application);
  EXPECT_EQ(welcome.rgpTypInstalace->ItemIndex(), 0);
  EXPECT_EQ(engine_->DestDir(), "C:\\KstDist\\Installed");
  welcome.rgpTypInstalace->SetItemIndex(2);
  EXPECT_EQ(engine_->DestDir(), "C:\\Borland\\BDE");
}

// Two runs in one process with nothing but ResetRunState() between them: the second
// starts as the first did (the type chosen on the welcome page goes back too).
TEST_F(WizardTest, TwoRunsWithTheRunStateResetBetweenEndTheSame) {
  auto run = [&] {
    delete main_;
    makeScript();
    std::string seen;
    TWelcomeForm welcome(ui::Application);
    for (int choice : {-1, 2}) {
      if (choice >= 0) welcome.rgpTypInstalace->SetItemIndex(choice);
      seen += std::to_string(welcome.rgpTypInstalace->ItemIndex()) + (included("FullVersion") ? " full " : " - ") +
              engine_->DestDir() + ";";
    }
    return seen;
  };
  const std::string first = run();
  EXPECT_EQ(first, std::string("0 full ") + kFullVersionDir + ";2 - C:\\Borland\\BDE;");
  ResetRunState();
  EXPECT_EQ(run(), first);
}

TEST_F(WizardTest, WalkForwardsBackwardsAndCancel) {
  EXPECT_EQ(FindDialogManager(TManagerType::dmBeforeInstall), manager(0));
  EXPECT_EQ(FindDialogManager(TManagerType::dmAfterBadInstall), nullptr);
  SetCurrentDialogManager(manager(0));
  TBaseFormContainer container(ui::Application);
  ASSERT_EQ(manager(0)->LoadPages(&container), 3);
  auto* welcome = dynamic_cast<TWelcomeForm*>(container.Pages(0));
  auto* licence = dynamic_cast<TLicenseForm*>(container.Pages(1));
  auto* selection = dynamic_cast<TFileGroupSelectForm*>(container.Pages(2));
  ASSERT_TRUE(welcome && licence && selection);
  EXPECT_EQ(welcome->Order(), 1);
  EXPECT_EQ(licence->Order(), 20);
  EXPECT_EQ(selection->Order(), 20);
  EXPECT_EQ(container.Tabs->Tabs()->Count(), 3);

  // Opening selects the full install.
  container.Show();
  EXPECT_EQ(container.Caption(), "Vítejte");
  EXPECT_TRUE(welcome->IsFirstPage());
  EXPECT_TRUE(included("FullVersion"));
  EXPECT_FALSE(included("DemoVersion"));
  EXPECT_EQ(engine_->DestDir(), kFullVersionDir);
  welcome->rgpTypInstalace->SetItemIndex(2);
  EXPECT_FALSE(included("FullVersion"));
  EXPECT_FALSE(included("DemoVersion"));
  EXPECT_EQ(engine_->DestDir(), "C:\\Borland\\BDE");
  welcome->rgpTypInstalace->SetItemIndex(1);
  EXPECT_TRUE(included("DemoVersion"));
  EXPECT_EQ(engine_->DestDir(), kDemoVersionDir);
  EXPECT_EQ(SelectedInstallType, 1);

  // The licence page: Back shown, Next only while the box is ticked.
  welcome->btnDalsi->Click();
  EXPECT_EQ(container.Caption(), "Licenční ujednání");
  EXPECT_TRUE(licence->btnZpet->Visible());
  EXPECT_FALSE(licence->IsLastPage());
  EXPECT_FALSE(licence->btnDalsi->Enabled());
  licence->chbYes->SetChecked(true);
  EXPECT_TRUE(licence->btnDalsi->Enabled());
  licence->chbYes->SetChecked(false);
  EXPECT_FALSE(licence->btnDalsi->Enabled());
  EXPECT_EQ(licence->Agreement->Lines()->Strings(0), "LICENČNÍ SMLOUVA K PROGRAMU ZARVOTILL");

  // Back keeps the welcome page's choice; the page's own modal result ends nothing.
  licence->btnZpet->Click();
  EXPECT_EQ(container.Caption(), "Vítejte");
  EXPECT_EQ(welcome->rgpTypInstalace->ItemIndex(), 1);
  EXPECT_EQ(container.ModalResult(), ui::mrNone);
  EXPECT_FALSE(container.PreviousPage());

  // Cancel refused, then allowed.
  engine_->allowAbort = false;
  welcome->btnStorno->Click();
  EXPECT_EQ(engine_->abortQuestions, 1);
  EXPECT_EQ(container.ModalResult(), ui::mrNone);
  EXPECT_FALSE(container.CloseQuery());
  engine_->allowAbort = true;
  welcome->btnStorno->Click();
  EXPECT_EQ(container.ModalResult(), ui::mrAbort);
  EXPECT_TRUE(container.CloseQuery());

  // Next on the last page completes the sequence.
  container.SetModalResult(ui::mrNone);
  welcome->btnDalsi->Click();
  licence->chbYes->SetChecked(true);
  licence->btnDalsi->Click();
  EXPECT_EQ(container.Caption(), "Výběr komponent k instalaci");
  EXPECT_TRUE(selection->IsLastPage());
  EXPECT_EQ(container.ModalResult(), ui::mrNone);
  selection->btnDalsi->Click();
  EXPECT_EQ(container.ModalResult(), ui::mrOk);
  EXPECT_TRUE(container.CloseQuery());
  SetCurrentDialogManager(nullptr);
}

// The selection page over a tree with real sizes: the need follows the install type
// chosen on the welcome page, "Další" needs more than 1000 KB to spare and at least 1 KB
// to install, the database-engine-only choice locks the destination, and a free space the
// system cannot tell is asked about (No ends the wizard with the error, Yes assumes
// need + 2000 KB and is not asked again).
TEST_F(WizardTest, SelectionPageShowsTheSpaceAndFollowsTheChoice) {
  std::optional<uint64_t> freeBytes;
  int questions = 0, answer = ui::mrNo;
  auto probe = TFileGroupSelectForm::FreeSpaceProbe;
  auto ask = TFileGroupSelectForm::AskUnknownSpace;
  TFileGroupSelectForm::FreeSpaceProbe = [&](const std::string&) { return freeBytes; };
  TFileGroupSelectForm::AskUnknownSpace = [&](const std::string& question) {
    EXPECT_EQ(question, "Nemohu zjistit volné místo na disku.Chcete pokračovat?");
    ++questions;
    return answer;
  };
  // Full 3,000,000 bytes, demo 1,500,000, the database engine 2,500: with the engine's
  // part 2932 KB, 1467 KB and 2 KB.
  const struct {
    const char* group;
    int32_t size;
  } files[] = {{"FullVersion", 1'000'000}, {"FullVersion", 2'000'000}, {"DemoVersion", 1'500'000}, {"BDE", 2'500}};
  int n = 0;
  for (const auto& f : files) {
    auto* group = static_cast<TInstallFileGroup*>(main_->FindComponent(f.group));
    if (group->Container() != engine_) group->SetContainer(engine_);
    auto* file = new TInstallFile(main_);
    file->SetName("File" + std::to_string(n++));
    file->SetContainer(group);
    file->SetSize(f.size);
  }
  // Attaching a group to the engine cleared its directory and made it the engine's.
  auto* bde = static_cast<TInstallContainer*>(main_->FindComponent("BDE"));
  bde->SetDestDirType(nullptr);
  bde->SetDestDir("C:\\Borland\\BDE");
  SetCurrentDialogManager(manager(0));
  TBaseFormContainer container(ui::Application);
  ASSERT_EQ(manager(0)->LoadPages(&container), 3);
  auto* welcome = static_cast<TWelcomeForm*>(container.Pages(0));
  auto* licence = static_cast<TLicenseForm*>(container.Pages(1));
  auto* page = dynamic_cast<TFileGroupSelectForm*>(container.Pages(2));
  ASSERT_TRUE(page);
  auto forward = [&] {
    welcome->btnDalsi->Click();
    licence->chbYes->SetChecked(true);
    licence->btnDalsi->Click();
  };
  auto back = [&] { page->btnZpet->Click(); licence->btnZpet->Click(); };
  container.Show();

  // Exactly the need + 1000 KB keeps "Další" disabled; one KB more enables it.
  freeBytes = (2932 + 1000) * 1024ull;
  forward();
  ASSERT_EQ(container.Caption(), "Výběr komponent k instalaci");
  EXPECT_EQ(page->PlaceGrid->Cells(1, 1), "2932     KB");
  EXPECT_EQ(page->PlaceGrid->Cells(0, 1), "3932     KB");
  EXPECT_FALSE(page->btnDalsi->Enabled());
  EXPECT_TRUE(page->btnZpet->Visible());
  EXPECT_EQ(page->lblDiskA->Caption(), "Velmora - Verze: Light");
  EXPECT_EQ(page->DirectoryLabel->Text(), kFullVersionDir);
  EXPECT_TRUE(page->BrowseBtn->Enabled());
  back();
  freeBytes = *freeBytes + 1024;
  forward();
  EXPECT_TRUE(page->btnDalsi->Enabled());

  // The demo: a smaller need, its own line.
  back();
  welcome->rgpTypInstalace->SetItemIndex(1);
  forward();
  EXPECT_EQ(page->PlaceGrid->Cells(1, 1), "1467     KB");
  EXPECT_EQ(page->lblDiskA->Caption(), "Velmora - Demoverze");
  EXPECT_EQ(page->DirectoryLabel->Text(), kDemoVersionDir);

  // The database engine only: 2 KB, the directory box locked on the engine's directory.
  back();
  welcome->rgpTypInstalace->SetItemIndex(2);
  forward();
  EXPECT_EQ(page->PlaceGrid->Cells(1, 1), "2     KB");
  EXPECT_TRUE(page->btnDalsi->Enabled());
  EXPECT_EQ(page->lblDiskA->Caption(), "Instalace Borland Database Engine");
  EXPECT_EQ(page->DirectoryLabel->Text(), "C:\\Borland\\BDE");
  EXPECT_FALSE(page->DirectoryGroupBox->Enabled() || page->DirectoryLabel->Enabled() || page->BrowseBtn->Enabled());

  // Nothing to install: disabled whatever the free space.
  back();
  bde->SetInclude(false);
  freeBytes = uint64_t{1} << 40;
  forward();
  EXPECT_EQ(page->PlaceGrid->Cells(1, 1), "0     KB");
  EXPECT_EQ(page->PlaceGrid->Cells(0, 1), "1073741824     KB");
  EXPECT_FALSE(page->btnDalsi->Enabled());

  // Free space unknown: No ends the wizard with the error; Yes goes on, asked once.
  back();
  bde->SetInclude(true);
  freeBytes.reset();
  welcome->btnDalsi->Click();
  try {
    licence->btnDalsi->Click();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Nedostatek místa na disku");
  }
  EXPECT_EQ(container.ModalResult(), ui::mrAbort);
  container.SetModalResult(ui::mrNone);
  answer = ui::mrYes;
  container.ShowPage(0, false);
  forward();
  EXPECT_EQ(page->PlaceGrid->Cells(0, 1), "2002     KB");
  EXPECT_TRUE(page->btnDalsi->Enabled());
  back();
  forward();
  EXPECT_EQ(questions, 2);

#ifndef _WIN32
  // Browsing with no folder chosen (natively there is no browser; under Wine the GUI walk
  // browses): a missing destination is made for the browser and removed again, an
  // existing one stays; DestDir is kept.
  const std::filesystem::path base = std::filesystem::temp_directory_path() / "kst_browse";
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base);
  for (const char* leaf : {"missing", ""}) {
    const std::string dest = (base / leaf).string();
    engine_->SetDestDir(dest);
    page->BrowseBtnClick();
    EXPECT_EQ(std::filesystem::exists(dest), *leaf == 0) << dest;
    EXPECT_EQ(engine_->DestDir(), dest);
  }
  std::filesystem::remove_all(base);
#endif
  page->btnDalsi->Click();
  EXPECT_EQ(container.ModalResult(), ui::mrOk);

  TFileGroupSelectForm::FreeSpaceProbe = probe;
  TFileGroupSelectForm::AskUnknownSpace = ask;
  SetCurrentDialogManager(nullptr);
}

TEST_F(WizardTest, ComponentCallsRegistriesAndTheirErrors) {
  auto message = [](auto&& f) {
    try {
      f();
    } catch (const std::exception& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  // A manager without pages shows nothing; calls of other kinds are ignored.
  manager(2)->HandleMessage(engine_, cc::Reboot, nullptr);
  manager(2)->HandleMessage(engine_, cc::FileProgress, nullptr);
  TDownloadStatusParameter download;
  EXPECT_EQ(message([&] { manager(1)->HandleMessage(engine_, cc::FileProgress, nullptr); }),
            "DialogManager1 got a nil PO parameter");
  EXPECT_EQ(message([&] { manager(1)->HandleMessage(engine_, cc::FileProgress, &download); }),
            "The PO object passed to DialogManager1 is not a TFileStatusParameter object");
  TMessageParameter other;
  EXPECT_EQ(message([&] { manager(1)->HandleMessage(engine_, cc::DownloadProgress, &other); }),
            "The PO object passed to DialogManager1 is not a TDownloadStatusParameter object");
  EXPECT_EQ(message([&] { manager(0)->AddDialog(nullptr); }), "Cannot add a NIL Dialog to the Dialog Manager DialogManager0");
  TBaseFormContainer container(ui::Application);
  EXPECT_EQ(message([&] { manager(0)->LoadPages(&container); }), "The current dialog manager is not defined");
  EXPECT_EQ(message([] { GetInstallFormEntry(99); }), "99 is an invalid index in the BIFList");
  EXPECT_EQ(InstallFormCount(), 5);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
}

TEST_F(WizardTest, GoodInstallOffersTheRestartOnlyWithTheProduct) {
  class RebootEngine : public FakeEngine {
   public:
    using FakeEngine::FakeEngine;
    void EngineSetRebootChoice(bool reboot) override { chosen = reboot; }
    int chosen = -1;
  };
  auto* engine = new RebootEngine(main_);
  for (int i = 0; i < 4; ++i) manager(i)->SetContainer(engine);
  SetCurrentEngine(engine);
  for (bool product : {true, false}) {
    SCOPED_TRACE(product ? "full version" : "database engine only");
    static_cast<TInstallContainer*>(main_->FindComponent("FullVersion"))->SetInclude(product);
    static_cast<TInstallContainer*>(main_->FindComponent("DemoVersion"))->SetInclude(false);
    // The welcome page made for a moment by every run applies the full type again while
    // that is the choice; "Pouze BDE" was chosen for the second case.
    SelectedInstallType = product ? 0 : 2;
    SetCurrentDialogManager(manager(3));
    TBaseFormContainer container(ui::Application);
    ASSERT_EQ(manager(3)->LoadPages(&container), 1);
    auto* page = dynamic_cast<TGoodInstallForm*>(container.Pages(0));
    ASSERT_TRUE(page);
    container.Show();
    EXPECT_EQ(container.Caption(), "Úspěšná instalace");
    EXPECT_EQ(page->RG->Visible(), product);
    EXPECT_EQ(page->RG->ItemIndex(), product ? 0 : 1);
    page->FinishBtn->Click();
    EXPECT_EQ(engine->chosen, product ? 1 : 0);
    EXPECT_EQ(container.ModalResult(), ui::mrOk);
    SetCurrentDialogManager(nullptr);
  }
}

TEST_F(WizardTest, CopyProgressFollowsTheStatusMessagesUntilClosed) {
  TDialogManager* m = manager(1);
  TFileStatusParameter file;
  file.FileName = "server.exe";
  file.FilePercentDone = 40;
  file.TotalPercentDone = 10;
  m->HandleMessage(engine_, cc::FileProgress, &file);
  ASSERT_EQ(m->DuringCopyForms().size(), 1u);
  auto* form = dynamic_cast<TCopyFileForm*>(m->DuringCopyForms()[0]);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->Caption(), "Kopírování instalovaného programu");
  EXPECT_EQ(form->lblCopyingFile->Caption(), "server.exe");
  EXPECT_EQ(form->ProgressBar1->Position(), 40);
  EXPECT_EQ(form->ProgressBar2->Position(), 10);
  // A download moves only the file bar and shows the transfer picture; the next file hides it.
  TDownloadStatusParameter download;
  download.FileName = "data.arc";
  download.PercentDone = 75;
  m->HandleMessage(engine_, cc::DownloadProgress, &download);
  EXPECT_TRUE(form->TransferBitmap->Visible());
  EXPECT_EQ(form->ProgressBar1->Position(), 75);
  EXPECT_EQ(form->ProgressBar2->Position(), 10);
  file.Status.Finished = 1;
  m->HandleMessage(engine_, cc::FileProgress, &file);
  EXPECT_FALSE(form->TransferBitmap->Visible());
  EXPECT_EQ(form->ProgressBar1->Position(), 100);
  // Closing lets the form go; the next status opens a new one.
  m->HandleMessage(engine_, cc::OperationEnd, nullptr);
  EXPECT_TRUE(m->DuringCopyForms().empty());
  ui::Application->ProcessMessages();
  m->HandleMessage(engine_, cc::FileProgress, &file);
  ASSERT_EQ(m->DuringCopyForms().size(), 1u);
  // Storno: refused changes nothing; allowed raises the archive engine's abort request.
  engine_->allowAbort = false;
  m->DuringCopyForms()[0]->CancelCopy();
  EXPECT_FALSE(SharedArchiveEngine().Abort());
  engine_->allowAbort = true;
  m->DuringCopyForms()[0]->CancelCopy();
  EXPECT_TRUE(SharedArchiveEngine().Abort());
  SharedArchiveEngine().SetAbort(false);
  SetNetAbortRequested(false);
  m->HandleMessage(engine_, cc::OperationEnd, nullptr);
  ui::Application->ProcessMessages();
}

TEST(DialogPlacement, NinePositions) {
  using P = TKestruneDialogPosition;
  const platform::ui::Size screen{800, 600};
  // Window 200 x 100, offsets 10 and 20, caption 19.
  const struct {
    P position;
    int x, y;
  } cases[] = {{P::kdpCenterLeft, 10, 270},   {P::kdpCenter, 310, 270},      {P::kdpCenterRight, 590, 270},
               {P::kdpBottomLeft, 10, 461},   {P::kdpBottomCenter, 310, 461}, {P::kdpBottomRight, 590, 461},
               {P::kdpTopLeft, 10, 20},       {P::kdpTopCenter, 310, 20},    {P::kdpTopRight, 590, 20}};
  for (const auto& c : cases) {
    SCOPED_TRACE(EnumTypeInfo(P{}).values[static_cast<int>(c.position)]);
    platform::ui::Point p = DialogPlacement(c.position, 200, 100, 10, 20, screen, 19);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
  }
  // Bottom right with no offsets: the right edge on the screen's, one caption above the bottom.
  EXPECT_EQ(DialogPlacement(P::kdpBottomRight, 200, 100, 0, 0, screen, 19), (platform::ui::Point{600, 481}));
}

}  // namespace
}  // namespace kestrune::dialogs
