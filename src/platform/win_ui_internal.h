// Window host internals shared by the Win32 implementation files.
#pragma once
#include <windows.h>

#include <memory>

#include "platform/ui_canvas.h"

namespace kestrune::platform::ui {

// The private message that carries NativeWindow::Post codes.
inline constexpr UINT kPostedMessage = WM_APP + 0x4B1;

// A canvas over a device context; restores the context's font and deletes the fonts it
// made when it ends.
std::unique_ptr<Canvas> MakeGdiCanvas(HDC dc);

HCURSOR CursorHandle(int cursor);

// Offers Return or Escape to the sinks of target and its parents, up to its top-level
// window; true when one handled it. Exceptions of the sinks are caught and reported.
bool DispatchDialogKey(HWND target, int key);

// The GDI description of a font (a zero escapement and precision give a control's font).
LOGFONTW LogFontOf(const FontSpec& font);

// Hands a WM_COMMAND notification from a control of the toolkit to that control's sink,
// for windows of other procedures that hold such controls; false for any other sender.
// Exceptions of the sink are caught and reported.
bool ReflectControlCommand(WPARAM wp, LPARAM lp);

}  // namespace kestrune::platform::ui
