// Colours, fonts and cursors of the toolkit, with the identifiers a form's text names them by.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui_canvas.h"
#include "runtime/classinfo.h"
#include "runtime/persistent.h"

namespace kestrune::ui {

// A colour: 0x00BBGGRR, or a system colour (high bit set, low byte the system index).
using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor systemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
inline constexpr TColor clScrollBar = systemColor(0), clBackground = systemColor(1), clActiveCaption = systemColor(2),
                        clInactiveCaption = systemColor(3), clMenu = systemColor(4), clWindow = systemColor(5),
                        clWindowFrame = systemColor(6), clMenuText = systemColor(7), clWindowText = systemColor(8),
                        clCaptionText = systemColor(9), clHighlight = systemColor(13), clHighlightText = systemColor(14),
                        clBtnFace = systemColor(15), clBtnShadow = systemColor(16), clGrayText = systemColor(17),
                        clBtnText = systemColor(18), clBtnHighlight = systemColor(20), clInfoText = systemColor(23),
                        clInfoBk = systemColor(24);

// clWhite, clBtnFace, ... for colour properties in a stream.
extern const IdentMap kColorIdents;
constexpr const IdentMap& ColorIdents() { return kColorIdents; }
// ANSI_CHARSET, EASTEUROPE_CHARSET, ... for Font.Charset.
extern const IdentMap kCharsetIdents;
constexpr const IdentMap& CharsetIdents() { return kCharsetIdents; }
inline constexpr int kAnsiCharset = 0, kDefaultCharset = 1, kEastEuropeCharset = 238;

// Cursor ids.
using TCursor = int;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crHourGlass = -11,
                         crAppStart = -19, crHandPoint = -21;
extern const IdentMap kCursorIdents;
constexpr const IdentMap& CursorIdents() { return kCursorIdents; }

// A colour as RGB (system colours resolved through the system).
platform::ui::ColorRef ColorToRGB(TColor color);

// a * b / c computed at 64-bit width and rounded to the nearest integer, halves away
// from zero (the system's MulDiv). Returns -1 when c is 0 or the result overflows.
int MulDiv(int a, int b, int c);

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
const EnumType& EnumTypeInfo(TFontStyle);
using TFontStyles = TSet<TFontStyle>;

class TFont : public TPersistent {
  KESTRUNE_CLASS()
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v);
  int32_t Height() const { return height_; }
  void SetHeight(int32_t v);
  // Point size at 96 pixels per inch (derived from Height).
  int32_t Size() const;
  void SetSize(int32_t points);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int32_t Charset() const { return charset_; }
  void SetCharset(int32_t v);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v);

  // Copies every attribute of another font and fires OnChange once.
  void Assign(const TPersistent& source) override;
  platform::ui::FontSpec Spec() const;

  // Fired after every change.
  std::function<void()> OnChange;

 private:
  void changed();
  std::string name_ = "MS Sans Serif";
  int32_t height_ = -11;
  TColor color_ = clWindowText;
  int32_t charset_ = kDefaultCharset;
  TFontStyles style_;
};

}  // namespace kestrune::ui
