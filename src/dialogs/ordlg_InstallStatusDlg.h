// The install status window: a small borderless window in the middle of the screen with
// one line of text, shown while the engine runs a long step. The dialog component keeps
// a stack of messages, so nested steps each show their own text and give the previous one
// back when they end.
#pragma once
#include <string>
#include <vector>

#include "dialogs/dlgcmp_TCustomBaseInstallDlg.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

namespace kestrune::dialogs {

// The window itself: a plain form (not a kit form), so the dialog only translates it.
class TInstallStatusForm : public ui::TForm {
  KESTRUNE_CLASS()
 public:
  explicit TInstallStatusForm(TComponent* owner);
  ui::TPanel *pnlBack = nullptr, *pnlMessage = nullptr;
  ui::TImage* Image1 = nullptr;
  ui::TLabel* lblMessage = nullptr;
};

class TInstallStatusDlg : public TCustomBaseInstallDlg {
  KESTRUNE_CLASS()
 public:
  explicit TInstallStatusDlg(TComponent* owner);
  ~TInstallStatusDlg() override;

  // -974 pushes the parameter's text and shows it; -973 pops and shows the text below,
  // or hides the window when none is left. Ignored while attached to a dialog manager.
  void HandleMessage(TInstallContainer* sender, int componentCall, TPersistent* po) override;
  // Translates as every dialog does, then takes the form's texts as English again, so
  // that the next message is looked up afresh.
  void Translate() override;
  const ClassInfo& DialogFormClass() const override;

  // Shows the current text on one line, the window as wide as the text and centred
  // across the screen.
  void ShowStatus();
  void HideStatus();
  const std::string& CurrentMessage() const { return message_; }
  const std::vector<std::string>& MessageStack() const { return stack_; }
  TInstallStatusForm* StatusForm() const;

 private:
  std::string message_;
  std::vector<std::string> stack_;
};

}  // namespace kestrune::dialogs
