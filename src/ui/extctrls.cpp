// Panels, radio groups, images and bevels.
#include "ui/extctrls.h"

#include <algorithm>

#include "runtime/published.h"

namespace kestrune::ui {

using platform::ui::Canvas;
using platform::ui::Rect;

const EnumType& EnumTypeInfo(TPanelBevel) {
  static constexpr std::string_view values[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  static constexpr EnumType t{"TPanelBevel", values};
  return t;
}
const EnumType& EnumTypeInfo(TBorderStyle) {
  static constexpr std::string_view values[] = {"bsNone", "bsSingle"};
  static constexpr EnumType t{"TBorderStyle", values};
  return t;
}

const ClassInfo& TCustomPanel::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment").Default(2),
      prop<&TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner>("BevelInner").Default(0),
      prop<&TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter>("BevelOuter").Default(2),
      prop<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth").Default(1),
      prop<&TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle>("BorderStyle").Default(0),
      prop<&TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth>("BorderWidth").Default(0),
      prop<&TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint>("FullRepaint").Default(1),
      prop<&TCustomPanel::Locked, &TCustomPanel::SetLocked>("Locked").Default(0)};
  static const ClassInfo info{"TCustomPanel", &TCustomControl::classInfo(), nullptr, props};
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
  AlignControls();
}

void TCustomPanel::AdjustClientRect(Rect& r) const {
  // Aligned children keep BorderWidth free on every side; the bevels are drawn under them.
  r = {r.left + borderWidth_, r.top + borderWidth_, r.right - borderWidth_, r.bottom - borderWidth_};
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

const ClassInfo& TRadioGroup::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TRadioGroup::Columns, &TRadioGroup::SetColumns>("Columns").Default(1),
      prop<&TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex>("ItemIndex").Default(-1),
      prop<&TRadioGroup::Items>("Items")};
  static const ClassInfo info{"TRadioGroup", &TCustomGroupBox::classInfo(), create<TRadioGroup>, props};
  return info;
}

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomGroupBox(owner), items_(std::make_unique<TStringList>()) {}

TRadioGroup::~TRadioGroup() {
  for (TRadioButton* b : buttons_) delete b;
}

void TRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  ItemsChanged();
}

void TRadioGroup::ItemsChanged() {
  updating_ = true;
  while (static_cast<int>(buttons_.size()) > items_->Count()) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  while (static_cast<int>(buttons_.size()) < items_->Count()) {
    // The buttons belong to the group, not to the stream's root: they are never streamed.
    auto* b = new TRadioButton(nullptr);
    int index = static_cast<int>(buttons_.size());
    b->OnClick = [this, index](TComponent*) { buttonClicked(index); };
    buttons_.push_back(b);
    b->SetParent(this);
  }
  for (int i = 0; i < items_->Count(); ++i) {
    buttons_[i]->SetCaption(items_->Strings(i));
    buttons_[i]->SetEnabled(Enabled());
    buttons_[i]->SetChecked(i == itemIndex_);
  }
  updating_ = false;
  arrangeButtons();
}

void TRadioGroup::arrangeButtons() {
  if (buttons_.empty() || IsLoading()) return;
  int columns = columns_ > 0 ? columns_ : 1;
  int perColumn = (static_cast<int>(buttons_.size()) + columns - 1) / columns;
  int fontHeight = (Font()->Height() < 0 ? -Font()->Height() : Font()->Height()) + 2;
  int buttonWidth = (Width() - 10) / columns;
  int room = Height() - fontHeight - 5;
  int buttonHeight = room / perColumn;
  int topMargin = fontHeight + 1 + (room % perColumn) / 2;
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i)
    buttons_[i]->SetBounds((i / perColumn) * buttonWidth + 8, (i % perColumn) * buttonHeight + topMargin, buttonWidth,
                           buttonHeight);
}

void TRadioGroup::buttonClicked(int index) {
  if (updating_ || index == itemIndex_) return;
  itemIndex_ = index;
  if (OnClick) OnClick(this);
}

void TRadioGroup::SetItemIndex(int32_t v) {
  if (IsLoading()) {
    itemIndex_ = v;
    return;
  }
  if (v < -1 || v >= static_cast<int>(buttons_.size())) v = -1;
  if (v == itemIndex_) return;
  if (v >= 0) {
    buttons_[v]->SetChecked(true);  // reports through buttonClicked
    if (itemIndex_ != v) buttonClicked(v);
  } else {
    updating_ = true;
    for (TRadioButton* b : buttons_) b->SetChecked(false);
    updating_ = false;
    itemIndex_ = -1;
  }
}

void TRadioGroup::SetColumns(int32_t v) {
  columns_ = v < 1 ? 1 : v > 16 ? 16 : v;
  arrangeButtons();
}

const ClassInfo& TImage::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TImage::AutoSize, &TImage::SetAutoSize>("AutoSize").Default(0),
      prop<&TImage::Center, &TImage::SetCenter>("Center").Default(0),
      prop<&TImage::Picture>("Picture"),
      prop<&TImage::Stretch, &TImage::SetStretch>("Stretch").Default(0),
      prop<&TImage::Transparent, &TImage::SetTransparent>("Transparent").Default(0)};
  static const ClassInfo info{"TImage", &TGraphicControl::classInfo(), create<TImage>, props};
  return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {}

