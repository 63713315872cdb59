// Panels.
#include "ui/extctrls.h"

#include "runtime/published.h"

namespace kestrune::ui {

using platform::ui::Canvas;
using platform::ui::Rect;

const EnumType& EnumTypeInfo(TPanelBevel) {
  static const EnumType t{"TPanelBevel", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
  return t;
}
const EnumType& EnumTypeInfo(TBorderStyle) {
  static const EnumType t{"TBorderStyle", {"bsNone", "bsSingle"}};
  return t;
}

const ClassInfo& TCustomPanel::classInfo() {
  static const ClassInfo info{
      "TCustomPanel", &TCustomControl::classInfo(), nullptr,
      {prop<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment").Default(2),
       prop<&TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner>("BevelInner").Default(0),
       prop<&TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter>("BevelOuter").Default(2),
       prop<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth").Default(1),
       prop<&TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle>("BorderStyle").Default(0),
       prop<&TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth>("BorderWidth").Default(0),
       prop<&TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint>("FullRepaint").Default(1),
       prop<&TCustomPanel::Locked, &TCustomPanel::SetLocked>("Locked").Default(0)}};
  return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {}

void TCustomPanel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}
void TCustomPanel::SetBevelInner(TPanelBevel v) {
  bevelInner_ = v;
  Invalidate();
}
void TCustomPanel::SetBevelOuter(TPanelBevel v) {
  bevelOuter_ = v;
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int32_t v) {
  bevelWidth_ = v;
  Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  borderStyle_ = v;
  Invalidate();
}
void TCustomPanel::SetBorderWidth(int32_t v) {
  borderWidth_ = v;
  Invalidate();
}

namespace {
// Draws a 3D frame of the given width inside r and shrinks r by it.
void frame3D(Canvas& c, Rect& r, platform::ui::ColorRef topLeft, platform::ui::ColorRef bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    c.FillRect({r.left, r.top, r.right, r.top + 1}, topLeft);
    c.FillRect({r.left, r.top, r.left + 1, r.bottom}, topLeft);
    c.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    c.FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
}
}  // namespace

void TCustomPanel::Paint(Canvas& canvas) {
  Rect r{0, 0, ClientWidth(), ClientHeight()};
  canvas.FillRect(r, ColorToRGB(Color()));
  auto hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
  if (borderStyle_ == TBorderStyle::bsSingle) frame3D(canvas, r, ColorToRGB(clWindowFrame), ColorToRGB(clWindowFrame), 1);
  if (bevelOuter_ != TPanelBevel::bvNone)
    frame3D(canvas, r, bevelOuter_ == TPanelBevel::bvLowered ? sh : hi, bevelOuter_ == TPanelBevel::bvLowered ? hi : sh, bevelWidth_);
  r = {r.left + borderWidth_, r.top + borderWidth_, r.right - borderWidth_, r.bottom - borderWidth_};
  if (bevelInner_ != TPanelBevel::bvNone)
    frame3D(canvas, r, bevelInner_ == TPanelBevel::bvLowered ? sh : hi, bevelInner_ == TPanelBevel::bvLowered ? hi : sh, bevelWidth_);
  if (Caption().empty()) return;
  canvas.SelectFont(Font()->Spec());
  platform::ui::Size ext = canvas.TextExtent(Caption());
  int x = alignment_ == TAlignment::taLeftJustify    ? r.left
          : alignment_ == TAlignment::taRightJustify ? r.right - ext.cx
                                                     : (r.left + r.right - ext.cx) / 2;
  canvas.TextOut(x, (r.top + r.bottom - ext.cy) / 2, Caption(), ColorToRGB(Font()->Color()));
}

const ClassInfo& TPanel::classInfo() {
  static const ClassInfo info{"TPanel", &TCustomPanel::classInfo(), create<TPanel>, {}};
  return info;
}

}  // namespace kestrune::ui
