// Controls as components: TControl (bounds, alignment, caption, colour, font, visibility),
// TGraphicControl (painted on its parent) and TWinControl (a native window with children).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui_window.h"
#include "runtime/component.h"
#include "ui/graphics.h"

namespace kestrune::ui {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
const EnumType& EnumTypeInfo(TAlign);
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
const EnumType& EnumTypeInfo(TAlignment);

using TNotifyEvent = std::function<void(TComponent* Sender)>;

class TWinControl;

class TControl : public TComponent {
  KESTRUNE_CLASS()
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetLeft(int32_t v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int32_t v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int32_t v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int32_t v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  platform::ui::Rect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  // Size of the area children are laid out in.
  virtual int32_t ClientWidth() const { return width_; }
  virtual int32_t ClientHeight() const { return height_; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  // Repaints the control (on its parent for windowless controls).
  virtual void Invalidate();
  // Invalidate, then paint at once.
  virtual void Repaint();
  // Draws the control; the canvas origin is the control's top-left corner.
  virtual void Paint(platform::ui::Canvas& canvas) {}

  void Loaded() override;

  TNotifyEvent OnClick;

 protected:
  // Hooks after a change of the named attribute.
  virtual void BoundsChanged() {}
  virtual void TextChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void VisibleChanged();
  virtual void EnabledChanged() {}
  // The parent's font or colour changed; controls that follow their parent take it over.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  void RequestAlign();
  void SetColorSilently(TColor v) { color_ = v; }
  void InitVisible(bool v) { visible_ = v; }
  void InitParentFont(bool v) { parentFont_ = v; }
  virtual void CursorChanged() {}
  friend class TWinControl;

  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;

 private:
  TWinControl* parent_ = nullptr;
  TAlign align_ = TAlign::alNone;
  std::string caption_;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontFromParent_ = false;  // guards ParentFont while copying the parent's font
  bool visible_ = true;
  bool enabled_ = true;
  TCursor cursor_ = crDefault;
};

// A windowless control painted by its parent (labels, images, bevels).
class TGraphicControl : public TControl {
  KESTRUNE_CLASS()
 public:
  using TControl::TControl;
};

// A control with a native window; lays out its aligned children and paints the
// windowless ones after itself.
class TWinControl : public TControl, protected platform::ui::WindowSink {
  KESTRUNE_CLASS()
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }

  bool HandleAllocated() const { return window_.Exists(); }
  // Creates the native window (and the parent's first) when it does not exist yet.
  void HandleNeeded();
  platform::ui::WindowHandle Handle();
  platform::ui::NativeWindow& Window() { return window_; }

  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  int32_t ClientWidth() const override;
  int32_t ClientHeight() const override;
  // Lays out the children with an alignment: top, bottom, left, right, then client,
  // inside the client rectangle less what AdjustClientRect takes (borders, bevels).
  void AlignControls();
  // Gives this control the keyboard focus (when its window exists).
  void SetFocus();
  bool Focused() const { return window_.Focused(); }
  // Visible and enabled, and so are all its parents.
  bool CanFocus() const;

  void Invalidate() override;
  void Repaint() override;
  void InvalidateRect(const platform::ui::Rect& r);
  void Paint(platform::ui::Canvas& canvas) override;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override;

 protected:
  virtual void CreateParams(platform::ui::WindowParams& params);
  virtual void CreateHandle();
  void DestroyHandle();
  // The part of the client area aligned children share.
  virtual void AdjustClientRect(platform::ui::Rect& r) const {}
  // Client size used before the window exists.
  virtual platform::ui::Size EstimatedClientSize() const { return {width_, height_}; }
  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void CursorChanged() override { window_.RefreshCursor(); }
  void Loaded() override;
  // Called by TControl::SetParent after it has set or cleared the control's parent.
  virtual void InsertControl(TControl* control);
  virtual void RemoveControl(TControl* control);

  // WindowSink
  void WindowPaint(platform::ui::Canvas& canvas) override;
  void WindowResized() override;
  void WindowMoved(const platform::ui::Rect& bounds) override;
  int WindowCursor() override;

  platform::ui::NativeWindow window_{*this};

 private:
  friend class TControl;
  std::vector<TControl*> controls_;
  bool aligning_ = false;
  bool handleMade_ = false;  // CreateHandle ran (and DestroyHandle did not since)
  bool fromWindow_ = false;  // bounds are being taken from the window: do not move it
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
  KESTRUNE_CLASS()
 public:
  using TWinControl::TWinControl;
};

}  // namespace kestrune::ui
