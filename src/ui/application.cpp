// The application object and its message loop.
#include "ui/application.h"

#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"

namespace kestrune::ui {

TApplication* Application = nullptr;

namespace {
void pump() {
  if (Application) Application->ProcessMessages();
}

void callbackException(std::exception_ptr e) {
  if (Application) Application->HandleException(nullptr, e);
}
}  // namespace

const ClassInfo& TApplication::classInfo() {
  static const ClassInfo info{"TApplication", &TComponent::classInfo(), nullptr, {}};
  return info;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  if (!Application) Application = this;
}

TApplication::~TApplication() {
  // Forms ask for the application while they go.
  DestroyComponents();
  if (Application == this) {
    SetProcessMessagesHook(nullptr);
    platform::ui::SetCallbackExceptionHandler(nullptr);
    Application = nullptr;
  }
}

void TApplication::Initialize() {
  SetProcessMessagesHook(&pump);
  platform::ui::SetCallbackExceptionHandler(&callbackException);
}

void TApplication::Run() {
  if (mainForm_ && !terminated_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  terminated_ = true;
  platform::ui::WakeMessageLoop();
}

void TApplication::ProcessMessages() {
  if (!platform::ui::DispatchPending()) terminated_ = true;
}

void TApplication::HandleMessage() {
  if (!platform::ui::WaitAndDispatch()) terminated_ = true;
}

void TApplication::HandleException(TComponent* sender, std::exception_ptr e) noexcept {
  try {
    try {
      std::rethrow_exception(e);
    } catch (const EAbort&) {
    } catch (const std::exception& ex) {
      if (OnException) OnException(sender, ex);
      else ShowException(ex);
    } catch (...) {
      Exception unknown("Unknown error");
      if (OnException) OnException(sender, unknown);
      else ShowException(unknown);
    }
  } catch (const std::exception& again) {
    // The handler itself failed: show that error rather than lose it.
    try {
      ShowException(again);
    } catch (...) {
    }
  } catch (...) {
  }
}

void TApplication::ShowException(const std::exception& e) {
  MessageBox(e.what(), title_, platform::ui::mbOk | platform::ui::mbIconStop);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  platform::ui::WindowHandle owner = platform::ui::ActiveWindow();
  if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Window().Handle();
  return platform::ui::ShowMessageBox(owner, text, caption.empty() ? title_ : caption, flags);
}

void TApplication::SetCursor(TCursor v) {
  cursor_ = v;
  platform::ui::SetOverrideCursor(v);
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (form == mainForm_) mainForm_ = nullptr;
}

}  // namespace kestrune::ui
