// The application object: title, main form, message loop and pump, termination, the
// exception handler every window callback reports to, message boxes and the cursor.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "runtime/component.h"
#include "ui/forms.h"

namespace kestrune::ui {

class TApplication : public TComponent {
  KESTRUNE_CLASS()
 public:
  // The first application made becomes the global Application.
  explicit TApplication(TComponent* owner = nullptr);
  ~TApplication() override;

  // Installs the message pump behind kestrune::ProcessMessages and the handler of
  // exceptions caught at window callbacks.
  void Initialize();

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }

  TCustomForm* MainForm() const { return mainForm_; }
  // Creates a form owned by the application; the first form created becomes the main form
  // (after its constructor, so the stream it reads runs without a main form) and gets its
  // window, unless the run is unattended: that shows none, and under Wine a process's
  // first window connects to the display (megabytes of libraries, fonts and theme).
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = new T(this, std::forward<Args>(args)...);
    if (!mainForm_) {
      mainForm_ = form;
      if (!quietNow()) form->HandleNeeded();
    }
    return form;
  }

  // Shows the main form (quiet: activates it unseen) and handles messages until Terminate.
  void Run();
  // Ends Run (and every modal loop, with mrCancel) once the current message is handled.
  // Unlike a quit message it does not close message boxes shown afterwards.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every pending message and returns; costs one queue check when none is pending.
  void ProcessMessages();
  // How often ProcessMessages has looked at the queue (the step pump's cost is counted in it).
  int64_t QueueLooks() const { return queueLooks_; }
  // Waits for one message and handles it.
  void HandleMessage();

  // Hands an exception to OnException, or shows it when there is no handler. EAbort is
  // silent. Never throws.
  void HandleException(TComponent* sender, std::exception_ptr e) noexcept;
  void ShowException(const std::exception& e);
  std::function<void(TComponent* Sender, const std::exception& E)> OnException;

  // A message box owned by the active window; an empty caption shows the title. Quiet:
  // none, and QuietAnswer.
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

  // The cursor every window shows while it is not crDefault (the screen cursor).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);

  // Called by a form that goes.
  void FormDestroyed(TCustomForm* form);

 private:
  static bool quietNow();  // Quiet(), for the templates above its declaration
  std::string title_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  TCursor cursor_ = crDefault;
  int64_t queueLooks_ = 0;
};

// The application of the program (null when none exists).
extern TApplication* Application;

// The one quiet check of the windows: a program that can run unattended registers what
// tells it so (SetQuietCheck, runtime/seams.h; the setup program: the run state's
// QuietRun). While Quiet() is true, Run
// activates the main form without showing it, MessageBox shows nothing and answers what
// changes nothing (QuietAnswer), and a form refuses to show (EInvalidOperation), so that a
// window nobody foresaw ends the run as an error instead of waiting for nobody. The layers
// above skip their pages and dialogs on the same check.
bool Quiet();
// The answer of a message box with these MessageBoxFlags that nobody sees: Cancel when it
// has that button, else No, else Abort, else OK.
int QuietAnswer(unsigned flags);

}  // namespace kestrune::ui
