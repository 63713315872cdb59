// Win32 message loop, message boxes, resources, cursor, colours and screen metrics.
#include <memory>

#include "platform/platform_error.h"
#include "platform/text.h"
#include "platform/ui_app.h"
#include "platform/win_ui_internal.h"

namespace kestrune::platform::ui {

namespace {
int g_overrideCursor = 0;

// A thread message that carries a call of PostToLoop (its lParam, owned by the message).
constexpr UINT kLoopCallMessage = WM_APP + 0x4B2;

void dispatch(MSG& msg) {
  if (!msg.hwnd && msg.message == kLoopCallMessage) {
    std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(msg.lParam));
    try {
      if (call && *call) (*call)();
    } catch (...) {
      ReportCallbackException(std::current_exception());
    }
    return;
  }
  // Return and Escape press a form's default and cancel buttons; Tab moves the focus
  // between controls as in a dialog box.
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    bool handled = false;
    try {
      handled = DispatchDialogKey(msg.hwnd, static_cast<int>(msg.wParam));
    } catch (...) {
      ReportCallbackException(std::current_exception());
      handled = true;
    }
    if (handled) return;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (top && IsDialogMessageW(top, &msg)) return;
  }
  // ::TranslateMessage: the kit has a TranslateMessage of its own for texts.
  ::TranslateMessage(&msg);
  DispatchMessageW(&msg);
}
}  // namespace

bool DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    dispatch(msg);
  }
  return true;
}

bool WaitAndDispatch() {
  MSG msg;
  BOOL r = GetMessageW(&msg, nullptr, 0, 0);
  if (r == 0 || r == -1) return false;
  dispatch(msg);
  return true;
}

void WakeMessageLoop() { PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0); }

void PostToLoop(std::function<void()> call) {
  auto owned = std::make_unique<std::function<void()>>(std::move(call));
  if (!PostThreadMessageW(GetCurrentThreadId(), kLoopCallMessage, 0, reinterpret_cast<LPARAM>(owned.get())))
    throwWin32("PostThreadMessageW", GetLastError());
  owned.release();
}

int ShowMessageBox(WindowHandle owner, std::string_view text, std::string_view caption, unsigned flags) {
  std::wstring t = Widen(text), c = Widen(caption);
  return MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), flags);
}

std::optional<std::span<const uint8_t>> LoadRcData(std::string_view name) {
  std::wstring n = Widen(name);
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, n.c_str(), reinterpret_cast<LPCWSTR>(RT_RCDATA));
  if (!res) return std::nullopt;
  HGLOBAL mem = LoadResource(module, res);
  DWORD size = SizeofResource(module, res);
  const auto* p = static_cast<const uint8_t*>(mem ? LockResource(mem) : nullptr);
  if (!p) return std::nullopt;
  return std::span<const uint8_t>(p, size);
}

HCURSOR CursorHandle(int cursor) {
  LPCWSTR id;
  switch (cursor) {
    case -11: id = reinterpret_cast<LPCWSTR>(IDC_WAIT); break;
    case -19: id = reinterpret_cast<LPCWSTR>(IDC_APPSTARTING); break;
    case -4: id = reinterpret_cast<LPCWSTR>(IDC_IBEAM); break;
    case -3: id = reinterpret_cast<LPCWSTR>(IDC_CROSS); break;
    case -21: id = reinterpret_cast<LPCWSTR>(IDC_HAND); break;
    case -1: return nullptr;
    default: id = reinterpret_cast<LPCWSTR>(IDC_ARROW); break;
  }
  return LoadCursorW(nullptr, id);
}

void ShowCursorShape(int cursor) { SetCursor(CursorHandle(cursor)); }

void SetOverrideCursor(int cursor) {
  g_overrideCursor = cursor;
  SetCursor(CursorHandle(cursor));
}

int OverrideCursor() { return g_overrideCursor; }

ColorRef ColorToRgb(int32_t color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<ColorRef>(color) & 0xFFFFFF;
}

Size ScreenSize() { return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }
int CaptionHeight() { return GetSystemMetrics(SM_CYCAPTION); }

WindowHandle ActiveWindow() { return GetActiveWindow(); }
void EnableWindow(WindowHandle window, bool enable) { ::EnableWindow(static_cast<HWND>(window), enable); }

}  // namespace kestrune::platform::ui
