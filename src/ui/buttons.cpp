// Bit buttons.
#include "ui/buttons.h"

#include <algorithm>

#include "runtime/published.h"

namespace kestrune::ui {

using platform::ui::Canvas;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;
namespace ctl = platform::ui::ctl;

const EnumType& EnumTypeInfo(TButtonLayout) {
  static constexpr std::string_view values[] = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
  static constexpr EnumType t{"TButtonLayout", values};
  return t;
}
const EnumType& EnumTypeInfo(TBitBtnKind) {
  static constexpr std::string_view values[] = {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
      "bkAbort", "bkRetry", "bkIgnore", "bkAll"};
  static constexpr EnumType t{"TBitBtnKind", values};
  return t;
}

GlyphPlacement PlaceGlyph(const Rect& client, Size glyph, Size text, TButtonLayout layout, int spacing) {
  if (glyph.cx == 0 || text.cx == 0) spacing = 0;
  GlyphPlacement p;
  const bool across = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
  if (across) {
    const int total = glyph.cx + spacing + text.cx;
    const int left = client.left + (client.Width() - total) / 2;
    const int glyphTop = client.top + (client.Height() - glyph.cy) / 2;
    const int textTop = client.top + (client.Height() - text.cy) / 2;
    if (layout == TButtonLayout::blGlyphLeft) {
      p.glyph = {left, glyphTop};
      p.text = {left + glyph.cx + spacing, textTop};
    } else {
      p.text = {left, textTop};
      p.glyph = {left + text.cx + spacing, glyphTop};
    }
  } else {
    const int total = glyph.cy + spacing + text.cy;
    const int top = client.top + (client.Height() - total) / 2;
    const int glyphLeft = client.left + (client.Width() - glyph.cx) / 2;
    const int textLeft = client.left + (client.Width() - text.cx) / 2;
    if (layout == TButtonLayout::blGlyphTop) {
      p.glyph = {glyphLeft, top};
      p.text = {textLeft, top + glyph.cy + spacing};
    } else {
      p.text = {textLeft, top};
      p.glyph = {glyphLeft, top + text.cy + spacing};
    }
  }
  return p;
}

namespace {

constexpr platform::ui::ColorRef rgb(int r, int g, int b) {
  return static_cast<platform::ui::ColorRef>(r | (g << 8) | (b << 16));
}

std::vector<Point> moved(std::vector<Point> points, Point at) {
  for (Point& p : points) p = {p.x + at.x, p.y + at.y};
  return points;
}

void checkMark(Canvas& c, Point at, platform::ui::ColorRef color) {
  c.FillPolygon(moved({{2, 8}, {5, 8}, {7, 10}, {12, 3}, {15, 3}, {7, 14}}, at), color);
}

void cross(Canvas& c, Point at, platform::ui::ColorRef color) {
  c.FillPolygon(moved({{3, 3}, {5, 3}, {13, 11}, {13, 13}, {11, 13}, {3, 5}}, at), color);
  c.FillPolygon(moved({{11, 3}, {13, 3}, {13, 5}, {5, 13}, {3, 13}, {3, 11}}, at), color);
}

void sign(Canvas& c, Point at, const char* text, platform::ui::ColorRef color) {
  platform::ui::FontSpec font;
  font.name = "Arial";
  font.height = -14;
  font.bold = true;
  c.SelectFont(font);
  Size ext = c.TextExtent(text);
  c.TextOut(at.x + (kKindGlyphSize - ext.cx) / 2, at.y + (kKindGlyphSize - ext.cy) / 2, text, color);
}

}  // namespace

void DrawKindGlyph(Canvas& c, Point at, TBitBtnKind kind, bool disabled) {
  const auto grey = rgb(128, 128, 128);
  const auto green = disabled ? grey : rgb(0, 128, 0), red = disabled ? grey : rgb(192, 0, 0),
             blue = disabled ? grey : rgb(0, 0, 160), olive = disabled ? grey : rgb(128, 128, 0);
  switch (kind) {
    case TBitBtnKind::bkCustom: break;
    case TBitBtnKind::bkOK:
    case TBitBtnKind::bkYes: checkMark(c, at, green); break;
    case TBitBtnKind::bkAll:
      checkMark(c, {at.x - 2, at.y}, green);
      checkMark(c, {at.x + 2, at.y}, green);
      break;
    case TBitBtnKind::bkCancel:
    case TBitBtnKind::bkNo: cross(c, at, red); break;
    case TBitBtnKind::bkAbort:
      c.FillPolygon(moved({{5, 1}, {11, 1}, {15, 5}, {15, 11}, {11, 15}, {5, 15}, {1, 11}, {1, 5}}, at), red);
      cross(c, at, rgb(255, 255, 255));
      break;
    case TBitBtnKind::bkHelp: sign(c, at, "?", blue); break;
    case TBitBtnKind::bkRetry:
      // A bent arrow back to the start.
      c.FillPolygon(moved({{3, 7}, {3, 4}, {12, 4}, {12, 12}, {5, 12}, {5, 10}, {10, 10}, {10, 6}, {5, 6}, {5, 7}}, at), green);
      c.FillPolygon(moved({{1, 7}, {7, 7}, {4, 10}}, at), green);
      break;
    case TBitBtnKind::bkIgnore:
      // A man walking past: head and stride.
      c.FillPolygon(moved({{7, 1}, {9, 1}, {9, 3}, {7, 3}}, at), olive);
      c.FillPolygon(moved({{6, 4}, {10, 4}, {11, 9}, {13, 14}, {11, 14}, {8, 10}, {5, 14}, {3, 14}, {6, 9}}, at), olive);
      break;
    case TBitBtnKind::bkClose:
      // An open door in its frame.
      c.FillPolygon(moved({{3, 1}, {13, 1}, {13, 15}, {3, 15}}, at), olive);
      c.FillPolygon(moved({{5, 3}, {11, 3}, {11, 13}, {5, 13}}, at), rgb(255, 255, 255));
      c.FillPolygon(moved({{5, 3}, {9, 5}, {9, 15}, {5, 13}}, at), olive);
      break;
  }
}

const ClassInfo& TBitBtn::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TBitBtn::Glyph>("Glyph"), prop<&TBitBtn::Kind, &TBitBtn::SetKind>("Kind").Default(0),
      prop<&TBitBtn::Layout, &TBitBtn::SetLayout>("Layout").Default(0),
      prop<&TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs>("NumGlyphs").Default(1)};
  static const ClassInfo info{"TBitBtn", &TButton::classInfo(), create<TBitBtn>, props};
  return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TPicture>()) {}

