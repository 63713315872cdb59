// The application object and its message loop.
#include "ui/application.h"

#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/seams.h"

#include <chrono>

namespace kestrune::ui {

TApplication* Application = nullptr;

namespace {
// The pump long operations call at every step (every 4 KiB of an extraction). Looking at
// the queue costs a round trip to the window server (about 15 us under Wine), so the
// queue is looked at only when 10 ms have passed since the last look: windows stay
// responsive and a step costs one clock read.
void pump() {
  using Clock = std::chrono::steady_clock;
  static Clock::time_point last{};
  Clock::time_point now = Clock::now();
  if (now - last < std::chrono::milliseconds(10)) return;
  last = now;
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
    SetCallbackExceptionHandler(nullptr);
    Application = nullptr;
  }
}

void TApplication::Initialize() {
  SetProcessMessagesHook(&pump);
  SetCallbackExceptionHandler(&callbackException);
}

bool Quiet() { return QuietCheck(); }

bool TApplication::quietNow() { return Quiet(); }

int QuietAnswer(unsigned flags) {
  namespace mb = platform::ui;
  switch (flags & 0x0F) {
    case mb::mbOkCancel:
    case mb::mbYesNoCancel:
    case 0x5:  // Retry, Cancel
      return mb::idCancel;
    case mb::mbYesNo: return mb::idNo;
    case mb::mbAbortRetryIgnore: return mb::idAbort;
    default: return mb::idOk;
  }
}

void TApplication::Run() {
  if (mainForm_ && !terminated_) {
    if (Quiet()) mainForm_->ActivateUnseen();
    else mainForm_->Show();
  }
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  terminated_ = true;
  platform::ui::WakeMessageLoop();
}

void TApplication::ProcessMessages() {
  ++queueLooks_;
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
  if (Quiet()) return QuietAnswer(flags);
  platform::ui::WindowHandle owner = platform::ui::ActiveWindow();
  if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->Window().Handle();
  return platform::ui::ShowMessageBox(owner, text, caption.empty() ? title_ : caption, flags);
}

void TApplication::SetCursor(TCursor v) {
  cursor_ = v;
  // Unattended there is no window to show it over (and under Wine a cursor change
  // connects to the display).
  if (!Quiet()) platform::ui::SetOverrideCursor(v);
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (form == mainForm_) mainForm_ = nullptr;
}

}  // namespace kestrune::ui
