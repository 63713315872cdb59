// Win32 windows of the window host: the window class, the window procedure that binds
// its NativeWindow at WM_NCCREATE and keeps every exception inside, and the window calls.
#include "platform/ui_window.h"

#include "platform/platform_error.h"
#include "platform/text.h"
#include "platform/ui_app.h"
#include "platform/win_system_library.h"
#include "platform/win_ui_internal.h"
#include "runtime/seams.h"

#include <commctrl.h>

#include <algorithm>

namespace kestrune::platform::ui {

namespace {

const wchar_t kClassName[] = L"KestruneWindow";
// Window property that binds subclassed system controls to their NativeWindow.
const wchar_t kBindingProp[] = L"KestruneNativeWindow";

LRESULT CALLBACK hostWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK subclassWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void registerClassOnce() {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = hostWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) throwWin32("RegisterClassExW", GetLastError());
  done = true;
}

// Paints through an off-screen bitmap so that a gradient and the text drawn over it do
// not flicker: the part that needs painting, in bands of at most kBandPixels pixels (a
// full-screen window's bitmap would be megabytes at its first drawing; each band has the
// whole scene drawn into it, shifted, and clipped by the bitmap). EndPaint runs even when
// the sink throws.
class PaintScope {
 public:
  static constexpr int kBandPixels = 256 * 1024;

  explicit PaintScope(HWND hwnd) : hwnd_(hwnd) {
    dc_ = BeginPaint(hwnd_, &ps_);
    RECT client;
    GetClientRect(hwnd_, &client);
    IntersectRect(&area_, &ps_.rcPaint, &client);
    const int w = area_.right - area_.left, h = area_.bottom - area_.top;
    band_ = w > 0 && h > 0 ? std::max(1, std::min(h, kBandPixels / w)) : 0;
    mem_ = CreateCompatibleDC(dc_);
    bmp_ = CreateCompatibleBitmap(dc_, w > 0 ? w : 1, band_ > 0 ? band_ : 1);
    old_ = SelectObject(mem_, bmp_);
    SelectObject(mem_, GetStockObject(DEFAULT_GUI_FONT));
  }
  ~PaintScope() {
    SelectObject(mem_, old_);
    DeleteObject(bmp_);
    DeleteDC(mem_);
    EndPaint(hwnd_, &ps_);
  }
  // Calls paint(memory DC) for each band, the DC's origin at the window's, and copies the
  // band to the window.
  template <class Paint>
  void Bands(Paint&& paint) {
    if (band_ <= 0) return;
    const int w = area_.right - area_.left;
    for (int top = area_.top; top < area_.bottom; top += band_) {
      const int rows = std::min<int>(band_, area_.bottom - top);
      const int saved = SaveDC(mem_);
      SetViewportOrgEx(mem_, -area_.left, -top, nullptr);
      paint(mem_);
      RestoreDC(mem_, saved);
      BitBlt(dc_, area_.left, top, w, rows, mem_, 0, 0, SRCCOPY);
    }
  }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  RECT area_{};
  int band_ = 0;
  HDC dc_ = nullptr, mem_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

struct NativeWindow::Impl {
  explicit Impl(WindowSink& s) : sink(&s) {}
  WindowSink* sink;
  HWND hwnd = nullptr;
  WNDPROC systemProc = nullptr;  // set for subclassed system controls
  HFONT font = nullptr;
  HBRUSH backBrush = nullptr;  // background of a system control painted by its parent
  ColorRef backColor = 0;
  bool checked = false;        // check state kept for the native-less reads

  ~Impl() {
    if (backBrush) DeleteObject(backBrush);
  }

  // The brush WM_CTLCOLOR* hands back for this control, or null for the system's own.
  HBRUSH controlColors(HDC dc) {
    if (!sink) return nullptr;
    ColorRef text = 0, back = 0;
    if (!sink->WindowControlColors(text, back)) return nullptr;
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    if (!backBrush || backColor != back) {
      if (backBrush) DeleteObject(backBrush);
      backBrush = CreateSolidBrush(back);
      backColor = back;
    }
    return backBrush;
  }

