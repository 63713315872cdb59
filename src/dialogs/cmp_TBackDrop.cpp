// TBackdrop: gradient painting in bands with rounding multiply-divide.
#include "dialogs/cmp_TBackDrop.h"

#include "dialogs/main_instance.h"
#include "runtime/published.h"

namespace kestrune::dialogs {

using platform::ui::Canvas;
using platform::ui::Rect;
using ui::MulDiv;

const EnumType& EnumTypeInfo(TDirection) {
  static constexpr std::string_view values[] = {"bdUp", "bdDown", "bdLeft", "bdRight", "bdHorzIn", "bdHorzOut",
      "bdVertIn", "bdVertOut"};
  static constexpr EnumType t{"TDirection", values};
  return t;
}

const ClassInfo& TBackdrop::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TBackdrop::Align, &TBackdrop::SetAlign>("Align").Default(static_cast<int>(ui::TAlign::alClient)),
      prop<&TBackdrop::GetTag, &TBackdrop::SetTag>("Tag").Default(0),
      prop<&TBackdrop::Direction, &TBackdrop::SetDirection>("Direction").Default(0),
      prop<&TBackdrop::StartColor, &TBackdrop::SetStartColor>("StartColor").Idents(ui::ColorIdents()).Default(16711680),
      prop<&TBackdrop::EndColor, &TBackdrop::SetEndColor>("EndColor").Idents(ui::ColorIdents()).Default(0)};
  static const ClassInfo info{"TBackdrop", &ui::TCustomPanel::classInfo(), create<TBackdrop>, props};
  return info;
}

TBackdrop::TBackdrop(TComponent* owner) : TCustomPanel(owner) {
  SetAlign(ui::TAlign::alClient);
  MainInstanceRegistry<TBackdrop>::Add(this);
}

TBackdrop::~TBackdrop() { MainInstanceRegistry<TBackdrop>::Remove(this); }

void TBackdrop::SetTag(int32_t tag) { MainInstanceRegistry<TBackdrop>::SetTag(this, tag); }

TBackdrop* TBackdrop::MainBackdrop() { return MainInstanceRegistry<TBackdrop>::Main(); }

void TBackdrop::SetDirection(TDirection v) {
  if (v == direction_) return;
  direction_ = v;
  Invalidate();
}

void TBackdrop::SetStartColor(TColor v) {
  if (v == startColor_) return;
  startColor_ = v;
  Invalidate();
}

void TBackdrop::SetEndColor(TColor v) {
  if (v == endColor_) return;
  endColor_ = v;
  Invalidate();
}

void TBackdrop::Assign(const TPersistent& source) {
  const TBackdrop* other = As<TBackdrop>(&source);
  if (!other) return TCustomPanel::Assign(source);
  SetDirection(other->direction_);
  SetEndColor(other->endColor_);
  SetStartColor(other->startColor_);
  SetAlign(other->Align());
}

void TBackdrop::PaintGradient(Canvas& canvas, int width, int height, TColor from, TColor to, bool symmetric,
                              bool across) {
  platform::ui::ColorRef f = ui::ColorToRGB(from), t = ui::ColorToRGB(to);
  int fr = f & 0xFF, fg = (f >> 8) & 0xFF, fb = (f >> 16) & 0xFF;
  int dr = static_cast<int>(t & 0xFF) - fr, dg = static_cast<int>((t >> 8) & 0xFF) - fg,
      db = static_cast<int>((t >> 16) & 0xFF) - fb;
  int n = symmetric ? 128 : 256;
  int d = n - 1;
  int size = across ? width : height;
  auto band = [&](int a, int b) {
    return across ? Rect{a, 0, b, height} : Rect{0, a, width, b};
  };
  for (int i = 0; i < n; ++i) {
    platform::ui::ColorRef c = static_cast<platform::ui::ColorRef>(fr + MulDiv(i, dr, d)) |
                               static_cast<platform::ui::ColorRef>(fg + MulDiv(i, dg, d)) << 8 |
                               static_cast<platform::ui::ColorRef>(fb + MulDiv(i, db, d)) << 16;
    canvas.FillRect(band(MulDiv(i, size, 256), MulDiv(i + 1, size, 256)), c);
    if (symmetric) canvas.FillRect(band(MulDiv(255 - i, size, 256), MulDiv(256 - i, size, 256)), c);
  }
}

void TBackdrop::Paint(Canvas& canvas) {
  int w = ClientWidth(), h = ClientHeight();
  switch (direction_) {
    case TDirection::bdUp: PaintGradient(canvas, w, h, startColor_, endColor_, false, false); break;
    case TDirection::bdDown: PaintGradient(canvas, w, h, endColor_, startColor_, false, false); break;
    case TDirection::bdLeft: PaintGradient(canvas, w, h, startColor_, endColor_, false, true); break;
    case TDirection::bdRight: PaintGradient(canvas, w, h, endColor_, startColor_, false, true); break;
    case TDirection::bdHorzIn: PaintGradient(canvas, w, h, endColor_, startColor_, true, false); break;
    case TDirection::bdHorzOut: PaintGradient(canvas, w, h, startColor_, endColor_, true, false); break;
    case TDirection::bdVertIn: PaintGradient(canvas, w, h, startColor_, endColor_, true, true); break;
    case TDirection::bdVertOut: PaintGradient(canvas, w, h, endColor_, startColor_, true, true); break;
  }
}

}  // namespace kestrune::dialogs
