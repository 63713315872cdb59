// The shell's folder browser and the window calls that fit the folder dialog's own
// controls into it.
#include "platform/folder_browser.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "platform/text.h"
#include "platform/ui_app.h"
#include "platform/win_system_library.h"
#include "platform/win_ui_internal.h"

namespace kestrune::platform::ui {

namespace {

// Window property that keeps the browser's own procedure while its commands are routed.
const wchar_t kBrowserProcProp[] = L"KestruneBrowserProc";

std::string pathOfItem(LPCITEMIDLIST item) {
  wchar_t path[MAX_PATH];
  if (!item || !KESTRUNE_SYSTEM_CALL("shell32.dll", SHGetPathFromIDListW)(item, path)) return {};
  return Narrow(path);
}

int CALLBACK browserCallback(HWND hwnd, UINT msg, LPARAM lp, LPARAM data) {
  auto* sink = reinterpret_cast<FolderBrowserSink*>(data);
  try {
    if (msg == BFFM_INITIALIZED) sink->BrowserInitialized(hwnd);
    else if (msg == BFFM_SELCHANGED) sink->BrowserSelectionChanged(hwnd, pathOfItem(reinterpret_cast<LPCITEMIDLIST>(lp)));
  } catch (...) {
    ReportCallbackException(std::current_exception());
  }
  return 0;
}

LRESULT CALLBACK routingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto proc = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kBrowserProcProp));
  if (msg == WM_COMMAND && lp && ReflectControlCommand(wp, lp)) return 0;
  if (msg == WM_NCDESTROY && proc) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    RemovePropW(hwnd, kBrowserProcProp);
  }
  return proc ? CallWindowProcW(proc, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

struct PartSearch {
  BrowserPart part;
  int buttons = 0;
  HWND found = nullptr;
};

BOOL CALLBACK findPart(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<PartSearch*>(data);
  wchar_t cls[64] = {};
  GetClassNameW(child, cls, 64);
  std::wstring name(cls);
  for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
  if (search->part == BrowserPart::Tree && name.rfind(L"SYSTREE", 0) == 0) {
    search->found = child;
    return FALSE;
  }
  if (name.rfind(L"BUTTON", 0) == 0) {
    ++search->buttons;
    if ((search->part == BrowserPart::OkButton && search->buttons == 1) ||
        (search->part == BrowserPart::CancelButton && search->buttons == 2)) {
      search->found = child;
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace

std::optional<std::string> BrowseForFolder(const std::string& title, FolderBrowserSink& sink) {
  std::wstring wideTitle = Widen(title);
  BROWSEINFOW info{};
  info.hwndOwner = static_cast<HWND>(ActiveWindow());
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = browserCallback;
  info.lParam = reinterpret_cast<LPARAM>(&sink);
  LPITEMIDLIST item = KESTRUNE_SYSTEM_CALL("shell32.dll", SHBrowseForFolderW)(&info);
  if (!item) return std::nullopt;
  std::string path = pathOfItem(item);
  KESTRUNE_SYSTEM_CALL("ole32.dll", CoTaskMemFree)(item);
  return path;
}

WindowHandle FindBrowserPart(WindowHandle browser, BrowserPart part) {
  PartSearch search{part};
  EnumChildWindows(static_cast<HWND>(browser), findPart, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Rect ChildRect(WindowHandle browser, WindowHandle child) {
  RECT rc{};
  GetWindowRect(static_cast<HWND>(child), &rc);
  MapWindowPoints(nullptr, static_cast<HWND>(browser), reinterpret_cast<POINT*>(&rc), 2);
  return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

void SetChildRect(WindowHandle child, const Rect& r) {
  SetWindowPos(static_cast<HWND>(child), nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepTreeSelectionShown(WindowHandle tree) {
  HWND h = static_cast<HWND>(tree);
  SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | TVS_SHOWSELALWAYS);
}

void SelectBrowserPath(WindowHandle browser, const std::string& path) {
  std::wstring wide = Widen(path);
  SendMessageW(static_cast<HWND>(browser), BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

bool WindowEnabled(WindowHandle window) { return IsWindowEnabled(static_cast<HWND>(window)) != 0; }

void PressBrowserButton(WindowHandle browser, WindowHandle button) {
  PostMessageW(static_cast<HWND>(browser), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(static_cast<HWND>(button)), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void RouteBrowserCommands(WindowHandle browser) {
  HWND h = static_cast<HWND>(browser);
  if (GetPropW(h, kBrowserProcProp)) return;
  SetPropW(h, kBrowserProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrW(h, GWLP_WNDPROC)));
  SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(routingProc));
}

std::string LoadSystemString(const std::string& library, int number) {
  wchar_t dir[MAX_PATH];
  UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  HMODULE module = LoadLibraryW((std::wstring(dir, n) + L"\\" + Widen(library)).c_str());
  if (!module) return {};
  static wchar_t text[4097];
  int length = LoadStringW(module, static_cast<UINT>(number), text, 4097);
  FreeLibrary(module);
  return length > 0 ? Narrow(std::wstring_view(text, static_cast<size_t>(length))) : std::string();
}

}  // namespace kestrune::platform::ui