void TImage::SetPicture(const TPicture& v) {
  picture_->Assign(v);
  Invalidate();
}

void TImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}

void TImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}

Rect TImage::PictureRect() const {
  if (stretch_ || picture_->Empty()) return Rect{0, 0, Width(), Height()};
  int w = picture_->Width(), h = picture_->Height();
  if (!center_) return Rect{0, 0, w, h};
  int x = (Width() - w) / 2, y = (Height() - h) / 2;
  return Rect{x, y, x + w, y + h};
}

namespace {

// A transparent picture: the pixels of an uncompressed 24-bit bitmap that have the colour
// of its bottom-left pixel take the background's colour instead. Other bitmaps as they are.
std::vector<uint8_t> withBackground(const std::vector<uint8_t>& bmp, platform::ui::ColorRef back) {
  auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | bmp[at + i];
    return v;
  };
  if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M') return bmp;
  const uint32_t offBits = le(10, 4), width = le(18, 4), bits = le(28, 2), compression = le(30, 4);
  const int32_t height = static_cast<int32_t>(le(22, 4));
  if (bits != 24 || compression != 0 || width == 0 || width > 4096 || height <= 0 || height > 4096) return bmp;
  const size_t rowBytes = (width * 3 + 3) / 4 * 4;
  if (offBits > bmp.size() || rowBytes * static_cast<size_t>(height) > bmp.size() - offBits) return bmp;
  std::vector<uint8_t> out = bmp;
  // Rows run bottom-up: the first pixel of the data is the bottom-left one.
  const uint8_t key[3] = {bmp[offBits], bmp[offBits + 1], bmp[offBits + 2]};
  const uint8_t fill[3] = {static_cast<uint8_t>(back >> 16), static_cast<uint8_t>(back >> 8), static_cast<uint8_t>(back)};
  for (int32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* px = out.data() + offBits + y * rowBytes + x * 3;
      if (px[0] == key[0] && px[1] == key[1] && px[2] == key[2]) std::copy(fill, fill + 3, px);
    }
  return out;
}

}  // namespace

void TImage::Paint(Canvas& canvas) {
  if (SystemIcon != 0) {
    // System icons are 32 x 32; a centred image puts the icon in its middle.
    int x = center_ ? (Width() - 32) / 2 : 0, y = center_ ? (Height() - 32) / 2 : 0;
    canvas.DrawSystemIcon(Rect{x, y, x + 32, y + 32}, SystemIcon);
  }
  if (picture_->Empty()) return;
  if (transparent_ && Parent()) {
    canvas.DrawBitmap(PictureRect(), withBackground(picture_->GraphicData(), ColorToRGB(Parent()->Color())));
    return;
  }
  canvas.DrawBitmap(PictureRect(), picture_->GraphicData());
}

const EnumType& EnumTypeInfo(TBevelShape) {
  static constexpr std::string_view values[] = {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine",
      "bsRightLine", "bsSpacer"};
  static constexpr EnumType t{"TBevelShape", values};
  return t;
}
const EnumType& EnumTypeInfo(TBevelStyle) {
  static constexpr std::string_view values[] = {"bsLowered", "bsRaised"};
  static constexpr EnumType t{"TBevelStyle", values};
  return t;
}

const ClassInfo& TBevel::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TBevel::Shape, &TBevel::SetShape>("Shape").Default(0),
      prop<&TBevel::Style, &TBevel::SetStyle>("Style").Default(0)};
  static const ClassInfo info{"TBevel", &TGraphicControl::classInfo(), create<TBevel>, props};
  return info;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {}

void TBevel::SetShape(TBevelShape v) {
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  style_ = v;
  Invalidate();
}

void TBevel::Paint(Canvas& canvas) {
  auto first = ColorToRGB(style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight);
  auto second = ColorToRGB(style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow);
  int w = Width(), h = Height();
  switch (shape_) {
    case TBevelShape::bsBox: {
      Rect r{0, 0, w, h};
      frame3D(canvas, r, first, second, 1);
      break;
    }
    case TBevelShape::bsFrame: {
      Rect outer{0, 0, w - 1, h - 1}, inner{1, 1, w, h};
      frame3D(canvas, inner, second, second, 1);
      frame3D(canvas, outer, first, first, 1);
      break;
    }
    case TBevelShape::bsTopLine:
      canvas.FillRect({0, 0, w, 1}, first);
      canvas.FillRect({0, 1, w, 2}, second);
      break;
    case TBevelShape::bsBottomLine:
      canvas.FillRect({0, h - 2, w, h - 1}, first);
      canvas.FillRect({0, h - 1, w, h}, second);
      break;
    case TBevelShape::bsLeftLine:
      canvas.FillRect({0, 0, 1, h}, first);
      canvas.FillRect({1, 0, 2, h}, second);
      break;
    case TBevelShape::bsRightLine:
      canvas.FillRect({w - 2, 0, w - 1, h}, first);
      canvas.FillRect({w - 1, 0, w, h}, second);
      break;
    case TBevelShape::bsSpacer: break;
  }
}

}  // namespace kestrune::ui
