// Thread-wide parts of the window host: the message loop and pump, message boxes,
// module resources, the cursor, colours and screen metrics.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui_canvas.h"
#include "platform/ui_window.h"

namespace kestrune::platform::ui {

// Hands the current exception to the handler of callback exceptions (for use in a catch
// block of a callback; SetCallbackExceptionHandler, runtime/seams.h). The session's end
// code is SetSessionEndExitCode there too.
void ReportCallbackException(std::exception_ptr e) noexcept;

// Dispatches every pending message without waiting. Returns false when a quit message
// was taken from the queue. Costs one queue check when nothing is pending.
bool DispatchPending();
// Waits for the next message and dispatches it. Returns false on a quit message.
bool WaitAndDispatch();
// Wakes a WaitAndDispatch of this thread without posting anything it must handle.
void WakeMessageLoop();
// Runs call from this thread's message loop (DispatchPending or WaitAndDispatch), after
// the messages already queued, without a window: an unattended run creates none, and
// under Wine the first window of a process loads the display driver (megabytes).
void PostToLoop(std::function<void()> call);

// Values of the message box flags and results (the Win32 ones).
enum MessageBoxFlags : unsigned {
  mbOk = 0x0, mbOkCancel = 0x1, mbAbortRetryIgnore = 0x2, mbYesNoCancel = 0x3, mbYesNo = 0x4,
  mbIconStop = 0x10, mbIconQuestion = 0x20, mbIconWarning = 0x30, mbIconInformation = 0x40,
  mbDefButton2 = 0x100, mbTaskModal = 0x2000,
};
enum MessageBoxResult : int { idOk = 1, idCancel = 2, idAbort = 3, idRetry = 4, idIgnore = 5, idYes = 6, idNo = 7 };
// Shows a modal message box owned by owner (may be null); returns the button chosen.
int ShowMessageBox(WindowHandle owner, std::string_view text, std::string_view caption, unsigned flags);

// Bytes of an RCDATA resource of the running program, where its mapped image has them
// (valid while the program runs), or nothing when it has none.
std::optional<std::span<const uint8_t>> LoadRcData(std::string_view name);

// Cursor ids (the toolkit's values): 0 default, -2 arrow, -11 hourglass.
// Sets the cursor shown now; the windows' own cursor takes over at the next mouse move
// unless the application keeps an override (see SetOverrideCursor).
void ShowCursorShape(int cursor);
// Cursor every window of the program shows while it is not 0.
void SetOverrideCursor(int cursor);
int OverrideCursor();

// A colour value of the toolkit (RGB, or a system colour 0x800000nn) as RGB.
ColorRef ColorToRgb(int32_t color);

Size ScreenSize();
int CaptionHeight();

// The window that is active in this thread, or null.
WindowHandle ActiveWindow();
void EnableWindow(WindowHandle window, bool enable);

}  // namespace kestrune::platform::ui
