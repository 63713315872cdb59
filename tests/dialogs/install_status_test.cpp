// The install status window driven by the engine's show and hide status calls: the stack
// of messages, the window sized to its text and centred across the screen, the errors
// of a missing or wrong parameter, a dialog bound to a dialog manager, and the component
// in a script stream.
#include <gtest/gtest.h>

#include "dialogs/dialog_classes.h"
#include "dialogs/ordlg_InstallStatusDlg.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/component_calls.h"
#include "objects/parameters.h"
#include "platform/ui_app.h"
#include "platform/ui_canvas.h"
#include "runtime/reader.h"
#include "runtime/text_form.h"
#include "runtime/writer.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

namespace kestrune::dialogs {
namespace {

class InstallStatusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ui::TApplication application;
    ui::registerUiClasses(ClassRegistry::Global());
    registerDialogClasses(ClassRegistry::Global());
    ClassRegistry::Global().Register(TInstallFileGroup::classInfo());
    registerPathSpecifierClasses(ClassRegistry::Global());
  }
  void SetUp() override {
    main_ = ui::Application->CreateForm<ui::TForm>();
    main_->SetName("frmMain");
    engine_ = new TInstallFileGroup(main_);
    engine_->SetName("Install");
    dlg_ = new TInstallStatusDlg(main_);
    dlg_->SetName("InstallStatusDlg");
    dlg_->SetContainer(engine_);
  }
  void TearDown() override { delete main_; }
  static std::string error(auto&& f) {
    try {
      f();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no error";
  }
  ui::TForm* main_ = nullptr;
  TInstallFileGroup* engine_ = nullptr;
  TInstallStatusDlg* dlg_ = nullptr;
};

TEST_F(InstallStatusTest, NestedMessagesShowAndGiveBackTheirTexts) {
  engine_->HideStatusMessage();  // nothing shown yet: no window, no error
  EXPECT_EQ(dlg_->StatusForm(), nullptr);

  engine_->ShowStatusMessage("Reading file information...");
  TInstallStatusForm* form = dlg_->StatusForm();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->lblMessage->Caption(), "Reading file information...");
  const int shortWidth = form->Width();

  // A longer text widens the window to hold it on one line, centred across the screen;
  // the label sits in the middle of the window's height.
  const std::string longer = "Transferring this installation to floppies. Please wait...";
  engine_->ShowStatusMessage(longer);
  EXPECT_EQ(dlg_->StatusForm(), form);
  EXPECT_EQ(form->lblMessage->Caption(), longer);
  EXPECT_FALSE(form->lblMessage->WordWrap());
  const platform::ui::Size text = platform::ui::MeasureText(form->Font()->Spec(), longer, 0, false);
  EXPECT_EQ(form->lblMessage->Width(), text.cx);
  // The text's offset in the window (the picture's 49 and the border's 5) and a margin.
  EXPECT_EQ(form->Width(), text.cx + 49 + 5 + 25);
  EXPECT_GT(form->Width(), shortWidth);
  const int screen = platform::ui::ScreenSize().cx;
  EXPECT_LE(std::abs(2 * form->Left() + form->Width() - screen), 1);
  EXPECT_LE(std::abs(2 * form->lblMessage->Top() + form->lblMessage->Height() - form->ClientHeight()), 1);
  EXPECT_EQ(dlg_->MessageStack().size(), 2u);

  // Ending the inner step gives the first text back; ending the outer one hides the
  // window, which stays for later messages.
  engine_->HideStatusMessage();
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->lblMessage->Caption(), "Reading file information...");
  EXPECT_EQ(form->Width(), shortWidth);
  engine_->HideStatusMessage();
  EXPECT_FALSE(form->Visible());
  engine_->HideStatusMessage();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(dlg_->StatusForm(), form);
  EXPECT_EQ(dlg_->TranslationState(), TKstrLanguage::klEnglish);
}

TEST_F(InstallStatusTest, WrongParametersAndABoundDialog) {
  EXPECT_EQ(error([&] { dlg_->HandleMessage(engine_, cc::ShowStatus, nullptr); }),
            "InstallStatusDlg got a nil PO parameter");
  TDiskParameter disk;
  EXPECT_EQ(error([&] { dlg_->HandleMessage(engine_, cc::ShowStatus, &disk); }),
            "The PO object passed to InstallStatusDlg is not a TMessageParameter object");
  EXPECT_TRUE(dlg_->MessageStack().empty());

  // Bound to a dialog manager, the dialog is a page's and leaves both calls alone.
  auto* manager = new TDialogManager(main_);
  manager->SetName("DialogManager");
  dlg_->SetDialogManager(manager);
  engine_->ShowStatusMessage("Reading file information...");
  dlg_->HandleMessage(engine_, cc::ShowStatus, nullptr);
  EXPECT_EQ(dlg_->StatusForm(), nullptr);
  EXPECT_TRUE(dlg_->MessageStack().empty());
  delete manager;
  EXPECT_EQ(dlg_->DialogManager(), nullptr);
  engine_->ShowStatusMessage("Reading file information...");
  EXPECT_NE(dlg_->StatusForm(), nullptr);
}

// The settings' values survive the stream with every class's (class_round_trip_test);
// here what the text holds.
TEST_F(InstallStatusTest, StreamsWithItsSettings) {
  // OverrideMainTranslator is written even at False; the other settings only when changed.
  dlg_->SetAutoTranslate(false);
  std::string text = ObjectBinaryToText(WriteComponentStream(main_));
  EXPECT_NE(text.find("object InstallStatusDlg: TInstallStatusDlg\n"
                      "    AutoTranslate = False\n"
                      "    Container = Install\n"
                      "    OverrideMainTranslator = False\n"
                      "  end"),
            std::string::npos)
      << text;
}

TEST_F(InstallStatusTest, ASecondFormOfAClassUnderTheSameOwnerTakesANewName) {
  // The setup program makes one form of each wizard class at start; the dialogs make
  // their own later, under the same owner.
  TInstallStatusForm first(ui::Application), second(ui::Application), third(ui::Application);
  EXPECT_EQ(first.Name(), "InstallStatusForm");
  EXPECT_EQ(second.Name(), "InstallStatusForm_1");
  EXPECT_EQ(third.Name(), "InstallStatusForm_2");
}

}  // namespace
}  // namespace kestrune::dialogs
