// Forms: stream roots over top-level windows.
#include "ui/forms.h"

#include <algorithm>

#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/reader.h"
#include "ui/application.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

namespace {
// Codes posted to a form's own window.
constexpr int kActivatedCode = 1;
constexpr int kReleaseCode = 2;

std::vector<TCustomForm*>& liveForms() {
  static std::vector<TCustomForm*> forms;
  return forms;
}
}  // namespace

const EnumType& EnumTypeInfo(TFormBorderStyle) {
  static constexpr std::string_view values[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
      "bsSizeToolWin"};
  static constexpr EnumType t{"TFormBorderStyle", values};
  return t;
}
const EnumType& EnumTypeInfo(TBorderIcon) {
  static constexpr std::string_view values[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
  static constexpr EnumType t{"TBorderIcon", values};
  return t;
}
const EnumType& EnumTypeInfo(TPosition) {
  static constexpr std::string_view values[] = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
      "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
  static constexpr EnumType t{"TPosition", values};
  return t;
}
const EnumType& EnumTypeInfo(TWindowState) {
  static constexpr std::string_view values[] = {"wsNormal", "wsMinimized", "wsMaximized"};
  static constexpr EnumType t{"TWindowState", values};
  return t;
}

const ClassInfo& TCustomForm::classInfo() {
  static const auto never = [](const TPersistent&) { return false; };
  static constexpr PropInfo props[] = {
      prop<&TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons>("BorderIcons").Default(7),
      prop<&TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle>("BorderStyle").Default(2),
      prop<&TCustomForm::GetClientWidth, &TCustomForm::SetClientWidth>("ClientWidth").StoredIf(never),
      prop<&TCustomForm::GetClientHeight, &TCustomForm::SetClientHeight>("ClientHeight").StoredIf(never),
      prop<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont").Default(0),
      prop<&TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch>("PixelsPerInch").AlwaysStored(),
      prop<&TCustomForm::Position, &TCustomForm::SetPosition>("Position").Default(0),
      prop<&TCustomForm::Scaled, &TCustomForm::SetScaled>("Scaled").Default(1),
      prop<&TControl::Visible, &TControl::SetVisible>("Visible").Default(0),
      prop<&TCustomForm::WindowState, &TCustomForm::SetWindowState>("WindowState").Default(0),
      eventProp("OnActivate"), eventProp("OnClose"), eventProp("OnCloseQuery"), eventProp("OnDeactivate"),
      eventProp("OnDestroy"), eventProp("OnHide"), eventProp("OnShow")};
  static const ClassInfo info{"TCustomForm", &TWinControl::classInfo(), nullptr, props};
  return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  InitVisible(false);
  InitParentFont(false);
  liveForms().push_back(this);
}

TCustomForm::~TCustomForm() {
  auto& forms = liveForms();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      if (Application) Application->HandleException(this, std::current_exception());
    }
  }
  if (Application) Application->FormDestroyed(this);
  // The fields belong to descendants that are already gone.
  fields_.clear();
  DestroyComponents();
}

const std::vector<TCustomForm*>& TCustomForm::Forms() { return liveForms(); }

void TCustomForm::ReadFormStream(std::span<const uint8_t> stream) { ReadComponentStream(stream, this); }

TComponent* TCustomForm::FieldByName(const std::string& name) const {
  for (const Field& f : fields_)
    if (SameText(f.name, name)) return f.get();
  return FindComponent(name);
}

void TCustomForm::SetNamedField(const std::string& name, TComponent* component) {
  for (Field& f : fields_)
    if (SameText(f.name, name)) f.set(component);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  for (Field& f : fields_)
    if (f.get() == component) f.set(nullptr);
}

void TCustomForm::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.visible = false;  // shown by VisibleChanged, after placement
  // A form placed on a control (a wizard page in its container) is a child window.
  if (Parent()) return;
  params.child = false;
  params.parent = nullptr;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  // Secondary forms are owned by the main window so that they stay in front of it.
  if (main && main != this && main->HandleAllocated()) params.parent = main->Window().Handle();
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone: params.border = platform::ui::BorderKind::None; break;
    case TFormBorderStyle::bsSingle: params.border = platform::ui::BorderKind::Single; break;
    case TFormBorderStyle::bsSizeable: params.border = platform::ui::BorderKind::Sizeable; break;
    case TFormBorderStyle::bsDialog: params.border = platform::ui::BorderKind::Dialog; break;
    case TFormBorderStyle::bsToolWindow: params.border = platform::ui::BorderKind::ToolWindow; break;
    case TFormBorderStyle::bsSizeToolWin: params.border = platform::ui::BorderKind::SizeToolWin; break;
  }
  params.systemMenu = borderIcons_.Contains(TBorderIcon::biSystemMenu);
  params.minimizeBox = borderIcons_.Contains(TBorderIcon::biMinimize);
  params.maximizeBox = borderIcons_.Contains(TBorderIcon::biMaximize);
}

