// Standard controls: painted labels and the controls over STATIC, BUTTON and EDIT.
#include "ui/stdctrls.h"

#include "runtime/published.h"
#include "ui/forms.h"

namespace kestrune::ui {

const ClassInfo& TCustomLabel::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TCustomLabel::Alignment, &TCustomLabel::SetAlignment>("Alignment").Default(0),
      prop<&TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize>("AutoSize").Default(1),
      prop<&TCustomLabel::Transparent, &TCustomLabel::SetTransparent>("Transparent").Default(0),
      prop<&TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap>("WordWrap").Default(0)};
  static const ClassInfo info{"TCustomLabel", &TGraphicControl::classInfo(), nullptr, props};
  return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  Invalidate();
}

void TCustomLabel::Paint(platform::ui::Canvas& canvas) {
  if (!transparent_) canvas.FillRect({0, 0, Width(), Height()}, ColorToRGB(Color()));
  canvas.SelectFont(Font()->Spec());
  platform::ui::ColorRef color = ColorToRGB(Enabled() ? Font()->Color() : clGrayText);
  // Lines break at line feeds and, with WordWrap, between words that no longer fit.
  std::vector<std::string> lines;
  std::string text = Caption();
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    if (!wordWrap_) {
      lines.push_back(para);
    } else {
      std::string line;
      size_t pos = 0;
      while (pos < para.size()) {
        size_t sp = para.find(' ', pos);
        std::string word = para.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos + 1);
        pos = sp == std::string::npos ? para.size() : sp + 1;
        if (!line.empty() && canvas.TextExtent(line + word).cx > Width()) {
          lines.push_back(line);
          line.clear();
        }
        line += word;
      }
      lines.push_back(line);
    }
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  int y = 0;
  for (const std::string& line : lines) {
    platform::ui::Size ext = canvas.TextExtent(line);
    int x = alignment_ == TAlignment::taRightJustify ? Width() - ext.cx
            : alignment_ == TAlignment::taCenter     ? (Width() - ext.cx) / 2
                                                     : 0;
    canvas.TextOut(x, y, line, color);
    y += ext.cy > 0 ? ext.cy : -Font()->Height();
  }
}

namespace ctl = platform::ui::ctl;

const EnumType& EnumTypeInfo(TTextLayout) {
  static constexpr std::string_view values[] = {"tlTop", "tlCenter", "tlBottom"};
  static constexpr EnumType t{"TTextLayout", values};
  return t;
}
const EnumType& EnumTypeInfo(TCheckBoxState) {
  static constexpr std::string_view values[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
  static constexpr EnumType t{"TCheckBoxState", values};
  return t;
}
const EnumType& EnumTypeInfo(TEditCharCase) {
  static constexpr std::string_view values[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};
  static constexpr EnumType t{"TEditCharCase", values};
  return t;
}

TCustomForm* GetParentForm(TControl* control) {
  for (TControl* c = control; c; c = c->Parent())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

const ClassInfo& TLabel::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment").Default(0),
      prop<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize").Default(1),
      prop<&TLabel::Layout, &TLabel::SetLayout>("Layout").Default(0),
      prop<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor").Default(1),
      prop<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent").Default(0),
      prop<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap").Default(0)};
  static const ClassInfo info{"TLabel", &TWinControl::classInfo(), create<TLabel>, props};
  return info;
}

TLabel::TLabel(TComponent* owner) : TWinControl(owner) { SetParentColor(true); }

unsigned long TLabel::styleBits() const {
  unsigned long align = alignment_ == TAlignment::taCenter         ? ctl::ssCenter
                        : alignment_ == TAlignment::taRightJustify ? ctl::ssRight
                        : wordWrap_                                ? ctl::ssLeft
                                                                   : ctl::ssLeftNoWordWrap;
  return align;
}

void TLabel::SetAlignment(TAlignment v) {
  alignment_ = v;
  window_.SetStyleBits(0x1F, styleBits());
}

void TLabel::SetWordWrap(bool v) {
  wordWrap_ = v;
  window_.SetStyleBits(0x1F, styleBits());
}

void TLabel::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = ctl::kStatic;
  params.classStyle = styleBits();
}

bool TLabel::WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) {
  text = ColorToRGB(Enabled() ? Font()->Color() : clGrayText);
  back = ColorToRGB(transparent_ && Parent() ? Parent()->Color() : Color());
  return true;
}

const ClassInfo& TButtonControl::classInfo() {
  static const ClassInfo info{"TButtonControl", &TWinControl::classInfo(), nullptr, {}};
  return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}

void TButtonControl::Click() {
  if (OnClick) OnClick(this);
}

void TButtonControl::WindowCommand(int notifyCode) {
  if (notifyCode == 0) Click();  // BN_CLICKED
}

bool TButtonControl::WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) {
  text = ColorToRGB(Enabled() ? Font()->Color() : clGrayText);
  back = ColorToRGB(Parent() ? Parent()->Color() : Color());
  return true;
}

const ClassInfo& TButton::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TButton::Cancel, &TButton::SetCancel>("Cancel").Default(0),
      prop<&TButton::Default, &TButton::SetDefault>("Default").Default(0),
      prop<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult").Default(0)};
  static const ClassInfo info{"TButton", &TButtonControl::classInfo(), create<TButton>, props};
  return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {}

void TButton::SetDefault(bool v) {
  default_ = v;
  window_.SetButtonDefault(v);
}

void TButton::CreateParams(platform::ui::WindowParams& params) {
  TButtonControl::CreateParams(params);
  params.systemClass = ctl::kButton;
  params.classStyle = (default_ ? ctl::bsDefPushButton : ctl::bsPushButton) | ctl::bsMultiLine | ctl::wsTabStop;
}

