// TRotate3DLabel and TLabelStyle: rotated TrueType caption with 3D offsets.
#include "dialogs/cmp_Rotate3DLabel.h"

#include <cmath>
#include <numbers>

#include "dialogs/main_instance.h"
#include "runtime/published.h"

namespace kestrune::dialogs {

using platform::ui::Canvas;
using platform::ui::Point;

const EnumType& EnumTypeInfo(T3DEffectShort) {
  static constexpr std::string_view values[] = {"A3dNormal", "A3dResit", "A3dRaised", "A3dShadowed"};
  static constexpr EnumType t{"T3DEffectShort", values};
  return t;
}

const ClassInfo& TLabelStyle::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TLabelStyle::Angle, &TLabelStyle::SetAngle>("Angle").Default(0),
      prop<&TLabelStyle::AStyle3D, &TLabelStyle::SetAStyle3D>("AStyle3D").Default(static_cast<int>(T3DEffectShort::A3dRaised)),
      prop<&TLabelStyle::AShadeRightBottom, &TLabelStyle::SetAShadeRightBottom>("AShadeRightBottom").Idents(ui::ColorIdents()).Default(8421504),
      prop<&TLabelStyle::AShadeLeftTop, &TLabelStyle::SetAShadeLeftTop>("AShadeLeftTop").Idents(ui::ColorIdents()).Default(16777215),
      prop<&TLabelStyle::AShadeLTSet, &TLabelStyle::SetAShadeLTSet>("AShadeLTSet").Default(1),
      prop<&TLabelStyle::AHShadeOffSet, &TLabelStyle::SetAHShadeOffSet>("AHShadeOffSet").Default(5),
      prop<&TLabelStyle::AVShadeOffSet, &TLabelStyle::SetAVShadeOffSet>("AVShadeOffSet").Default(-5),
      eventProp("OnChange")};
  static const ClassInfo info{"TLabelStyle", &TPersistent::classInfo(), nullptr, props};
  return info;
}

void TLabelStyle::changed() {
  if (OnChange) OnChange(this);
}

void TLabelStyle::SetAngle(int32_t v) {
  if (v < 0 || v > 359) v = 0;
  if (v == angle_) return;
  angle_ = v;
  changed();
}

void TLabelStyle::SetAStyle3D(T3DEffectShort v) {
  if (v == style3D_) return;
  style3D_ = v;
  changed();
}

void TLabelStyle::SetAShadeRightBottom(TColor v) {
  if (v == shadeRightBottom_) return;
  shadeRightBottom_ = v;
  changed();
}

void TLabelStyle::SetAShadeLeftTop(TColor v) {
  if (shadeLTSet_ || v == shadeLeftTop_) return;
  shadeLeftTop_ = v;
  changed();
}

void TLabelStyle::SetAShadeLTSet(bool v) {
  // Only a change acts: locking twice would save white over the colour to restore.
  if (v == shadeLTSet_) return;
  shadeLTSet_ = v;
  if (v) {
    savedLeftTop_ = shadeLeftTop_;
    shadeLeftTop_ = ui::clWhite;
  } else {
    shadeLeftTop_ = savedLeftTop_;
  }
  if (v && (style3D_ == T3DEffectShort::A3dResit || style3D_ == T3DEffectShort::A3dRaised) && savedLeftTop_ != ui::clWhite)
    changed();
}

void TLabelStyle::SetAHShadeOffSet(int32_t v) {
  if (v == hShadeOffset_) return;
  hShadeOffset_ = v;
  if (style3D_ == T3DEffectShort::A3dShadowed) changed();
}

void TLabelStyle::SetAVShadeOffSet(int32_t v) {
  if (v == vShadeOffset_) return;
  vShadeOffset_ = v;
  if (style3D_ == T3DEffectShort::A3dShadowed) changed();
}

void TLabelStyle::Assign(const TPersistent& source) {
  const TLabelStyle* o = As<TLabelStyle>(&source);
  if (!o) return TPersistent::Assign(source);
  angle_ = o->angle_;
  style3D_ = o->style3D_;
  shadeRightBottom_ = o->shadeRightBottom_;
  shadeLeftTop_ = o->shadeLeftTop_;
  shadeLTSet_ = o->shadeLTSet_;
  hShadeOffset_ = o->hShadeOffset_;
  vShadeOffset_ = o->vShadeOffset_;
  changed();
}

const ClassInfo& TRotate3DLabel::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TRotate3DLabel::AutoSize, &TRotate3DLabel::SetAutoSize>("AutoSize").Default(0),
      prop<&TRotate3DLabel::LabelStyle>("LabelStyle"),
      prop<&TRotate3DLabel::MyTransparent, &TRotate3DLabel::SetMyTransparent>("MyTransparent").Default(1),
      prop<&TRotate3DLabel::GetTag, &TRotate3DLabel::SetTag>("Tag").Default(0),
      prop<&TRotate3DLabel::Transparent, &TRotate3DLabel::SetTransparent>("Transparent").Default(1)};
  static const ClassInfo info{"TRotate3DLabel", &ui::TCustomLabel::classInfo(), create<TRotate3DLabel>, props};
  return info;
}