  LRESULT callDefault(UINT msg, WPARAM wp, LPARAM lp) {
    return systemProc ? CallWindowProcW(systemProc, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
  }

  Rect bounds() const {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return Rect{rc.left, rc.top, rc.right, rc.bottom};
  }

  void detach() {
    if (!hwnd) return;
    if (systemProc) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc));
      RemovePropW(hwnd, kBindingProp);
    } else {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    hwnd = nullptr;
  }

  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_PAINT:
        if (systemProc || !sink) break;
        {
          PaintScope scope(hwnd);
          scope.Bands([this](HDC mem) {
            std::unique_ptr<Canvas> canvas = MakeGdiCanvas(mem);
            sink->WindowPaint(*canvas);
          });
        }
        return 0;
      case WM_ERASEBKGND:
        if (!systemProc) return 1;  // WM_PAINT paints every pixel
        // Group boxes and other system controls that do not erase their own background get
        // the control's colour (their parent clips its children and paints nothing there).
        if (HBRUSH brush = controlColors(reinterpret_cast<HDC>(wp))) {
          RECT rc;
          GetClientRect(hwnd, &rc);
          ::FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
          return 1;
        }
        break;
      case WM_WINDOWPOSCHANGED: {
        LRESULT r = callDefault(msg, wp, lp);
        if (sink) sink->WindowMoved(bounds());
        return r;
      }
      case WM_SIZE: {
        LRESULT r = callDefault(msg, wp, lp);
        if (sink) sink->WindowResized();
        return r;
      }
      case WM_ACTIVATE: {
        LRESULT r = callDefault(msg, wp, lp);
        if (sink) sink->WindowActivated(LOWORD(wp) != WA_INACTIVE);
        return r;
      }
      case WM_ENDSESSION:
        if (wp)
          if (int (*code)() = SessionEndExitCode()) ExitProcess(static_cast<UINT>(code()));
        break;
      case WM_CLOSE:
        if (systemProc) break;
        if (sink) sink->WindowCloseRequested();
        return 0;
      case WM_COMMAND:
        if (lp) {
          auto* child = static_cast<Impl*>(GetPropW(reinterpret_cast<HWND>(lp), kBindingProp));
          if (child && child->sink) child->sink->WindowCommand(HIWORD(wp));
          return 0;
        }
        break;
      case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (!item || item->CtlType != ODT_BUTTON) break;
        auto* child = static_cast<Impl*>(GetPropW(item->hwndItem, kBindingProp));
        if (!child || !child->sink) break;
        ButtonDrawState state;
        state.bounds = Rect{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
        state.pushed = (item->itemState & ODS_SELECTED) != 0;
        state.focused = (item->itemState & ODS_FOCUS) != 0;
        state.disabled = (item->itemState & ODS_DISABLED) != 0;
        std::unique_ptr<Canvas> canvas = MakeGdiCanvas(item->hDC);
        return child->sink->WindowDrawButton(*canvas, state) ? TRUE : FALSE;
      }
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLOREDIT: {
        auto* child = static_cast<Impl*>(GetPropW(reinterpret_cast<HWND>(lp), kBindingProp));
        if (child)
          if (HBRUSH brush = child->controlColors(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(brush);
        break;
      }
      case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && sink) {
          int cursor = OverrideCursor();
          if (cursor == 0) cursor = sink->WindowCursor();
          if (cursor != 0) {
            SetCursor(CursorHandle(cursor));
            return TRUE;
          }
        }
        break;
      case kPostedMessage:
        if (sink) sink->WindowPosted(static_cast<int>(wp));
        return 0;
      case WM_NCDESTROY: {
        WNDPROC proc = systemProc;
        HWND h = hwnd;
        detach();
        return proc ? CallWindowProcW(proc, h, msg, wp, lp) : DefWindowProcW(h, msg, wp, lp);
      }
      default:
        break;
    }
    return callDefault(msg, wp, lp);
  }
};

namespace {

// Every exception a handler raises stops here: the unwinder cannot cross user32's frames.
LRESULT dispatchSafely(NativeWindow::Impl* self, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    return self->handle(msg, wp, lp);
  } catch (...) {
    ReportCallbackException(std::current_exception());
    return 0;
  }
}

LRESULT CALLBACK hostWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  NativeWindow::Impl* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<NativeWindow::Impl*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<NativeWindow::Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return dispatchSafely(self, hwnd, msg, wp, lp);
}

LRESULT CALLBACK subclassWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<NativeWindow::Impl*>(GetPropW(hwnd, kBindingProp));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return dispatchSafely(self, hwnd, msg, wp, lp);
}

}  // namespace

bool ReflectControlCommand(WPARAM wp, LPARAM lp) {
  auto* child = static_cast<NativeWindow::Impl*>(GetPropW(reinterpret_cast<HWND>(lp), kBindingProp));
  if (!child || !child->sink) return false;
  try {
    child->sink->WindowCommand(HIWORD(wp));
  } catch (...) {
    ReportCallbackException(std::current_exception());
  }
  return true;
}

