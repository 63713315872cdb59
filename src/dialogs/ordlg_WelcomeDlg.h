// The welcome page: greets the user and chooses the install type, which switches the
// full and demo file groups on or off and sets the engine's destination.
#pragma once
#include <vector>

#include "dialogs/ordlg_BaseForms.h"
#include "ui/cmp_TTranslateControls.h"

namespace kestrune::dialogs {

// The install type last chosen on the welcome page (index in its radio group); starts at 0
// and outlives the page.
extern int SelectedInstallType;

// The engine destinations of the full and the demo install types.
inline constexpr const char* kFullVersionDir = "C:\\Zarvotill";
inline constexpr const char* kDemoVersionDir = "C:\\Zarvotill Demo";

class TWelcomeForm : public TBaseInstallForm {
  KESTRUNE_CLASS()
 public:
  explicit TWelcomeForm(TComponent* owner);

  ui::TTranslateLabel *Label1 = nullptr, *Label2 = nullptr, *Label6 = nullptr, *Label7 = nullptr;
  ui::TLabel *Label3 = nullptr, *lblDiskA = nullptr;
  ui::TRadioGroup* rgpTypInstalace = nullptr;
  ui::TTranslateBitBtn *btnDalsi = nullptr, *btnStorno = nullptr;
  ui::TImage* ThemeBitmap = nullptr;

  void PrepareForm() override;
  bool SkipPage() const override { return false; }

  void FormCreate();
  void rgpTypInstalaceClick();
  void btnDalsiClick() { NextPage(); }
  void btnStornoClick() { CancelWizard(); }

  // The install types the radio group offers for a script that is not the demo's (empty
  // for the demo's, whose three items are the page's own).
  const std::vector<TInstallType>& OfferedTypes() const { return offered_; }

 private:
  // A script of another product: its name and line, and its own install types.
  void fillProduct();
  std::vector<TInstallType> offered_;
  bool filling_ = false, demo_ = true;
};

// A component of the program's main form by name (the script's groups and engine), or null.
TInstallContainer* ScriptObject(const char* name);

}  // namespace kestrune::dialogs