TRotate3DLabel::TRotate3DLabel(TComponent* owner)
    : TCustomLabel(owner), labelStyle_(std::make_unique<TLabelStyle>()), degToRad_(std::numbers::pi / 180.0) {
  transparent_ = true;
  autoSize_ = false;
  Font()->SetName("Arial");
  Font()->SetStyle(ui::TFontStyles{ui::TFontStyle::fsBold});
  labelStyle_->OnChange = [this](TLabelStyle*) { Invalidate(); };
  MainInstanceRegistry<TRotate3DLabel>::Add(this);
}

TRotate3DLabel::~TRotate3DLabel() { MainInstanceRegistry<TRotate3DLabel>::Remove(this); }

void TRotate3DLabel::SetTag(int32_t tag) { MainInstanceRegistry<TRotate3DLabel>::SetTag(this, tag); }

TRotate3DLabel* TRotate3DLabel::MainLabel() { return MainInstanceRegistry<TRotate3DLabel>::Main(); }

void TRotate3DLabel::SetLabelStyle(const TLabelStyle* style) {
  if (style) labelStyle_->Assign(*style);
  Invalidate();
}

void TRotate3DLabel::SetMyTransparent(bool v) {
  if (v == myTransparent_) return;
  myTransparent_ = v;
  Invalidate();
}

void TRotate3DLabel::Assign(const TPersistent& source) {
  const TRotate3DLabel* o = As<TRotate3DLabel>(&source);
  if (!o) return TCustomLabel::Assign(source);
  SetCaption(o->Caption());
  labelStyle_->Assign(*o->labelStyle_);
  Font()->Assign(*o->Font());
  SetAlign(o->Align());
  SetBounds(o->Left(), o->Top(), o->Width(), o->Height());
  SetMyTransparent(o->myTransparent_);
}

void TRotate3DLabel::Paint(Canvas& canvas) {
  double radians = labelStyle_->Angle() * degToRad_;
  cos_ = std::cos(radians);
  sin_ = std::sin(radians);
  const double c = cos_, s = sin_;
  TColor fontColor = Font()->Color();
  // An opaque label is drawn flat, and stays so.
  if (!myTransparent_) labelStyle_->SetAStyle3D(T3DEffectShort::A3dNormal);
  int highlight = 0, shade = 0;
  if (labelStyle_->AStyle3D() == T3DEffectShort::A3dResit) {
    highlight = 1;
    shade = -1;
  } else if (labelStyle_->AStyle3D() == T3DEffectShort::A3dRaised) {
    highlight = -1;
    shade = 1;
  }
  platform::ui::FontSpec font = Font()->Spec();
  font.escapement = labelStyle_->Angle() * 10;
  font.outPrecision = 7;  // TrueType only: only outline fonts rotate
  canvas.SelectFont(font);

  const std::string& text = Caption();
  platform::ui::Size ext = canvas.TextExtent(text);
  int w = ext.cx, h = ext.cy;
  int cx = Width() / 2, cy = Height() / 2;
  auto tr = [](double v) { return static_cast<int>(std::trunc(v)); };
  int x = 0;
  switch (Alignment()) {
    case ui::TAlignment::taLeftJustify: x = 0; break;
    case ui::TAlignment::taRightJustify: x = Width() - w; break;
    case ui::TAlignment::taCenter: x = cx - tr(w / 2.0 * c) - tr(h / 2.0 * s); break;
  }
  int y = tr(w / 2.0 * s) + cy - tr(h / 2.0 * c);

  if (!myTransparent_) {
    h += 7;
    w += 10;
    int wc = tr(w / 2.0 * c), ws = tr(w / 2.0 * s), hc = tr(h / 2.0 * c), hs = tr(h / 2.0 * s);
    canvas.FillPolygon({Point{cx - wc - hs, cy + ws - hc}, Point{cx + wc - hs, cy - ws - hc},
                        Point{cx + wc + hs, cy - ws + hc}, Point{cx - wc + hs, cy + ws + hc}},
                       ui::ColorToRGB(Color()));
  }
  switch (labelStyle_->AStyle3D()) {
    case T3DEffectShort::A3dResit:
    case T3DEffectShort::A3dRaised:
      canvas.TextOut(x + highlight, y + highlight, text, ui::ColorToRGB(labelStyle_->AShadeLeftTop()));
      canvas.TextOut(x + shade, y + shade, text, ui::ColorToRGB(labelStyle_->AShadeRightBottom()));
      break;
    case T3DEffectShort::A3dShadowed:
      canvas.TextOut(x + labelStyle_->AHShadeOffSet(), y + labelStyle_->AVShadeOffSet(), text,
                     ui::ColorToRGB(labelStyle_->AShadeRightBottom()));
      break;
    case T3DEffectShort::A3dNormal: break;
  }
  canvas.TextOut(x, y, text, ui::ColorToRGB(fontColor));
}

}  // namespace kestrune::dialogs