namespace {

NativeWindow::Impl* implOf(HWND h) {
  if (auto* bound = static_cast<NativeWindow::Impl*>(GetPropW(h, kBindingProp))) return bound;
  if (GetWindowLongPtrW(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(hostWndProc))
    return reinterpret_cast<NativeWindow::Impl*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  return nullptr;
}

// RichEdit and the common controls register their classes when their library is loaded;
// both come from the system directory only.
void loadControlLibrary(const std::string& cls) {
  static bool richEdit = false, common = false;
  if (cls == ctl::kRichEdit && !richEdit) {
    wchar_t dir[MAX_PATH];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n > 0 && n < MAX_PATH && LoadLibraryW((std::wstring(dir, n) + L"\\riched20.dll").c_str())) richEdit = true;
  } else if ((cls == ctl::kProgressBar || cls == ctl::kTabControl) && !common) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
    common = KESTRUNE_SYSTEM_CALL("comctl32.dll", InitCommonControlsEx)(&icc);
  }
}

DWORD styleFor(const WindowParams& p, DWORD& exStyle) {
  exStyle = 0;
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (p.child) {
    style |= WS_CHILD;
  } else {
    switch (p.border) {
      case BorderKind::None: style |= WS_POPUP; break;
      case BorderKind::Single: style |= WS_CAPTION; break;
      case BorderKind::Sizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
      case BorderKind::Dialog: style |= WS_CAPTION; exStyle |= WS_EX_DLGMODALFRAME; break;
      case BorderKind::ToolWindow: style |= WS_CAPTION; exStyle |= WS_EX_TOOLWINDOW; break;
      case BorderKind::SizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; exStyle |= WS_EX_TOOLWINDOW; break;
    }
    if (p.border != BorderKind::None && p.systemMenu) {
      style |= WS_SYSMENU;
      if (p.border != BorderKind::Dialog && p.border != BorderKind::ToolWindow && p.border != BorderKind::SizeToolWin) {
        if (p.minimizeBox) style |= WS_MINIMIZEBOX;
        if (p.maximizeBox) style |= WS_MAXIMIZEBOX;
      }
    }
  }
  if (p.visible) style |= WS_VISIBLE;
  if (!p.enabled) style |= WS_DISABLED;
  exStyle |= p.exStyle;
  return style | p.classStyle;
}

}  // namespace

NativeWindow::NativeWindow(WindowSink& sink) : impl_(std::make_unique<Impl>(sink)) {}

NativeWindow::~NativeWindow() {
  // The sink is going: nothing may reach it while the window goes.
  impl_->sink = nullptr;
  Destroy();
  if (impl_->font) DeleteObject(impl_->font);
}

void NativeWindow::Create(const WindowParams& p) {
  if (impl_->hwnd) return;
  DWORD exStyle = 0;
  DWORD style = styleFor(p, exStyle);
  std::wstring caption = Widen(p.caption);
  HWND parent = static_cast<HWND>(p.parent);
  const Rect& b = p.bounds;
  if (p.systemClass.empty()) {
    registerClassOnce();
    HWND h = CreateWindowExW(exStyle, kClassName, caption.c_str(), style, b.left, b.top, b.Width(), b.Height(), parent,
                             nullptr, GetModuleHandleW(nullptr), impl_.get());
    if (!h) throwWin32("CreateWindowExW", GetLastError());
  } else {
    loadControlLibrary(p.systemClass);
    std::wstring cls = Widen(p.systemClass);
    HWND h = CreateWindowExW(exStyle, cls.c_str(), caption.c_str(), style, b.left, b.top, b.Width(), b.Height(), parent,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!h) throwWin32("CreateWindowExW", GetLastError());
    impl_->hwnd = h;
    SetPropW(h, kBindingProp, impl_.get());
    impl_->systemProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassWndProc)));
  }
}

void NativeWindow::Destroy() {
  if (impl_->hwnd) DestroyWindow(impl_->hwnd);
  impl_->hwnd = nullptr;
}

bool NativeWindow::Exists() const { return impl_->hwnd != nullptr; }
WindowHandle NativeWindow::Handle() const { return impl_->hwnd; }

