// The base of the kit's single modal dialogs run by an install component (the install
// status dialog is its one kind): translation settings, theme picture, the attached
// dialog manager and Execute.
#pragma once
#include <memory>

#include "dialogs/dlgcmp_TDialogManager.h"
#include "runtime/picture.h"
#include "ui/controls.h"

namespace kestrune::ui {
class TCustomForm;
}

namespace kestrune::dialogs {

class TCustomBaseInstallDlg : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TCustomBaseInstallDlg(TComponent* owner);
  ~TCustomBaseInstallDlg() override;

  bool AutoSetFont() const { return autoSetFont_; }
  void SetAutoSetFont(bool v) { autoSetFont_ = v; }
  bool AutoTranslate() const { return autoTranslate_; }
  void SetAutoTranslate(bool v) { autoTranslate_ = v; }
  bool OverrideMainTranslator() const { return overrideMainTranslator_; }
  void SetOverrideMainTranslator(bool v) { overrideMainTranslator_ = v; }
  TKstrLanguage TranslateIntoLanguage() const { return translateIntoLanguage_; }
  void SetTranslateIntoLanguage(TKstrLanguage v) { translateIntoLanguage_ = v; }
  TPicture* ThemeBitmap() const { return themeBitmap_.get(); }
  virtual void SetThemeBitmap(const TPicture& v) { themeBitmap_->Assign(v); }
  TKstrLanguage TranslationState() const { return translationState_; }

  ui::TCustomForm* Form() const { return form_; }
  void SetForm(ui::TCustomForm* form);
  TDialogManager* DialogManager() const { return dialogManager_; }
  virtual void SetDialogManager(TDialogManager* manager);

  // Placement used when the dialog places a form itself, and the order given to a page
  // bound to it.
  int32_t DialogHeight = 0, DialogWidth = 0;
  TKestruneDialogPosition DialogPosition = TKestruneDialogPosition::kdpCenter;
  int32_t RelativeLeftOffset = 0, RelativeTopOffset = 0;
  int32_t Order = 0;

  int RegisteredType() const override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  // Applies the language font and texts to the form (nothing without a form).
  virtual void Translate();
  // Copies the translation settings into the form and binds a page to this dialog, then
  // translates. Raises "Cannot AssignDialogProperties for %s because the Dialog is Nil"
  // without a form.
  virtual void AssignDialogProperties();
  // OnBeforeExecute, ShowDialog, pending messages, OnAfterExecute. An EAbort ends it
  // with false; other errors pass on.
  virtual bool Execute();
  // Shows a form of DialogFormClass modally; true for mrOk, else raises EAIUserAbort.
  virtual bool ShowDialog();
  virtual const ClassInfo& DialogFormClass() const = 0;
  virtual bool CanShow() const { return true; }

  ui::TNotifyEvent OnBeforeExecute, OnAfterExecute;

 protected:
  TKstrLanguage translationState_ = TKstrLanguage::klEnglish;

 private:
  bool autoSetFont_ = true, autoTranslate_ = true, overrideMainTranslator_ = false;
  TKstrLanguage translateIntoLanguage_ = TKstrLanguage::klUser;
  std::unique_ptr<TPicture> themeBitmap_;
  ui::TCustomForm* form_ = nullptr;
  TDialogManager* dialogManager_ = nullptr;
};

}  // namespace kestrune::dialogs
