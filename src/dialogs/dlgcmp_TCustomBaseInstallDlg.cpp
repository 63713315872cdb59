// The base of single modal dialogs.
#include "dialogs/dlgcmp_TCustomBaseInstallDlg.h"

#include "dialogs/ordlg_BaseForms.h"
#include "objects/component_calls.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/published.h"
#include "translation/cmp_TTranslator.h"
#include "ui/application.h"

namespace kestrune::dialogs {

const ClassInfo& TCustomBaseInstallDlg::classInfo() {
  static const ClassInfo info{"TCustomBaseInstallDlg", &TInstallObject::classInfo(), nullptr, {}};
  return info;
}

TCustomBaseInstallDlg::TCustomBaseInstallDlg(TComponent* owner)
    : TInstallObject(owner), themeBitmap_(std::make_unique<TPicture>()) {}

TCustomBaseInstallDlg::~TCustomBaseInstallDlg() {
  ForgetRegisteredDialog(this);
  if (dialogManager_) {
    dialogManager_->RemoveDialog(this);
    dialogManager_->RemoveFreeNotification(this);
  }
  if (form_) form_->RemoveFreeNotification(this);
}

int TCustomBaseInstallDlg::RegisteredType() const { return rt::Dialog; }

void TCustomBaseInstallDlg::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == dialogManager_) dialogManager_ = nullptr;
  if (component == form_) form_ = nullptr;
}

void TCustomBaseInstallDlg::Loaded() {
  TInstallObject::Loaded();
  Translate();
}

void TCustomBaseInstallDlg::SetForm(ui::TCustomForm* form) {
  if (form == form_) return;
  if (form_) form_->RemoveFreeNotification(this);
  form_ = form;
  if (form_) form_->FreeNotification(this);
}

void TCustomBaseInstallDlg::SetDialogManager(TDialogManager* manager) {
  if (manager == dialogManager_) return;
  if (manager) manager->AddDialog(this);
  if (dialogManager_) {
    dialogManager_->RemoveDialog(this);
    dialogManager_->RemoveFreeNotification(this);
  }
  dialogManager_ = manager;
  if (manager) manager->FreeNotification(this);
}

void TCustomBaseInstallDlg::Translate() {
  // Without a main translator the form keeps its design font and texts.
  if (!form_) return;
  if (autoSetFont_) {
    if (overrideMainTranslator_) translation::SetFormFontIn(translateIntoLanguage_, form_);
    else translation::SetFormFont(form_);
  }
  if (autoTranslate_) {
    translationState_ = overrideMainTranslator_
                            ? translation::TranslateFormInto(translationState_, translateIntoLanguage_, form_)
                            : translation::TranslateForm(translationState_, form_);
  }
}

void TCustomBaseInstallDlg::AssignDialogProperties() {
  if (!form_) throw IException("Cannot AssignDialogProperties for %s because the Dialog is Nil", {Name()});
  if (auto* f = dynamic_cast<TBaseKestruneForm*>(form_)) {
    f->AutoSetFont = autoSetFont_;
    f->AutoTranslate = autoTranslate_;
    f->Container = Container();
    f->OverrideMainTranslator = overrideMainTranslator_;
    f->TranslateIntoLanguage = translateIntoLanguage_;
  }
  if (auto* page = dynamic_cast<TBaseInstallForm*>(form_)) page->SetDC(this);
  Translate();
}

bool TCustomBaseInstallDlg::Execute() {
  try {
    if (OnBeforeExecute) OnBeforeExecute(this);
    bool result = ShowDialog();
    ProcessMessages();
    if (OnAfterExecute) OnAfterExecute(this);
    return result;
  } catch (const EAbort&) {
    return false;
  }
}

bool TCustomBaseInstallDlg::ShowDialog() {
  // Unattended: as if the dialog had been confirmed with what it shows.
  if (!CanShow() || ui::Quiet()) return true;
  const ClassInfo& cls = DialogFormClass();
  if (!cls.factory) throw EComponentError(Format("Class %s cannot be created", {cls.name}));
  std::unique_ptr<TComponent> made(cls.factory(ui::Application));
  auto* form = dynamic_cast<ui::TCustomForm*>(made.get());
  if (!form) throw EComponentError(Format("Class %s is not a form", {cls.name}));
  SetForm(form);
  AssignDialogProperties();
  ui::TModalResult result = form->ShowModal();
  SetForm(nullptr);
  made.reset();
  if (result != ui::mrOk) throw EAIUserAbort();
  return true;
}

}  // namespace kestrune::dialogs
