// The completion pages: success (with the restart choice) and failure.
#pragma once
#include "dialogs/ordlg_BaseForms.h"
#include "ui/cmp_TTranslateControls.h"

namespace kestrune::dialogs {

class TCompletionForm : public TBaseInstallForm {
  KESTRUNE_CLASS()
 public:
  explicit TCompletionForm(TComponent* owner);
  ui::TTranslateBitBtn *ProceedBtn = nullptr, *FinishBtn = nullptr;
  ui::TImage* ThemeBitmap = nullptr;
  // FinishBtn takes the focus (it lies over ProceedBtn, which is never reached).
  void PrepareForm() override;
  bool SkipPage() const override { return false; }

 protected:
  // Reads the layout, binds the page to the manager of type and gives it Order 10.
  void Setup(const std::vector<uint8_t>& layout, TManagerType type);
};

class TGoodInstallForm : public TCompletionForm {
  KESTRUNE_CLASS()
 public:
  explicit TGoodInstallForm(TComponent* owner);
  ui::TTranslateLabel *Label1 = nullptr, *Label2 = nullptr;
  ui::TRadioGroup* RG = nullptr;
  // The full or the demo edition was installed (another product's script: the run left
  // work for after a restart): only then is a restart offered.
  static bool ProductInstalled();
  void FormShow();
  void FinishBtnClick();
};

class TBadInstallForm : public TCompletionForm {
  KESTRUNE_CLASS()
 public:
  explicit TBadInstallForm(TComponent* owner);
  ui::TTranslateLabel* TopLabel = nullptr;
  void FormShow();
  void FinishBtnClick();
};

}  // namespace kestrune::dialogs