bool TBitBtn::HasGlyph() const {
  if (kind_ != TBitBtnKind::bkCustom) return true;
  return !glyph_->Empty() && glyph_->GraphicData().size() > 26;
}

void TBitBtn::SetLayout(TButtonLayout v) {
  layout_ = v;
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind v) {
  kind_ = v;
  window_.SetStyleBits(0x0F, HasGlyph() ? ctl::bsOwnerDraw : Default() ? ctl::bsDefPushButton : ctl::bsPushButton);
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int32_t v) {
  numGlyphs_ = std::clamp(v, 1, 4);
  Invalidate();
}

void TBitBtn::Loaded() {
  TButton::Loaded();
  // The glyph picture is read after the window may have been made.
  if (HasGlyph()) window_.SetStyleBits(0x0F, ctl::bsOwnerDraw);
}

void TBitBtn::CreateParams(platform::ui::WindowParams& params) {
  TButton::CreateParams(params);
  if (HasGlyph()) params.classStyle = (params.classStyle & ~0x0Ful) | ctl::bsOwnerDraw;
}

Size TBitBtn::glyphSize() const {
  if (kind_ != TBitBtnKind::bkCustom) return {kKindGlyphSize, kKindGlyphSize};
  const std::vector<uint8_t>& bmp = glyph_->GraphicData();
  int32_t w = 0, h = 0;
  if (bmp.size() < 26) return {};
  w = static_cast<int32_t>(bmp[18] | bmp[19] << 8 | bmp[20] << 16 | static_cast<uint32_t>(bmp[21]) << 24);
  h = static_cast<int32_t>(bmp[22] | bmp[23] << 8 | bmp[24] << 16 | static_cast<uint32_t>(bmp[25]) << 24);
  if (h < 0) h = -h;
  if (w <= 0 || w > 4096 || h > 4096) return {};
  return {w / numGlyphs_, h};
}

bool TBitBtn::WindowDrawButton(Canvas& canvas, const platform::ui::ButtonDrawState& state) {
  DrawButton(canvas, state);
  return true;
}

void TBitBtn::DrawButton(Canvas& canvas, const platform::ui::ButtonDrawState& state) {
  const Rect r = state.bounds;
  const bool isDefault = Default() || state.focused;
  canvas.DrawButtonFace(r, state.pushed, isDefault);
  canvas.SelectFont(Font()->Spec());
  // The caption without its accelerator marks ("&&" is a literal ampersand).
  std::string text;
  const std::string& caption = Caption();
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    text += caption[i];
  }
  Size textSize = text.empty() ? Size{} : canvas.TextExtent(text);
  Size glyph = glyphSize();
  Rect inner{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
  GlyphPlacement at = PlaceGlyph(inner, glyph, textSize, layout_);
  const int shift = state.pushed ? 1 : 0;
  if (kind_ != TBitBtnKind::bkCustom) {
    DrawKindGlyph(canvas, {at.glyph.x + shift, at.glyph.y + shift}, kind_, state.disabled);
  } else if (glyph.cx > 0) {
    // The second image of a several-image glyph is the disabled one.
    const int part = state.disabled && numGlyphs_ > 1 ? 1 : 0;
    canvas.DrawGlyph({at.glyph.x + shift, at.glyph.y + shift}, glyph_->GraphicData(), part, numGlyphs_);
  }
  canvas.SelectFont(Font()->Spec());
  if (!text.empty())
    canvas.TextOut(at.text.x + shift, at.text.y + shift, text, ColorToRGB(state.disabled ? clGrayText : Font()->Color()));
  if (state.focused) canvas.DrawFocusFrame({r.left + 4, r.top + 4, r.right - 4, r.bottom - 4});
}

}  // namespace kestrune::ui