void NativeWindow::SetBounds(const Rect& b) {
  if (impl_->hwnd) SetWindowPos(impl_->hwnd, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect NativeWindow::Bounds() const { return impl_->hwnd ? impl_->bounds() : Rect{}; }

Size NativeWindow::ClientSize() const {
  RECT rc{};
  if (impl_->hwnd) GetClientRect(impl_->hwnd, &rc);
  return Size{rc.right, rc.bottom};
}

void NativeWindow::SetText(const std::string& utf8) {
  if (impl_->hwnd) SetWindowTextW(impl_->hwnd, Widen(utf8).c_str());
}

void NativeWindow::SetVisible(bool visible) {
  if (impl_->hwnd) ShowWindow(impl_->hwnd, visible ? SW_SHOW : SW_HIDE);
}

bool NativeWindow::IsVisible() const { return impl_->hwnd && IsWindowVisible(impl_->hwnd); }

void NativeWindow::SetEnabled(bool enabled) {
  if (impl_->hwnd) ::EnableWindow(impl_->hwnd, enabled);
}

void NativeWindow::SetShowState(ShowState state) {
  if (!impl_->hwnd) return;
  ShowWindow(impl_->hwnd, state == ShowState::Maximized ? SW_MAXIMIZE : state == ShowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
}

void NativeWindow::SetFont(const FontSpec& description) {
  if (!impl_->hwnd || !impl_->systemProc) return;
  LOGFONTW lf = LogFontOf(description);
  HFONT font = CreateFontIndirectW(&lf);
  SendMessageW(impl_->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (impl_->font) DeleteObject(impl_->font);
  impl_->font = font;
}

void NativeWindow::Invalidate() {
  if (impl_->hwnd) ::InvalidateRect(impl_->hwnd, nullptr, FALSE);
}

void NativeWindow::InvalidateRect(const Rect& r) {
  if (!impl_->hwnd) return;
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::InvalidateRect(impl_->hwnd, &rc, FALSE);
}

void NativeWindow::Update() {
  if (impl_->hwnd) UpdateWindow(impl_->hwnd);
}

void NativeWindow::BringToFront() {
  if (impl_->hwnd) SetWindowPos(impl_->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool NativeWindow::IsActive() const { return impl_->hwnd && GetActiveWindow() == impl_->hwnd; }

void NativeWindow::Post(int code) {
  if (impl_->hwnd) PostMessageW(impl_->hwnd, kPostedMessage, static_cast<WPARAM>(code), 0);
}

void NativeWindow::RefreshCursor() {
  if (!impl_->hwnd || !impl_->sink) return;
  POINT pt;
  GetCursorPos(&pt);
  if (WindowFromPoint(pt) != impl_->hwnd) return;
  int cursor = OverrideCursor();
  if (cursor == 0) cursor = impl_->sink->WindowCursor();
  SetCursor(CursorHandle(cursor));
}

std::string NativeWindow::Text() const {
  if (!impl_->hwnd) return {};
  int n = GetWindowTextLengthW(impl_->hwnd);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(impl_->hwnd, w.data(), n + 1);
  w.resize(n > 0 ? n : 0);
  return Narrow(w);
}

void NativeWindow::SetButtonCheck(bool checked) {
  impl_->checked = checked;
  if (impl_->hwnd) SendMessageW(impl_->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool NativeWindow::ButtonChecked() const {
  if (!impl_->hwnd) return impl_->checked;
  return SendMessageW(impl_->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void NativeWindow::SetButtonDefault(bool isDefault) {
  if (!impl_->hwnd) return;
  // An owner-drawn button keeps its type; it draws its default frame itself.
  if ((GetWindowLongPtrW(impl_->hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) {
    ::InvalidateRect(impl_->hwnd, nullptr, TRUE);
    return;
  }
  SendMessageW(impl_->hwnd, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void NativeWindow::SetProgress(int min, int max, int position) {
  if (!impl_->hwnd) return;
  SendMessageW(impl_->hwnd, PBM_SETRANGE32, min, max);
  SendMessageW(impl_->hwnd, PBM_SETPOS, position, 0);
}

void NativeWindow::SetReadOnly(bool readOnly) {
  if (impl_->hwnd) SendMessageW(impl_->hwnd, EM_SETREADONLY, readOnly, 0);
}

void NativeWindow::SetStyleBits(unsigned long mask, unsigned long bits) {
  if (!impl_->hwnd) return;
  LONG_PTR style = GetWindowLongPtrW(impl_->hwnd, GWL_STYLE);
  SetWindowLongPtrW(impl_->hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(mask)) | static_cast<LONG_PTR>(bits & mask));
  ::InvalidateRect(impl_->hwnd, nullptr, TRUE);
}

void NativeWindow::SetFocus() {
  if (impl_->hwnd) ::SetFocus(impl_->hwnd);
}

bool NativeWindow::Focused() const { return impl_->hwnd && GetFocus() == impl_->hwnd; }

void NativeWindow::ScrollToTop() {
  if (!impl_->hwnd) return;
  SendMessageW(impl_->hwnd, EM_SETSEL, 0, 0);
  SendMessageW(impl_->hwnd, EM_SCROLLCARET, 0, 0);
}

bool DispatchDialogKey(HWND target, int key) {
  for (HWND h = target; h; h = GetParent(h)) {
    NativeWindow::Impl* impl = implOf(h);
    if (impl && impl->sink && impl->sink->WindowDialogKey(key)) return true;
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

}  // namespace kestrune::platform::ui
