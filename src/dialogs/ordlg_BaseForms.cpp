// Base forms: translation settings, wizard pages, during-copy forms and the page container.
#include "dialogs/ordlg_BaseForms.h"

#include "dialogs/form_layouts.h"
#include "objects/engine_seam.h"
#include "objects/run_state.h"
#include "platform/ui_app.h"
#include "runtime/process_messages.h"
#include "runtime/published.h"
#include "translation/cmp_TTranslator.h"
#include "archive/cmp_TKstrCompress.h"
#include "ui/application.h"

namespace kestrune::dialogs {

const ClassInfo& TBaseKestruneForm::classInfo() {
  static const ClassInfo info{"TBaseKestruneForm", &ui::TForm::classInfo(), nullptr, {}};
  return info;
}

TBaseKestruneForm::TBaseKestruneForm(TComponent* owner) : ui::TForm(owner) { Font()->SetCharset(ui::kAnsiCharset); }

void TBaseKestruneForm::ApplyLanguage() {
  // Without a main translator the form keeps its design font and texts.
  if (AutoSetFont) {
    if (OverrideMainTranslator) translation::SetFormFontIn(TranslateIntoLanguage, this);
    else translation::SetFormFont(this);
  }
  if (AutoTranslate) {
    TranslationState = OverrideMainTranslator
                           ? translation::TranslateFormInto(TranslationState, TranslateIntoLanguage, this)
                           : translation::TranslateForm(TranslationState, this);
  }
  ProcessMessages();
}

void TBaseKestruneForm::ReadLayout(const std::vector<uint8_t>& stream) { ReadFormStream(stream); }

void TBaseKestruneForm::CopyEngineTheme(ui::TImage* image) {
  IInstallEngine* engine = CurrentEngine();
  if (!image || !engine || !image->Picture()->Empty()) return;
  if (const TPicture* theme = engine->EngineThemeBitmap()) image->SetPicture(*theme);
}

const ClassInfo& TBaseInstallForm::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TBaseInstallForm::DC, &TBaseInstallForm::SetDC>("DC"),
      prop<&TBaseInstallForm::DM, &TBaseInstallForm::SetDM>("DM"),
      prop<&TBaseInstallForm::Order, &TBaseInstallForm::SetOrder>("Order").Default(0)};
  static const ClassInfo info{"TBaseInstallForm", &TBaseKestruneForm::classInfo(), nullptr, props};
  return info;
}

TBaseInstallForm::TBaseInstallForm(TComponent* owner) : TBaseKestruneForm(owner) {}

void TBaseInstallForm::SetDC(TCustomBaseInstallDlg* v) {
  if (dc_) dc_->RemoveFreeNotification(this);
  dc_ = v;
  if (dc_) dc_->FreeNotification(this);
}

void TBaseInstallForm::SetDM(TDialogManager* v) {
  if (dm_) dm_->RemoveFreeNotification(this);
  dm_ = v;
  if (dm_) dm_->FreeNotification(this);
}

void TBaseInstallForm::Notification(TComponent* component, TOperation operation) {
  TBaseKestruneForm::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == dc_) dc_ = nullptr;
  if (component == dm_) dm_ = nullptr;
}

void TBaseInstallForm::BecomeChildPage() {
  auto* owner = dynamic_cast<ui::TCustomForm*>(Owner());
  if (!owner) return;
  SetVisible(false);
  SetBorderStyle(ui::TFormBorderStyle::bsNone);
  SetBorderIcons({});
  SetPosition(ui::TPosition::poDesigned);
  SetParent(owner);
  SetBounds(0, 0, owner->ClientWidth(), owner->Height());
}

TBaseFormContainer* TBaseInstallForm::FormContainer() const { return dynamic_cast<TBaseFormContainer*>(Owner()); }

bool TBaseInstallForm::IsFirstPage() const {
  TBaseFormContainer* c = FormContainer();
  if (!c) return false;
  int current = c->Tabs->TabIndex();
  for (int i = 0; i < current && i < c->PageCount(); ++i)
    if (!c->Pages(i)->SkipPage()) return false;
  return true;
}

bool TBaseInstallForm::IsLastPage() const {
  TBaseFormContainer* c = FormContainer();
  return c && c->PageCount() == c->Tabs->TabIndex() + 1;
}

void TBaseInstallForm::AbortWizard() {
  if (TBaseFormContainer* c = FormContainer()) c->SetModalResult(ui::mrAbort);
  else SetModalResult(ui::mrAbort);
}

void TBaseInstallForm::NextPage() {
  if (TBaseFormContainer* c = FormContainer()) c->NextPage();
}

void TBaseInstallForm::PreviousPage() {
  if (TBaseFormContainer* c = FormContainer()) c->PreviousPage();
}

void TBaseInstallForm::ActivatePage() {
  if (!dynamic_cast<ui::TCustomForm*>(Owner())) return;
  PrepareForm();
  Show();
}

