// GDI implementation of the drawing surface.
#include <cstring>
#include <vector>

#include "platform/text.h"
#include "platform/win_ui_internal.h"

namespace kestrune::platform::ui {

namespace {

RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Reads the header of a BMP file (BITMAPFILEHEADER, 14 bytes, then the BITMAPINFO) and
// checks that its pixels, which start at bfOffBits, lie inside the data.
bool readDib(const std::vector<uint8_t>& bmp, BITMAPINFOHEADER& header, uint32_t& offBits, int& rows) {
  if (bmp.size() < 14 + sizeof(BITMAPINFOHEADER) || bmp[0] != 'B' || bmp[1] != 'M') return false;
  memcpy(&offBits, bmp.data() + 10, 4);
  memcpy(&header, bmp.data() + 14, sizeof header);
  if (offBits >= bmp.size() || header.biSize < sizeof header || header.biWidth <= 0 || header.biHeight == 0) return false;
  uint64_t rowBytes = ((static_cast<uint64_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  uint64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
  if (header.biCompression == BI_RGB && offBits + rowBytes * height > bmp.size()) return false;
  rows = static_cast<int>(height);
  return true;
}

class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) { SetBkMode(dc_, TRANSPARENT); }
  ~GdiCanvas() override {
    while (depth_ > 0) PopOrigin();
    if (originalFont_) SelectObject(dc_, originalFont_);
    for (HFONT f : fonts_) DeleteObject(f);
  }

  void FillRect(const Rect& r, ColorRef color) override {
    RECT rc = toRect(r);
    SetDCBrushColor(dc_, color);
    ::FillRect(dc_, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }

  void FillPolygon(const std::vector<Point>& points, ColorRef color) override {
    if (points.empty()) return;
    std::vector<POINT> pts;
    for (const Point& p : points) pts.push_back(POINT{p.x, p.y});
    HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(DC_PEN));
    SetDCBrushColor(dc_, color);
    SetDCPenColor(dc_, color);
    Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
    SelectObject(dc_, oldPen);
    SelectObject(dc_, oldBrush);
  }

  void DrawBitmap(const Rect& dest, const std::vector<uint8_t>& bmp) override {
    BITMAPINFOHEADER header;
    uint32_t offBits = 0;
    int rows = 0;
    if (!readDib(bmp, header, offBits, rows)) return;
    SetStretchBltMode(dc_, HALFTONE);
    StretchDIBits(dc_, dest.left, dest.top, dest.Width(), dest.Height(), 0, 0, header.biWidth, rows,
                  bmp.data() + offBits, reinterpret_cast<const BITMAPINFO*>(bmp.data() + 14), DIB_RGB_COLORS, SRCCOPY);
  }

  void DrawSystemIcon(const Rect& dest, int iconId) override {
    if (HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(iconId)))
      DrawIconEx(dc_, dest.left, dest.top, icon, 32, 32, 0, nullptr, DI_NORMAL);
  }

  void DrawButtonFace(const Rect& r, bool pushed, bool isDefault) override {
    RECT rc = toRect(r);
    if (isDefault) {
      FrameRect(dc_, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&rc, -1, -1);
    }
    if (pushed) {
      // A pressed button of a dialog: a flat shadow frame around the face.
      ::FillRect(dc_, &rc, GetSysColorBrush(COLOR_BTNFACE));
      FrameRect(dc_, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      DrawFrameControl(dc_, &rc, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
  }

  void DrawFocusFrame(const Rect& r) override {
    RECT rc = toRect(r);
    SetTextColor(dc_, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc_, GetSysColor(COLOR_BTNFACE));
    DrawFocusRect(dc_, &rc);
  }

  void DrawGlyph(Point at, const std::vector<uint8_t>& bmp, int part, int parts) override {
    BITMAPINFOHEADER header;
    uint32_t offBits = 0;
    int rows = 0;
    if (parts < 1 || !readDib(bmp, header, offBits, rows)) return;
    int w = static_cast<int>(header.biWidth) / parts;
    if (w <= 0 || part < 0 || part >= parts) return;
    // The part goes through a memory bitmap, whose bottom-left pixel names the colour
    // left transparent.
    HDC mem = CreateCompatibleDC(dc_);
    HBITMAP image = CreateCompatibleBitmap(dc_, w, rows);
    if (!mem || !image) {
      if (image) DeleteObject(image);
      if (mem) DeleteDC(mem);
      return;
    }
    HGDIOBJ old = SelectObject(mem, image);
    StretchDIBits(mem, 0, 0, w, rows, part * w, 0, w, rows, bmp.data() + offBits,
                  reinterpret_cast<const BITMAPINFO*>(bmp.data() + 14), DIB_RGB_COLORS, SRCCOPY);
    COLORREF transparent = GetPixel(mem, 0, rows - 1);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < w; ++x)
        if (COLORREF c = GetPixel(mem, x, y); c != transparent) SetPixel(dc_, at.x + x, at.y + y, c);
    SelectObject(mem, old);
    DeleteObject(image);
    DeleteDC(mem);
  }

  void SelectFont(const FontSpec& description) override {
    LOGFONTW lf = LogFontOf(description);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return;
    fonts_.push_back(font);
    HGDIOBJ old = SelectObject(dc_, font);
    if (!originalFont_) originalFont_ = old;
  }

  Size TextExtent(std::string_view utf8) override {
    std::wstring w = Widen(utf8);
    SIZE s{};
    GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &s);
    return Size{s.cx, s.cy};
  }

  void TextOut(int x, int y, std::string_view utf8, ColorRef color) override {
    std::wstring w = Widen(utf8);
    SetTextColor(dc_, color);
    ::TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
  }

  void PushOrigin(Point origin, const Rect& clip) override {
    SaveDC(dc_);
    ++depth_;
    OffsetViewportOrgEx(dc_, origin.x, origin.y, nullptr);
    IntersectClipRect(dc_, clip.left, clip.top, clip.right, clip.bottom);
  }

  void PopOrigin() override {
    if (depth_ == 0) return;
    RestoreDC(dc_, -1);
    --depth_;
  }

 private:
  HDC dc_;
  HGDIOBJ originalFont_ = nullptr;
  std::vector<HFONT> fonts_;
  int depth_ = 0;
};

}  // namespace

LOGFONTW LogFontOf(const FontSpec& font) {
  LOGFONTW lf{};
  lf.lfHeight = font.height;
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic;
  lf.lfUnderline = font.underline;
  lf.lfStrikeOut = font.strikeOut;
  lf.lfCharSet = static_cast<BYTE>(font.charset);
  lf.lfEscapement = font.escapement;
  lf.lfOrientation = font.escapement;
  lf.lfOutPrecision = static_cast<BYTE>(font.outPrecision);
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  std::wstring face = Widen(font.name);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return lf;
}

std::unique_ptr<Canvas> MakeGdiCanvas(HDC dc) { return std::make_unique<GdiCanvas>(dc); }

Size MeasureText(const FontSpec& font, std::string_view utf8, int maxWidth, bool wrap) {
  HDC dc = GetDC(nullptr);
  LOGFONTW lf = LogFontOf(font);
  HFONT f = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(dc, f);
  std::wstring text = Widen(utf8);
  RECT rc{0, 0, maxWidth, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
            DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  DeleteObject(f);
  ReleaseDC(nullptr, dc);
  return Size{rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace kestrune::platform::ui
