// Real windows under Wine: exceptions raised in window handlers reach the application's
// handler instead of crossing the system's frames, activation runs from the message loop,
// modal loops and termination, and alignment to the real client area.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "ui/application.h"
#include "ui/extctrls.h"

namespace kestrune::ui {
namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "windows need a display";
    app_ = std::make_unique<TApplication>();
    app_->Initialize();
    app_->SetTitle("Window test");
    app_->OnException = [this](TComponent*, const std::exception& e) { errors_.push_back(e.what()); };
  }
  // Pumps until done() holds or about three seconds have passed.
  template <class F>
  bool pumpUntil(F done) {
    for (int i = 0; i < 600 && !done(); ++i) {
      app_->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
  }
  TForm* newForm(const char* caption) {
    TForm* f = app_->CreateForm<TForm>();
    f->SetCaption(caption);
    f->SetBounds(100, 100, 300, 200);
    return f;
  }
  std::unique_ptr<TApplication> app_;
  std::vector<std::string> errors_;
};

TEST_F(WindowTest, ActivationRunsFromTheLoopAndItsExceptionReachesTheHandler) {
  TForm* form = newForm("Activation");
  int activations = 0;
  form->OnActivate = [&](TComponent* sender) {
    EXPECT_EQ(sender, form);
    ++activations;
    throw IEInstall("Failure inside %s", {"OnActivate"});
  };
  form->Show();
  // Activation is posted: nothing ran inside Show.
  EXPECT_EQ(activations, 0);
  ASSERT_TRUE(pumpUntil([&] { return !errors_.empty(); }));
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(errors_[0], "Failure inside OnActivate");
}

class ThrowingPanel : public TPanel {
 public:
  using TPanel::TPanel;
  int paints = 0;
  void Paint(platform::ui::Canvas& canvas) override {
    ++paints;
    TPanel::Paint(canvas);
    throw EInvalidOperation("paint failed");
  }
};

TEST_F(WindowTest, AFailingPaintIsReportedOnceAndTheWindowStaysValid) {
  TForm* form = newForm("Painting");
  auto* panel = new ThrowingPanel(form);
  panel->SetParent(form);
  panel->SetAlign(TAlign::alClient);
  form->Show();
  ASSERT_TRUE(pumpUntil([&] { return panel->paints > 0; }));
  // The paint that failed still validated the window: no endless repaint.
  for (int i = 0; i < 20; ++i) {
    app_->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_LE(panel->paints, 2);
  EXPECT_EQ(errors_.size(), static_cast<size_t>(panel->paints));
  EXPECT_EQ(errors_.at(0), "paint failed");
}

TEST_F(WindowTest, AlignedChildFillsTheRealClientArea) {
  TForm* form = newForm("Layout");
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetAlign(TAlign::alClient);
  form->HandleNeeded();
  ASSERT_TRUE(panel->HandleAllocated());
  EXPECT_GT(form->ClientWidth(), 0);
  EXPECT_EQ(panel->BoundsRect(), (platform::ui::Rect{0, 0, form->ClientWidth(), form->ClientHeight()}));
  form->SetWindowState(TWindowState::wsMaximized);
  form->Show();
  pumpUntil([&] { return form->Width() > 300; });
  EXPECT_EQ(panel->Width(), form->ClientWidth());
}

TEST_F(WindowTest, ModalLoopEndsWithTheModalResultAndTerminateEndsRun) {
  TForm* mainForm = newForm("Main");
  TForm* dialog = newForm("Dialog");
  dialog->OnActivate = [&](TComponent*) { dialog->SetModalResult(mrOk); };
  int shown = 0;
  mainForm->OnActivate = [&](TComponent*) {
    if (shown++) return;
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(mainForm->Enabled());
    EXPECT_THROW(mainForm->ShowModal(), EInvalidOperation);  // already visible
    app_->Terminate();
    // A message box after Terminate is not closed by it (no quit message is involved).
  };
  app_->Run();
  EXPECT_TRUE(app_->Terminated());
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(errors_.empty()) << errors_.at(0);
}

TEST_F(WindowTest, ClosingTheMainFormTerminates) {
  TForm* mainForm = newForm("Closing");
  mainForm->OnActivate = [&](TComponent*) { mainForm->Close(); };
  app_->Run();
  EXPECT_TRUE(app_->Terminated());
}

}  // namespace
}  // namespace kestrune::ui
