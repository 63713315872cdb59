// Native windows of the window host. Only this facade touches window handles; the
// toolkit's controls own a NativeWindow and receive its messages through WindowSink.
#pragma once
#include <memory>
#include <string>

#include "platform/ui_canvas.h"

namespace kestrune::platform::ui {

using WindowHandle = void*;

// What a window procedure reports to its control. The window procedure catches every
// exception a handler raises and hands it to the callback exception handler
// (SetCallbackExceptionHandler); none crosses the system's frames.
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
};

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

  // Called by the window procedure.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrune::platform::ui
