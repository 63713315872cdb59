// Native windows of the window host. Only this facade touches window handles; the
// toolkit's controls own a NativeWindow and receive its messages through WindowSink.
#pragma once
#include <memory>
#include <string>

#include "platform/ui_canvas.h"

namespace kestrune::platform::ui {

using WindowHandle = void*;

// The state of an owner-drawn button when it is drawn.
struct ButtonDrawState {
  Rect bounds;
  bool pushed = false, focused = false, disabled = false;
};

// What a window procedure reports to its control. The window procedure catches every
// exception a handler raises and hands it to the callback exception handler
// (SetCallbackExceptionHandler, runtime/seams.h); none crosses the system's frames.
class WindowSink {
 public:
  virtual ~WindowSink() = default;
  virtual void WindowPaint(Canvas& canvas) {}
  // The client area changed size.
  virtual void WindowResized() {}
  // Position or size changed; outer bounds in parent client coordinates (screen for
  // top-level windows).
  virtual void WindowMoved(const Rect& bounds) {}
  // The window became active (true) or inactive (false).
  virtual void WindowActivated(bool active) {}
  // A message posted with NativeWindow::Post arrived.
  virtual void WindowPosted(int code) {}
  // The user asked to close the window (title-bar button, Alt+F4). The window is not
  // destroyed by the host; the sink decides.
  virtual void WindowCloseRequested() {}
  // A system control reported a command notification (button click, ...).
  virtual void WindowCommand(int notifyCode) {}
  // Cursor id to show over the window (0 = the class default arrow).
  virtual int WindowCursor() { return 0; }
  // Colours of a system control (text and background) when its parent paints it; false
  // leaves the system's own.
  virtual bool WindowControlColors(ColorRef& text, ColorRef& back) { return false; }
  // Return (13) or Escape (27) was pressed in this window or one of its children; true
  // when the sink handled it (pressed its default or cancel button).
  virtual bool WindowDialogKey(int key) { return false; }
  // An owner-drawn button (ctl::bsOwnerDraw) is to be drawn; false leaves it undrawn.
  virtual bool WindowDrawButton(Canvas& canvas, const ButtonDrawState& state) { return false; }
};

// Style bits of the system control classes (the Win32 values), for WindowParams::classStyle.
namespace ctl {
inline constexpr unsigned long bsPushButton = 0x0, bsDefPushButton = 0x1, bsAutoCheckBox = 0x3, bsGroupBox = 0x7,
                               bsAutoRadioButton = 0x9, bsOwnerDraw = 0xB, bsMultiLine = 0x2000;
inline constexpr unsigned long ssLeft = 0x0, ssCenter = 0x1, ssRight = 0x2, ssLeftNoWordWrap = 0xC, ssNoPrefix = 0x80,
                               ssCenterImage = 0x200;
inline constexpr unsigned long esMultiLine = 0x4, esLowerCase = 0x10, esUpperCase = 0x8, esAutoVScroll = 0x40,
                               esAutoHScroll = 0x80, esReadOnly = 0x800;
inline constexpr unsigned long wsVScroll = 0x200000, wsHScroll = 0x100000, wsTabStop = 0x10000, wsGroup = 0x20000;
inline constexpr unsigned long wsExClientEdge = 0x200;
// Class names of the system controls; RichEdit and the common controls are loaded on first use.
inline constexpr const char* kButton = "BUTTON";
inline constexpr const char* kStatic = "STATIC";
inline constexpr const char* kEdit = "EDIT";
inline constexpr const char* kRichEdit = "RichEdit20W";
inline constexpr const char* kProgressBar = "msctls_progress32";
inline constexpr const char* kTabControl = "SysTabControl32";
}  // namespace ctl

enum class BorderKind { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class ShowState { Normal, Minimized, Maximized };

struct WindowParams {
  WindowHandle parent = nullptr;  // null for a top-level window
  bool child = false;             // child window of parent (else owned top-level)
  std::string caption;
  Rect bounds;                    // outer bounds
  bool visible = false;
  bool enabled = true;
  BorderKind border = BorderKind::Sizeable;
  bool systemMenu = true, minimizeBox = true, maximizeBox = true;
  // A system control class ("BUTTON", "STATIC", ...) instead of the host's own class,
  // with extra window style bits of that class.
  std::string systemClass;
  unsigned long classStyle = 0;
  unsigned long exStyle = 0;
};

class NativeWindow {
 public:
  explicit NativeWindow(WindowSink& sink);
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  // Creates the window; raises PlatformError when the system refuses.
  void Create(const WindowParams& params);
  void Destroy();
  bool Exists() const;
  WindowHandle Handle() const;

  void SetBounds(const Rect& bounds);
  Rect Bounds() const;        // outer bounds in parent client coordinates
  Size ClientSize() const;
  void SetText(const std::string& utf8);
  void SetVisible(bool visible);
  bool IsVisible() const;
  void SetEnabled(bool enabled);
  void SetShowState(ShowState state);
  void SetFont(const FontSpec& font);
  void Invalidate();
  void InvalidateRect(const Rect& r);
  void Update();
  void BringToFront();
  bool IsActive() const;
  // Posts code to this window's sink through the message queue.
  void Post(int code);
  // Shows the cursor the sink asks for now, when the mouse is over the window.
  void RefreshCursor();

  // System controls.
  std::string Text() const;
  void SetButtonCheck(bool checked);
  bool ButtonChecked() const;
  // Makes a push button the default one (thick frame) or a plain one.
  void SetButtonDefault(bool isDefault);
  void SetProgress(int min, int max, int position);
  void SetReadOnly(bool readOnly);
  // Replaces the style bits in mask by bits (for styles a control may change later).
  void SetStyleBits(unsigned long mask, unsigned long bits);
  void SetFocus();
  bool Focused() const;
  // Scrolls a multi-line edit to its first line.
  void ScrollToTop();

  // Called by the window procedure.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrune::platform::ui
