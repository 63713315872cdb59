// Standard controls: the windowless label base, and the controls over the system's
// STATIC, BUTTON and EDIT windows (label, push button, check box, radio button, group box,
// edit). Their captions are the windows' texts, so other programs read them as usual.
#pragma once
#include <memory>

#include "runtime/strings.h"
#include "ui/controls.h"

namespace kestrune::ui {

class TCustomForm;

// A windowless label painted by its parent (the base of painted labels such as the
// rotated 3D label).
class TCustomLabel : public TGraphicControl {
  KESTRUNE_CLASS()
 public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment v);
  // Stored for the stream; the label keeps its bounds (no measuring without a window).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  void Paint(platform::ui::Canvas& canvas) override;

 protected:
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true;
  bool transparent_ = false;
  bool wordWrap_ = false;
};

enum class TTextLayout { tlTop, tlCenter, tlBottom };
const EnumType& EnumTypeInfo(TTextLayout);

// A label over a STATIC window in its parent's colour. Without WordWrap a left-aligned
// label keeps to one line.
class TLabel : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v) { layout_ = v; }

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  bool WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) override;
  void WindowPaint(platform::ui::Canvas&) override {}

 private:
  unsigned long styleBits() const;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true;
  bool transparent_ = false;
  bool wordWrap_ = false;
  TTextLayout layout_ = TTextLayout::tlTop;
};

// Controls over the system's BUTTON class; a click reaches Click().
class TButtonControl : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TButtonControl(TComponent* owner);
  // What a user's click does; fires OnClick.
  virtual void Click();

 protected:
  void WindowCommand(int notifyCode) override;
  bool WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) override;
  void WindowPaint(platform::ui::Canvas&) override {}
};

// A push button. A click sets the modal result of the form it stands on (when it has
// one) and then fires OnClick. Return presses a form's Default button, Escape its Cancel
// button.
class TButton : public TButtonControl {
  KESTRUNE_CLASS()
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t v) { modalResult_ = v; }
  void Click() override;

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  int32_t modalResult_ = 0;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const EnumType& EnumTypeInfo(TCheckBoxState);

class TCheckBox : public TButtonControl {
  KESTRUNE_CLASS()
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return checked_; }
  // Setting a new value fires OnClick, as a click does (not while reading a stream).
  void SetChecked(bool v);
  TCheckBoxState State() const { return checked_ ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked; }
  void SetState(TCheckBoxState v) { SetChecked(v == TCheckBoxState::cbChecked); }
  void Click() override;

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void CreateHandle() override;

 private:
  bool checked_ = false;
};

class TRadioButton : public TButtonControl {
  KESTRUNE_CLASS()
 public:
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  void Click() override;

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void CreateHandle() override;

 private:
  bool checked_ = false;
};

// A frame with a caption around other controls (a BUTTON of the group-box style).
class TCustomGroupBox : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TCustomGroupBox(TComponent* owner);

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void AdjustClientRect(platform::ui::Rect& r) const override;
  bool WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) override;
  void WindowPaint(platform::ui::Canvas&) override {}
};

class TGroupBox : public TCustomGroupBox {
  KESTRUNE_CLASS()
 public:
  using TCustomGroupBox::TCustomGroupBox;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
const EnumType& EnumTypeInfo(TEditCharCase);

// A one-line edit (EDIT). Text is the caption; what the user types comes back into it.
class TEdit : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TEdit(TComponent* owner);
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& v) { SetCaption(v); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  TNotifyEvent OnChange;

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void TextChanged() override;
  void WindowCommand(int notifyCode) override;
  bool WindowControlColors(platform::ui::ColorRef& text, platform::ui::ColorRef& back) override;
  void WindowPaint(platform::ui::Canvas&) override {}

 private:
  std::string shownText() const;
  bool readOnly_ = false;
  TEditCharCase charCase_ = TEditCharCase::ecNormal;
  bool fromWindow_ = false;
};

// The form a control stands on: the nearest form among its parents (itself when it is
// one), or null.
TCustomForm* GetParentForm(TControl* control);

}  // namespace kestrune::ui