void TBaseInstallForm::CancelWizard() {
  IInstallEngine* engine = CurrentEngine();
  if (engine && !engine->EngineUserAbortAllowed()) return;
  AbortWizard();
}

const ClassInfo& TBaseDuringCopyForm::classInfo() {
  static constexpr PropInfo props[] = {prop<&TBaseDuringCopyForm::DM, &TBaseDuringCopyForm::SetDM>("DM")};
  static const ClassInfo info{"TBaseDuringCopyForm", &TBaseKestruneForm::classInfo(), nullptr, props};
  return info;
}

TBaseDuringCopyForm::TBaseDuringCopyForm(TComponent* owner) : TBaseKestruneForm(owner) {}

void TBaseDuringCopyForm::SetDM(TDialogManager* v) {
  if (dm_) dm_->RemoveFreeNotification(this);
  dm_ = v;
  if (dm_) dm_->FreeNotification(this);
}

void TBaseDuringCopyForm::Notification(TComponent* component, TOperation operation) {
  TBaseKestruneForm::Notification(component, operation);
  if (operation == TOperation::opRemove && component == dm_) dm_ = nullptr;
}

void TBaseDuringCopyForm::CancelCopy() {
  IInstallEngine* engine = CurrentEngine();
  if (!engine || engine->EngineUserAbortAllowed()) {
    SharedArchiveEngine().SetAbort(true);
    SetNetAbortRequested(true);
  }
  SetModalResult(ui::mrAbort);
}

const ClassInfo& TBaseFormContainer::classInfo() {
  static const ClassInfo info{"TBaseFormContainer", &ui::TForm::classInfo(), nullptr, {}};
  return info;
}

TBaseFormContainer::TBaseFormContainer(TComponent* owner) : ui::TForm(owner) {
  DeclareField("DisplayPanel", DisplayPanel);
  DeclareField("Tabs", Tabs);
  ReadFormStream(layouts::TBaseFormContainer());
  Font()->SetCharset(ui::kAnsiCharset);
  resizing_ = true;
  SetHeight(395);
  SetWidth(478);
  resizing_ = false;
  closeAllowed_ = false;
}

TBaseInstallForm* TBaseFormContainer::CurrentPage() const {
  int index = Tabs->TabIndex();
  return index >= 0 && index < PageCount() ? pages_[index] : nullptr;
}

bool TBaseFormContainer::ShowPage(int index, bool backwards) {
  // Skipped pages are passed over in the direction of travel (a loop: a long run of
  // skipped pages needs no deep recursion).
  for (;;) {
    if (index < 0 || index >= PageCount()) return false;
    if (!pages_[index]->SkipPage()) break;
    index += backwards ? -1 : 1;
  }
  int current = Tabs->TabIndex();
  if (current >= 0 && current < PageCount() && current != index) {
    pages_[current]->LeavePage();
    pages_[current]->Hide();
  }
  Tabs->SetTabIndex(index);
  SetCaption(pages_[index]->Caption());
  pages_[index]->ActivatePage();
  return true;
}

void TBaseFormContainer::NextPage() {
  int remembered = Tabs->TabIndex();
  if (!ShowPage(remembered + 1, false)) ShowPage(remembered + 1, true);
  if (Tabs->TabIndex() == remembered) {
    closeAllowed_ = true;
    SetModalResult(ui::mrOk);
  }
}

bool TBaseFormContainer::PreviousPage() {
  int index = Tabs->TabIndex();
  return ShowPage(index - 1, true) || ShowPage(index - 1, false);
}

void TBaseFormContainer::PlaceDialog(TKestruneDialogPosition position, int leftOffset, int topOffset) {
  platform::ui::Point at = DialogPlacement(position, Width(), Height(), leftOffset, topOffset, platform::ui::ScreenSize(),
                                           platform::ui::CaptionHeight());
  SetBounds(at.x, at.y, Width(), Height());
}

bool TBaseFormContainer::CloseQuery() {
  if (!closeAllowed_ && ModalResult() != ui::mrAbort) return false;
  return ui::TForm::CloseQuery();
}

void TBaseFormContainer::Notification(TComponent* component, TOperation operation) {
  ui::TForm::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  std::erase(pages_, component);
}

void TBaseFormContainer::VisibleChanged() {
  ui::TForm::VisibleChanged();
  if (Visible() && !CurrentPage())
    if (!ShowPage(0, true)) ShowPage(0, false);
}

void TBaseFormContainer::WindowResized() {
  ui::TForm::WindowResized();
  if (resizing_ || !DisplayPanel) return;
  platform::ui::Rect r = DisplayPanel->BoundsRect();
  for (TBaseInstallForm* page : pages_) {
    page->SetBounds(r.left, r.top, r.Width(), r.Height());
    page->Repaint();
  }
}

}  // namespace kestrune::dialogs