platform::ui::Size TCustomForm::EstimatedClientSize() const {
  // The classic frame metrics: 4 pixels of sizing frame, 3 of fixed frame, 19 of caption.
  int frame = 0, caption = 19;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone: caption = 0; break;
    case TFormBorderStyle::bsSizeable: case TFormBorderStyle::bsSizeToolWin: frame = 4; break;
    default: frame = 3; break;
  }
  if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin) caption = 15;
  return {std::max(0, width_ - 2 * frame), std::max(0, height_ - 2 * frame - caption)};
}

void TCustomForm::SetWindowState(TWindowState v) {
  windowState_ = v;
  if (!HandleAllocated() || !Visible()) return;
  window_.SetShowState(v == TWindowState::wsMaximized   ? platform::ui::ShowState::Maximized
                       : v == TWindowState::wsMinimized ? platform::ui::ShowState::Minimized
                                                        : platform::ui::ShowState::Normal);
}

void TCustomForm::VisibleChanged() {
  if (!Visible()) {
    window_.SetVisible(false);
    if (OnHide) OnHide(this);
    return;
  }
  HandleNeeded();
  if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter) {
    platform::ui::Size screen = platform::ui::ScreenSize();
    SetBounds((screen.cx - Width()) / 2, (screen.cy - Height()) / 2, Width(), Height());
  }
  if (OnShow) OnShow(this);
  if (windowState_ == TWindowState::wsNormal) window_.SetVisible(true);
  else SetWindowState(windowState_);
}

void TCustomForm::Show() {
  if (Quiet()) throw EInvalidOperation("The window " + Name() + " cannot be shown in an unattended run");
  SetVisible(true);
  window_.BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  bool isMain = Application && Application->MainForm() == this;
  TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (isMain) Application->Terminate();
  else if (action == TCloseAction::caHide) Hide();
  else if (action == TCloseAction::caMinimize) SetWindowState(TWindowState::wsMinimized);
  else Release();
}

void TCustomForm::closeModal() {
  TCloseAction action = TCloseAction::caHide;
  if (!CloseQuery()) action = TCloseAction::caNone;
  else if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) modalResult_ = mrNone;
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  std::vector<TCustomForm*> disabled;
  for (TCustomForm* f : liveForms())
    if (f != this && f->HandleAllocated() && f->Visible() && f->Enabled()) {
      f->window_.SetEnabled(false);
      disabled.push_back(f);
    }
  modal_ = true;
  modalResult_ = mrNone;
  // Re-enable the others before hiding, so that activation returns to them.
  auto restore = [&] {
    modal_ = false;
    for (TCustomForm* f : disabled)
      if (std::find(liveForms().begin(), liveForms().end(), f) != liveForms().end()) f->window_.SetEnabled(true);
    Hide();
  };
  try {
    Show();
    do {
      Application->HandleMessage();
      if (Application->Terminated()) modalResult_ = mrCancel;
      else if (modalResult_ != mrNone) closeModal();
    } while (modalResult_ == mrNone);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return modalResult_;
}

void TCustomForm::Release() {
  if (HandleAllocated()) window_.Post(kReleaseCode);
  else delete this;
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::ActivateUnseen() {
  // Without a window: an unattended run shows none and need not create one.
  platform::ui::PostToLoop([this] { Activate(); });
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::WindowActivated(bool active) {
  // OnActivate runs from the message loop, once the activating call has returned: a
  // handler may run a whole installation with modal windows of its own.
  if (active) window_.Post(kActivatedCode);
  else Deactivate();
}

void TCustomForm::WindowPosted(int code) {
  if (code == kActivatedCode) Activate();
  else if (code == kReleaseCode) delete this;
}

void TCustomForm::WindowCloseRequested() { Close(); }

namespace {
// The first default (Return) or cancel (Escape) button that can be pressed, in the order
// the controls stand, looking into windowed children.
TButton* findDialogButton(TWinControl* parent, bool wantDefault) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    if (auto* b = dynamic_cast<TButton*>(c); b && (wantDefault ? b->Default() : b->Cancel())) return b;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TButton* b = findDialogButton(w, wantDefault)) return b;
  }
  return nullptr;
}

TButton* focusedButton(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!w) continue;
    if (auto* b = dynamic_cast<TButton*>(w); b && b->Focused()) return b;
    if (TButton* b = focusedButton(w)) return b;
  }
  return nullptr;
}
}  // namespace

bool TCustomForm::WindowDialogKey(int key) {
  if (!Visible() || !Enabled() || (key != 13 && key != 27)) return false;
  TButton* button = key == 13 ? focusedButton(this) : nullptr;
  if (!button) button = findDialogButton(this, key == 13);
  if (!button) return false;
  button->Click();
  return true;
}

const ClassInfo& TForm::classInfo() {
  static const ClassInfo info{"TForm", &TCustomForm::classInfo(), create<TForm>, {}};
  return info;
}

}  // namespace kestrune::ui
