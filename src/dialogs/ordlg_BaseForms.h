// The kit's base forms: TBaseKestruneForm (translation settings), the wizard page
// TBaseInstallForm, the modeless TBaseDuringCopyForm, and TBaseFormContainer, the modal
// window that shows one page at a time with Back/Next navigation.
#pragma once
#include <vector>

#include "dialogs/dlgcmp_TCustomBaseInstallDlg.h"
#include "dialogs/dlgcmp_TDialogManager.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/forms.h"

namespace kestrune {
class TFileStatusParameter;
class TDownloadStatusParameter;
class TDiskParameter;
}  // namespace kestrune

namespace kestrune::dialogs {

class TBaseFormContainer;

class TBaseKestruneForm : public ui::TForm {
  KESTRUNE_CLASS()
 public:
  explicit TBaseKestruneForm(TComponent* owner);

  bool AutoSetFont = true;
  bool AutoTranslate = true;
  TInstallContainer* Container = nullptr;
  TKstrLanguage TranslationState = TKstrLanguage::klEnglish;
  bool OverrideMainTranslator = false;
  TKstrLanguage TranslateIntoLanguage = TKstrLanguage::klUser;

  virtual void Retranslate() { ApplyLanguage(); }
  // Fills the form's controls; called whenever the form becomes current.
  virtual void PrepareForm() {}
  // Applies the language font and texts with the form's own settings, then handles
  // pending window messages.
  virtual void ApplyLanguage();

 protected:
  // Reads the form's layout from its compiled text form.
  void ReadLayout(const std::vector<uint8_t>& stream);
  // Copies the engine's theme picture into the image when that holds none.
  static void CopyEngineTheme(ui::TImage* image);
};

class TBaseInstallForm : public TBaseKestruneForm {
  KESTRUNE_CLASS()
 public:
  explicit TBaseInstallForm(TComponent* owner);

  TCustomBaseInstallDlg* DC() const { return dc_; }
  void SetDC(TCustomBaseInstallDlg* v);
  TDialogManager* DM() const { return dm_; }
  void SetDM(TDialogManager* v);
  int32_t Order() const { return order_; }
  void SetOrder(int32_t v) { order_ = v; }
  void Notification(TComponent* component, TOperation operation) override;

  // The container the page is shown in, or null.
  TBaseFormContainer* FormContainer() const;
  virtual bool IsFirstPage() const;
  virtual bool IsLastPage() const;
  virtual void LeavePage() {}
  virtual void AbortWizard();
  virtual void NextPage();
  virtual void PreviousPage();
  virtual void ActivatePage();
  virtual bool SkipPage() const { return false; }
  // Ends the wizard with mrAbort when the engine lets the user abort.
  virtual void CancelWizard();

  // What a change-disk form is told (set before it is shown).
  TDiskParameter* DiskParameter = nullptr;

 protected:
  // Makes the page a borderless hidden child of its container once its layout is read.
  void BecomeChildPage();

 private:
  TCustomBaseInstallDlg* dc_ = nullptr;
  TDialogManager* dm_ = nullptr;
  int32_t order_ = 0;
};

class TBaseDuringCopyForm : public TBaseKestruneForm {
  KESTRUNE_CLASS()
 public:
  explicit TBaseDuringCopyForm(TComponent* owner);
  TDialogManager* DM() const { return dm_; }
  void SetDM(TDialogManager* v);
  void Notification(TComponent* component, TOperation operation) override;

  // Asks the engine as CancelWizard does; when allowed, raises the archive engine's and
  // the download's abort requests. The form's modal result becomes mrAbort either way.
  virtual void CancelCopy();
  virtual void UpdateStatus(TFileStatusParameter* fileStatus, TDownloadStatusParameter* downloadStatus) {}

 private:
  TDialogManager* dm_ = nullptr;
};

class TBaseFormContainer : public ui::TForm {
  KESTRUNE_CLASS()
 public:
  explicit TBaseFormContainer(TComponent* owner);

  ui::TPanel* DisplayPanel = nullptr;
  ui::TTabControl* Tabs = nullptr;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TBaseInstallForm* Pages(int index) const { return pages_.at(index); }
  std::vector<TBaseInstallForm*>& PageList() { return pages_; }
  TBaseInstallForm* CurrentPage() const;

  // Shows the page at index, or the next one that is not skipped in the direction;
  // false when there is none.
  bool ShowPage(int index, bool backwards);
  virtual void NextPage();
  virtual bool PreviousPage();
  virtual void PlaceDialog(TKestruneDialogPosition position, int leftOffset, int topOffset);
  bool CloseQuery() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void VisibleChanged() override;
  void WindowResized() override;

 private:
  std::vector<TBaseInstallForm*> pages_;
  bool closeAllowed_ = false;
  bool resizing_ = false;
};

}  // namespace kestrune::dialogs