void TButton::Click() {
  if (modalResult_ != 0)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

const ClassInfo& TCheckBox::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TCheckBox::Checked, &TCheckBox::SetChecked>("Checked").Default(0),
      prop<&TCheckBox::State, &TCheckBox::SetState>("State").Default(0)};
  static const ClassInfo info{"TCheckBox", &TButtonControl::classInfo(), create<TCheckBox>, props};
  return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {}

void TCheckBox::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  window_.SetButtonCheck(v);
  if (!IsLoading()) TButtonControl::Click();
}

void TCheckBox::Click() {
  // The automatic check box has already changed its own state.
  bool now = window_.ButtonChecked();
  if (now == checked_) return;
  checked_ = now;
  TButtonControl::Click();
}

void TCheckBox::CreateParams(platform::ui::WindowParams& params) {
  TButtonControl::CreateParams(params);
  params.systemClass = ctl::kButton;
  params.classStyle = ctl::bsAutoCheckBox | ctl::wsTabStop;
}

void TCheckBox::CreateHandle() {
  TButtonControl::CreateHandle();
  window_.SetButtonCheck(checked_);
}

const ClassInfo& TRadioButton::classInfo() {
  static constexpr PropInfo props[] = {prop<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked").Default(0)};
  static const ClassInfo info{"TRadioButton", &TButtonControl::classInfo(), create<TRadioButton>, props};
  return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {}

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  window_.SetButtonCheck(v);
  if (v && Parent())
    for (int i = 0; i < Parent()->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this) other->SetChecked(false);
  if (v && !IsLoading()) TButtonControl::Click();
}

void TRadioButton::Click() {
  if (!window_.ButtonChecked()) return;
  if (checked_) return;
  SetChecked(true);
}

void TRadioButton::CreateParams(platform::ui::WindowParams& params) {
  TButtonControl::CreateParams(params);
  params.systemClass = ctl::kButton;
  params.classStyle = ctl::bsAutoRadioButton;
}

void TRadioButton::CreateHandle() {
  TButtonControl::CreateHandle();
  window_.SetButtonCheck(checked_);
}

const ClassInfo& TCustomGroupBox::classInfo() {
  static const ClassInfo info{"TCustomGroupBox", &TWinControl::classInfo(), nullptr, {}};
  return info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TWinControl(owner) {}

void TCustomGroupBox::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = ctl::kButton;
  params.classStyle = ctl::bsGroupBox;
}

void TCustomGroupBox::AdjustClientRect(platform::ui::Rect& r) const {
  // Below the caption line, inside the frame.
  int captionHeight = (Font()->Height() < 0 ? -Font()->Height() : Font()->Height()) + 3;
  r = {r.left + 2, r.top + captionHeight, r.right - 2, r.bottom - 2};
}

bool TCustomGroupBox::WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) {
  text = ColorToRGB(Enabled() ? Font()->Color() : clGrayText);
  back = ColorToRGB(Color());
  return true;
}

const ClassInfo& TGroupBox::classInfo() {
  static const ClassInfo info{"TGroupBox", &TCustomGroupBox::classInfo(), create<TGroupBox>, {}};
  return info;
}

const ClassInfo& TEdit::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TEdit::CharCase, &TEdit::SetCharCase>("CharCase").Default(0),
      prop<&TEdit::ReadOnly, &TEdit::SetReadOnly>("ReadOnly").Default(0),
      prop<&TEdit::Text, &TEdit::SetText>("Text"), eventProp("OnChange")};
  static const ClassInfo info{"TEdit", &TWinControl::classInfo(), create<TEdit>, props};
  return info;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) { SetColorSilently(clWindow); }

std::string TEdit::shownText() const {
  std::string t = Caption();
  if (charCase_ == TEditCharCase::ecLowerCase)
    for (char& c : t) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (charCase_ == TEditCharCase::ecUpperCase)
    for (char& c : t) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return t;
}

void TEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  window_.SetReadOnly(v);
}

void TEdit::SetCharCase(TEditCharCase v) {
  charCase_ = v;
  window_.SetStyleBits(ctl::esLowerCase | ctl::esUpperCase,
                       v == TEditCharCase::ecLowerCase ? ctl::esLowerCase : v == TEditCharCase::ecUpperCase ? ctl::esUpperCase : 0);
  if (!fromWindow_) window_.SetText(shownText());
}

void TEdit::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = ctl::kEdit;
  params.caption = shownText();
  params.classStyle = ctl::esAutoHScroll | ctl::wsTabStop | (readOnly_ ? ctl::esReadOnly : 0) |
                      (charCase_ == TEditCharCase::ecLowerCase ? ctl::esLowerCase : 0) |
                      (charCase_ == TEditCharCase::ecUpperCase ? ctl::esUpperCase : 0);
  params.exStyle = ctl::wsExClientEdge;
}

void TEdit::TextChanged() {
  if (!fromWindow_) window_.SetText(shownText());
  if (OnChange && !IsLoading()) OnChange(this);
}

void TEdit::WindowCommand(int notifyCode) {
  if (notifyCode != 0x300) return;  // EN_CHANGE
  std::string now = window_.Text();
  if (now == shownText()) return;
  fromWindow_ = true;
  try {
    SetCaption(now);
  } catch (...) {
    fromWindow_ = false;
    throw;
  }
  fromWindow_ = false;
}

bool TEdit::WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) {
  text = ColorToRGB(Font()->Color());
  back = ColorToRGB(Color());
  return true;
}

}  // namespace kestrune::ui
