// Colours, fonts and cursors of the toolkit.
#include "ui/graphics.h"

#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"

namespace kestrune::ui {

// The named values of colour, character set and cursor properties: constants, in .rdata.
namespace {
constexpr IdentEntry colorIdentsEntries[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},
    {"clBtnText", clBtnText}, {"clBtnHighlight", clBtnHighlight}, {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};
}  // namespace
constinit const IdentMap kColorIdents{colorIdentsEntries};

namespace {
constexpr IdentEntry charsetIdentsEntries[] = {
    {"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129}, {"JOHAB_CHARSET", 130}, {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161}, {"TURKISH_CHARSET", 162},
    {"VIETNAMESE_CHARSET", 163}, {"HEBREW_CHARSET", 177}, {"ARABIC_CHARSET", 178}, {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222}, {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};
}  // namespace
constinit const IdentMap kCharsetIdents{charsetIdentsEntries};

namespace {
constexpr IdentEntry cursorIdentsEntries[] = {
    {"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
    {"crIBeam", crIBeam}, {"crHourGlass", crHourGlass}, {"crAppStart", crAppStart}, {"crHandPoint", crHandPoint},
};
}  // namespace
constinit const IdentMap kCursorIdents{cursorIdentsEntries};

platform::ui::ColorRef ColorToRGB(TColor color) { return platform::ui::ColorToRgb(color); }

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t n = static_cast<int64_t>(a) * b;
  int64_t d = c;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  int64_t r = n >= 0 ? (n + d / 2) / d : (n - d / 2) / d;
  if (r > 2147483647LL || r < -2147483647LL) return -1;
  return static_cast<int>(r);
}

const EnumType& EnumTypeInfo(TFontStyle) {
  static constexpr std::string_view values[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  static constexpr EnumType t{"TFontStyle", values};
  return t;
}

const ClassInfo& TFont::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TFont::Charset, &TFont::SetCharset>("Charset").Idents(CharsetIdents()).AlwaysStored(),
      prop<&TFont::Color, &TFont::SetColor>("Color").Idents(ColorIdents()).AlwaysStored(),
      prop<&TFont::Height, &TFont::SetHeight>("Height").AlwaysStored(),
      prop<&TFont::Name, &TFont::SetName>("Name").AlwaysStored(),
      prop<&TFont::Size, &TFont::SetSize>("Size").StoredIf([](const TPersistent&) { return false; }),
      prop<&TFont::Style, &TFont::SetStyle>("Style").AlwaysStored()};
  static const ClassInfo info{"TFont", &TPersistent::classInfo(), nullptr, props};
  return info;
}

void TFont::changed() {
  if (OnChange) OnChange();
}

void TFont::SetName(const std::string& v) {
  if (v == name_) return;
  name_ = v;
  changed();
}

void TFont::SetHeight(int32_t v) {
  if (v == height_) return;
  height_ = v;
  changed();
}

int32_t TFont::Size() const { return -MulDiv(height_, 72, 96); }

void TFont::SetSize(int32_t points) { SetHeight(-MulDiv(points, 96, 72)); }

void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  changed();
}

void TFont::SetCharset(int32_t v) {
  if (v == charset_) return;
  charset_ = v;
  changed();
}

void TFont::SetStyle(TFontStyles v) {
  if (v == style_) return;
  style_ = v;
  changed();
}

void TFont::Assign(const TPersistent& source) {
  const TFont* other = As<TFont>(&source);
  if (!other) return TPersistent::Assign(source);
  name_ = other->name_;
  height_ = other->height_;
  color_ = other->color_;
  charset_ = other->charset_;
  style_ = other->style_;
  changed();
}

platform::ui::FontSpec TFont::Spec() const {
  platform::ui::FontSpec s;
  s.name = name_;
  s.height = height_;
  s.charset = charset_;
  s.bold = style_.Contains(TFontStyle::fsBold);
  s.italic = style_.Contains(TFontStyle::fsItalic);
  s.underline = style_.Contains(TFontStyle::fsUnderline);
  s.strikeOut = style_.Contains(TFontStyle::fsStrikeOut);
  return s;
}

}  // namespace kestrune::ui
