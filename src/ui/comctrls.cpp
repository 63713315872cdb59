// Progress bar, rich text and tab strip.
#include "ui/comctrls.h"

#include "runtime/published.h"

namespace kestrune::ui {

namespace ctl = platform::ui::ctl;

const ClassInfo& TProgressBar::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TProgressBar::Max, &TProgressBar::SetMax>("Max").Default(100),
      prop<&TProgressBar::Min, &TProgressBar::SetMin>("Min").Default(0),
      prop<&TProgressBar::Position, &TProgressBar::SetPosition>("Position").Default(0)};
  static const ClassInfo info{"TProgressBar", &TWinControl::classInfo(), create<TProgressBar>, props};
  return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {}

void TProgressBar::SetMin(int32_t v) {
  min_ = v;
  update();
}

void TProgressBar::SetMax(int32_t v) {
  max_ = v;
  update();
}

void TProgressBar::SetPosition(int32_t v) {
  position_ = v;
  update();
}

void TProgressBar::update() {
  if (IsLoading()) return;
  if (position_ < min_) position_ = min_;
  if (position_ > max_) position_ = max_;
  window_.SetProgress(min_, max_, position_);
}

void TProgressBar::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = ctl::kProgressBar;
}

void TProgressBar::CreateHandle() {
  TWinControl::CreateHandle();
  update();
}

const EnumType& EnumTypeInfo(TScrollStyle) {
  static constexpr std::string_view values[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
  static constexpr EnumType t{"TScrollStyle", values};
  return t;
}

const ClassInfo& TRichEdit::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TRichEdit::Lines>("Lines"),
      prop<&TRichEdit::PlainText, &TRichEdit::SetPlainText>("PlainText").Default(0),
      prop<&TRichEdit::ReadOnly, &TRichEdit::SetReadOnly>("ReadOnly").Default(0),
      prop<&TRichEdit::ScrollBars, &TRichEdit::SetScrollBars>("ScrollBars").Default(0),
      prop<&TRichEdit::WordWrap, &TRichEdit::SetWordWrap>("WordWrap").Default(1)};
  static const ClassInfo info{"TRichEdit", &TWinControl::classInfo(), create<TRichEdit>, props};
  return info;
}

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner), lines_(std::make_unique<TStringList>()) {
  SetColorSilently(clWindow);
}

void TRichEdit::LinesChanged() {
  std::string text = lines_->Text();
  // The last line's line break would show as an empty line at the end.
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  window_.SetText(text);
  window_.ScrollToTop();
}

void TRichEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  window_.SetReadOnly(v);
}

void TRichEdit::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = ctl::kRichEdit;
  params.caption.clear();
  params.classStyle = ctl::esMultiLine | ctl::esAutoVScroll | ctl::wsTabStop | (readOnly_ ? ctl::esReadOnly : 0) |
                      (wordWrap_ ? 0 : ctl::esAutoHScroll) |
                      (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth ? ctl::wsVScroll : 0) |
                      (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth ? ctl::wsHScroll : 0);
  params.exStyle = ctl::wsExClientEdge;
}

void TRichEdit::CreateHandle() {
  TWinControl::CreateHandle();
  LinesChanged();
}

const ClassInfo& TTabControl::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TTabControl::TabIndex, &TTabControl::SetTabIndex>("TabIndex").Default(-1),
      prop<&TTabControl::Tabs>("Tabs")};
  static const ClassInfo info{"TTabControl", &TWinControl::classInfo(), create<TTabControl>, props};
  return info;
}

TTabControl::TTabControl(TComponent* owner) : TWinControl(owner), tabs_(std::make_unique<TStringList>()) {}

void TTabControl::SetTabIndex(int32_t v) {
  if (IsLoading() || (v >= -1 && v < tabs_->Count())) tabIndex_ = v;
}

void TTabControl::CreateParams(platform::ui::WindowParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = ctl::kTabControl;
}

}  // namespace kestrune::ui
