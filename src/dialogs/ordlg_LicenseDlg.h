// The licence page: the agreement text; "Další" is enabled only while the agreement box
// is ticked.
#pragma once
#include "dialogs/ordlg_BaseForms.h"
#include "ui/cmp_TTranslateControls.h"

namespace kestrune::dialogs {

class TLicenseForm : public TBaseInstallForm {
  KESTRUNE_CLASS()
 public:
  explicit TLicenseForm(TComponent* owner);

  ui::TTranslateLabel *Label1 = nullptr, *Label2 = nullptr;
  ui::TRichEdit* Agreement = nullptr;
  ui::TCheckBox* chbYes = nullptr;
  ui::TTranslateBitBtn *btnZpet = nullptr, *btnDalsi = nullptr, *btnStorno = nullptr;
  ui::TImage* ThemeBitmap = nullptr;

  void PrepareForm() override;
  // Left out for a product that is not the demo's and has no licence text.
  bool SkipPage() const override { return skip_; }

  void chbYesClick() { btnDalsi->SetEnabled(chbYes->Checked()); }

 private:
  bool skip_ = false;
};

}  // namespace kestrune::dialogs
