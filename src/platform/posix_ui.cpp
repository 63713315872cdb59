// Headless window host of the native build: controls and forms load and lay out, but no
// window is created and nothing is drawn. Message boxes are written to standard error.
#include <cstdio>
#include <string>

#include "platform/ui_app.h"
#include "platform/ui_window.h"

namespace kestrune::platform::ui {

struct NativeWindow::Impl {
  bool checked = false;
};

NativeWindow::NativeWindow(WindowSink&) : impl_(std::make_unique<Impl>()) {}
NativeWindow::~NativeWindow() = default;
void NativeWindow::Create(const WindowParams&) {}
void NativeWindow::Destroy() {}
bool NativeWindow::Exists() const { return false; }
WindowHandle NativeWindow::Handle() const { return nullptr; }
void NativeWindow::SetBounds(const Rect&) {}
Rect NativeWindow::Bounds() const { return {}; }
Size NativeWindow::ClientSize() const { return {}; }
void NativeWindow::SetText(const std::string&) {}
void NativeWindow::SetVisible(bool) {}
bool NativeWindow::IsVisible() const { return false; }
void NativeWindow::SetEnabled(bool) {}
void NativeWindow::SetShowState(ShowState) {}
void NativeWindow::SetFont(const FontSpec&) {}
void NativeWindow::Invalidate() {}
void NativeWindow::InvalidateRect(const Rect&) {}
void NativeWindow::Update() {}
void NativeWindow::BringToFront() {}
bool NativeWindow::IsActive() const { return false; }
void NativeWindow::Post(int) {}
void NativeWindow::RefreshCursor() {}
std::string NativeWindow::Text() const { return {}; }
void NativeWindow::SetButtonCheck(bool checked) { impl_->checked = checked; }
bool NativeWindow::ButtonChecked() const { return impl_->checked; }
void NativeWindow::SetButtonDefault(bool) {}
void NativeWindow::SetProgress(int, int, int) {}
void NativeWindow::SetReadOnly(bool) {}
void NativeWindow::SetStyleBits(unsigned long, unsigned long) {}
void NativeWindow::SetFocus() {}
bool NativeWindow::Focused() const { return false; }
void NativeWindow::ScrollToTop() {}

// Without fonts: 6 pixels a character and lines as high as the font, wrapped at words.
Size MeasureText(const FontSpec& font, std::string_view utf8, int maxWidth, bool wrap) {
  int lineHeight = font.height < 0 ? -font.height + 2 : font.height;
  int chars = 0;
  for (unsigned char c : utf8) chars += (c & 0xC0) != 0x80;
  int width = chars * 6;
  if (!wrap || maxWidth <= 0 || width <= maxWidth) return Size{width, lineHeight};
  int lines = (width + maxWidth - 1) / maxWidth;
  return Size{maxWidth, lines * lineHeight};
}

bool DispatchPending() { return true; }
bool WaitAndDispatch() { return false; }
void WakeMessageLoop() {}
// Natively there is no message loop: nothing posted runs, as with NativeWindow::Post.
void PostToLoop(std::function<void()>) {}

int ShowMessageBox(WindowHandle, std::string_view text, std::string_view caption, unsigned flags) {
  std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(), static_cast<int>(text.size()),
               text.data());
  unsigned buttons = flags & 0xF;
  return buttons == mbYesNo || buttons == mbYesNoCancel ? idYes : idOk;
}

std::optional<std::span<const uint8_t>> LoadRcData(std::string_view) { return std::nullopt; }

namespace {
int g_overrideCursor = 0;
}
void ShowCursorShape(int) {}
void SetOverrideCursor(int cursor) { g_overrideCursor = cursor; }
int OverrideCursor() { return g_overrideCursor; }

ColorRef ColorToRgb(int32_t color) {
  if (color >= 0) return static_cast<ColorRef>(color) & 0xFFFFFF;
  // The classic system colour scheme.
  static const ColorRef scheme[] = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
      0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4,
      0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF};
  unsigned index = static_cast<unsigned>(color) & 0xFF;
  return index < sizeof scheme / sizeof scheme[0] ? scheme[index] : 0;
}

Size ScreenSize() { return Size{1024, 768}; }
int CaptionHeight() { return 19; }
WindowHandle ActiveWindow() { return nullptr; }
void EnableWindow(WindowHandle, bool) {}

}  // namespace kestrune::platform::ui
