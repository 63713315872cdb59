// The install status window and its dialog component.
#include "dialogs/ordlg_InstallStatusDlg.h"

#include <cmath>
#include <memory>

#include "dialogs/form_layouts.h"
#include "objects/component_calls.h"
#include "objects/parameters.h"
#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/published.h"
#include "ui/application.h"

namespace kestrune::dialogs {

namespace {
// The system's information icon: the window tells, it does not ask or warn.
constexpr int32_t kInformationIcon = 32516;
}  // namespace

const ClassInfo& TInstallStatusForm::classInfo() {
  static const ClassInfo info{"TInstallStatusForm", &ui::TForm::classInfo(), create<TInstallStatusForm>, {}};
  return info;
}

TInstallStatusForm::TInstallStatusForm(TComponent* owner) : ui::TForm(owner) {
  DeclareField("pnlBack", pnlBack);
  DeclareField("Image1", Image1);
  DeclareField("pnlMessage", pnlMessage);
  DeclareField("lblMessage", lblMessage);
  ReadFormStream(layouts::TInstallStatusForm());
  Image1->SystemIcon = kInformationIcon;
}

const ClassInfo& TInstallStatusDlg::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TCustomBaseInstallDlg::AutoSetFont, &TCustomBaseInstallDlg::SetAutoSetFont>("AutoSetFont").Default(1),
      prop<&TCustomBaseInstallDlg::AutoTranslate, &TCustomBaseInstallDlg::SetAutoTranslate>("AutoTranslate").Default(1),
      prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container"),
      // Always stored: a script says which translator its status texts go through.
      prop<&TCustomBaseInstallDlg::OverrideMainTranslator, &TCustomBaseInstallDlg::SetOverrideMainTranslator>(
          "OverrideMainTranslator"),
      prop<&TCustomBaseInstallDlg::ThemeBitmap>("ThemeBitmap"),
      prop<&TCustomBaseInstallDlg::TranslateIntoLanguage, &TCustomBaseInstallDlg::SetTranslateIntoLanguage>(
          "TranslateIntoLanguage")
          .Default(static_cast<int>(TKstrLanguage::klUser))};
  static const ClassInfo info{"TInstallStatusDlg", &TCustomBaseInstallDlg::classInfo(), create<TInstallStatusDlg>, props};
  return info;
}

TInstallStatusDlg::TInstallStatusDlg(TComponent* owner) : TCustomBaseInstallDlg(owner) {}

TInstallStatusDlg::~TInstallStatusDlg() {
  // The window goes with the component (it is owned by the application only so that it
  // is a top-level window).
  delete Form();
}

const ClassInfo& TInstallStatusDlg::DialogFormClass() const { return TInstallStatusForm::classInfo(); }

TInstallStatusForm* TInstallStatusDlg::StatusForm() const { return dynamic_cast<TInstallStatusForm*>(Form()); }

void TInstallStatusDlg::HandleMessage(TInstallContainer* sender, int componentCall, TPersistent* po) {
  TCustomBaseInstallDlg::HandleMessage(sender, componentCall, po);
  if (DialogManager()) return;
  if (componentCall == cc::ShowStatus) {
    if (!po) throw IException("%s got a nil PO parameter", {Name()});
    auto* param = dynamic_cast<TMessageParameter*>(po);
    if (!param) throw IException("The PO object passed to %s is not a TMessageParameter object", {Name()});
    message_ = param->Message;
    stack_.push_back(message_);
    ShowStatus();
  } else if (componentCall == cc::HideStatus) {
    if (!stack_.empty()) stack_.pop_back();
    if (!stack_.empty()) {
      message_ = stack_.back();
      ShowStatus();
    } else {
      HideStatus();
    }
  }
}

void TInstallStatusDlg::Translate() {
  TCustomBaseInstallDlg::Translate();
  translationState_ = TKstrLanguage::klEnglish;
}

void TInstallStatusDlg::ShowStatus() {
  if (ui::Quiet()) return;
  TInstallStatusForm* form = StatusForm();
  if (!form) {
    auto made = std::make_unique<TInstallStatusForm>(ui::Application);
    form = made.get();
    SetForm(form);
    AssignDialogProperties();
    made.release();
  }
  ui::TLabel* label = form->lblMessage;
  label->SetAlign(ui::TAlign::alNone);
  label->SetWordWrap(false);
  label->SetCaption(message_);
  Translate();
  // The label takes the size of its text on one line.
  platform::ui::FontSpec font = form->Font()->Spec();
  platform::ui::Size text = platform::ui::MeasureText(font, label->Caption(), 0, false);
  label->SetBounds(label->Left(), label->Top(), text.cx, text.cy);
  label->SetTop(static_cast<int>(std::lround(form->ClientHeight() * 0.5 - label->Height() * 0.5)));
  int width = text.cx + form->pnlBack->Left() + form->pnlMessage->Left() + label->Left() + 25;
  int left = static_cast<int>(std::lround(platform::ui::ScreenSize().cx * 0.5 - width * 0.5));
  form->SetBounds(left, form->Top(), width, form->Height());
  form->Show();
  form->Repaint();
  ProcessMessages();
}

void TInstallStatusDlg::HideStatus() {
  if (TInstallStatusForm* form = StatusForm()) form->Hide();
  ProcessMessages();
}

}  // namespace kestrune::dialogs
