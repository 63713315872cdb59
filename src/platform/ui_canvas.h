// Drawing surface of the window host: the few GDI operations the controls paint with,
// behind a portable interface so painting logic can be checked without a display.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::platform::ui {

// 0x00BBGGRR, as Win32 COLORREF.
using ColorRef = uint32_t;

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int cx = 0, cy = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// A logical font: face, height in logical units (negative = character height), character
// set and style; escapement in tenths of a degree and the output precision (7 = TrueType
// only) for rotated text.
struct FontSpec {
  std::string name = "MS Sans Serif";
  int height = -11;
  int charset = 1;
  bool bold = false, italic = false, underline = false, strikeOut = false;
  int escapement = 0;
  int outPrecision = 0;
  bool operator==(const FontSpec&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void FillRect(const Rect& r, ColorRef color) = 0;
  // Fills the polygon in color (outline in the same colour).
  virtual void FillPolygon(const std::vector<Point>& points, ColorRef color) = 0;
  // Selects a font made from that description; the canvas releases it when another is selected or
  // when the canvas ends.
  virtual void SelectFont(const FontSpec& description) = 0;
  // Extent of a single-line text in the selected font (unrotated).
  virtual Size TextExtent(std::string_view utf8) = 0;
  // Draws text with a clear background: only the glyphs are painted.
  virtual void TextOut(int x, int y, std::string_view utf8, ColorRef color) = 0;
  // Moves the origin to origin (in current coordinates) and clips to clip (in the new
  // coordinates) until the matching PopOrigin; used to paint windowless controls on
  // their parent.
  virtual void PushOrigin(Point origin, const Rect& clip) = 0;
  virtual void PopOrigin() = 0;
  // Draws a Windows BMP file (starting "BM") stretched into dest. Bytes that are no
  // bitmap draw nothing.
  virtual void DrawBitmap(const Rect& dest, const std::vector<uint8_t>& bmpFile) {}
  // Draws one of the system's standard icons (32513 stop, 32514 question, 32515
  // exclamation, 32516 information) at its size in dest's top-left corner.
  virtual void DrawSystemIcon(const Rect& dest, int iconId) {}
  // A push button's face and edges, pressed or raised; a default button gets a dark
  // outer frame.
  virtual void DrawButtonFace(const Rect& r, bool pushed, bool isDefault) {}
  // The dotted focus rectangle.
  virtual void DrawFocusFrame(const Rect& r) {}
  // Image `part` of `parts` images laid side by side in a BMP file, unstretched at `at`;
  // pixels of the colour of the part's bottom-left pixel stay transparent.
  virtual void DrawGlyph(Point at, const std::vector<uint8_t>& bmpFile, int part, int parts) {}
};

// The size of text in a font: one line, or word-wrapped within maxWidth when wrap is set.
Size MeasureText(const FontSpec& font, std::string_view utf8, int maxWidth, bool wrap);

}  // namespace kestrune::platform::ui
