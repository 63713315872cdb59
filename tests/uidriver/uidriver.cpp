// UI driver for tests: finds top-level windows by caption and controls by text or class,
// clicks buttons, ticks boxes, reads texts of message boxes and controls, lists windows.
//
//   uidriver wait PATTERN [TIMEOUT_MS]        wait for a visible top-level window
//   uidriver gone PATTERN [TIMEOUT_MS]        wait until no such window is left
//   uidriver list [-r]                        top-level windows (and their controls)
//   uidriver texts PATTERN                    class and text of every control of the window
//   uidriver msgbox PATTERN [TIMEOUT_MS]      wait for a message box, print its message
//   uidriver click PATTERN BUTTON             press a button (text without '&')
//   uidriver check PATTERN BOX on|off         set a check box or radio button as a user would
//   uidriver state PATTERN CONTROL            "visible|hidden enabled|disabled checked|unchecked"
//   uidriver type PATTERN CLASS TEXT          replace the text of the first visible writable
//                                             control of that class, a character at a time
//   uidriver close PATTERN                    ask the window to close
//   uidriver rect PATTERN                     screen rectangle: left top width height
//   uidriver client PATTERN                   client area on the screen: left top width height
//
// PATTERN matches a caption exactly, or with a leading and/or trailing '*' as a wildcard.
// Texts are UTF-8 on output. Exit code 0 on success, 1 when not found or timed out, 2 for
// a usage error.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

void out(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::wstring textOf(HWND h) {
  wchar_t buf[4096];
  // WM_GETTEXT with a timeout: a hung target must not hang the driver.
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &len)) return {};
  return std::wstring(buf, len);
}

std::wstring classOf(HWND h) {
  wchar_t buf[256];
  int n = GetClassNameW(h, buf, 256);
  return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring withoutAccel(const std::wstring& s) {
  std::wstring r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'&' && i + 1 < s.size()) {
      ++i;
    }
    r += s[i];
  }
  return r;
}

bool matches(const std::wstring& pattern, const std::wstring& text) {
  bool lead = !pattern.empty() && pattern.front() == L'*';
  bool trail = pattern.size() > 1 && pattern.back() == L'*';
  std::wstring core = pattern.substr(lead ? 1 : 0, pattern.size() - (lead ? 1 : 0) - (trail ? 1 : 0));
  if (lead && trail) return text.find(core) != std::wstring::npos;
  if (lead) return text.size() >= core.size() && text.compare(text.size() - core.size(), core.size(), core) == 0;
  if (trail) return text.compare(0, core.size(), core) == 0;
  return text == core;
}

BOOL CALLBACK collect(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::vector<HWND> topLevel() {
  std::vector<HWND> v;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&v));
  return v;
}

std::vector<HWND> children(HWND parent) {
  std::vector<HWND> v;
  EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&v));
  return v;
}

HWND findWindow(const std::wstring& pattern, const wchar_t* cls = nullptr) {
  for (HWND h : topLevel())
    if (IsWindowVisible(h) && matches(pattern, textOf(h)) && (!cls || classOf(h) == cls)) return h;
  return nullptr;
}

HWND waitWindow(const std::wstring& pattern, DWORD timeout, const wchar_t* cls = nullptr) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = findWindow(pattern, cls)) return h;
    if (GetTickCount() - start >= timeout) return nullptr;
    Sleep(50);
  }
}

// The first control with that text that a user can see (a hidden page's buttons are not
// found), else the first hidden one.
HWND findControl(HWND window, const std::wstring& text) {
  HWND hidden = nullptr;
  for (HWND c : children(window))
    if (matches(text, withoutAccel(textOf(c)))) {
      if (IsWindowVisible(c)) return c;
      if (!hidden) hidden = c;
    }
  return hidden;
}

std::string describe(HWND h) {
  RECT rc{};
  GetWindowRect(h, &rc);
  char head[160];
  std::snprintf(head, sizeof head, "%p\t%d %d %d %d\t%s\t", static_cast<void*>(h), static_cast<int>(rc.left),
                static_cast<int>(rc.top), static_cast<int>(rc.right - rc.left), static_cast<int>(rc.bottom - rc.top),
                IsWindowVisible(h) ? "visible" : "hidden");
  return head + utf8(classOf(h)) + "\t" + utf8(textOf(h));
}

int usage() {
  std::fputs("usage: uidriver wait|gone|list|texts|msgbox|click|check|state|type|close|rect|client ...\n", stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return usage();
  std::wstring cmd = argv[1];
  auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
  DWORD timeout = 10000;

  if (cmd == L"list") {
    bool deep = arg(2) == L"-r";
    for (HWND h : topLevel()) {
      out(describe(h));
      if (deep)
        for (HWND c : children(h)) out("  " + describe(c));
    }
    return 0;
  }
  if (argc < 3) return usage();
  std::wstring pattern = arg(2);
  if ((cmd == L"wait" || cmd == L"gone" || cmd == L"msgbox") && argc > 3) timeout = wcstoul(argv[3], nullptr, 10);

  if (cmd == L"wait") {
    HWND h = waitWindow(pattern, timeout);
    if (!h) return 1;
    out(describe(h));
    return 0;
  }
  if (cmd == L"gone") {
    DWORD start = GetTickCount();
    while (findWindow(pattern)) {
      if (GetTickCount() - start >= timeout) return 1;
      Sleep(50);
    }
    return 0;
  }
  if (cmd == L"msgbox") {
    // A message box is a dialog (#32770) whose message is the static control 0xFFFF.
    // The box can be found while it is still being built: wait for its text too.
    DWORD start = GetTickCount();
    for (;;) {
      HWND h = waitWindow(pattern, timeout, L"#32770");
      if (!h) return 1;
      HWND text = GetDlgItem(h, 0xFFFF);
      std::wstring message = text ? textOf(text) : std::wstring();
      if (!message.empty() || GetTickCount() - start >= timeout) {
        out(utf8(message));
        return 0;
      }
      Sleep(50);
    }
  }
  HWND window = findWindow(pattern);
  if (!window) {
    std::fputs("window not found\n", stderr);
    return 1;
  }
  if (cmd == L"texts") {
    for (HWND c : children(window)) out(utf8(classOf(c)) + "\t" + utf8(textOf(c)));
    return 0;
  }
  if (cmd == L"rect" || cmd == L"client") {
    RECT rc{};
    if (cmd == L"rect") {
      GetWindowRect(window, &rc);
    } else {
      GetClientRect(window, &rc);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    }
    char buf[80];
    std::snprintf(buf, sizeof buf, "%d %d %d %d", static_cast<int>(rc.left), static_cast<int>(rc.top),
                  static_cast<int>(rc.right - rc.left), static_cast<int>(rc.bottom - rc.top));
    out(buf);
    return 0;
  }
  if (cmd == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (cmd == L"state") {
    HWND control = argc > 3 ? findControl(window, arg(3)) : nullptr;
    if (!control) {
      std::fputs("control not found\n", stderr);
      return 1;
    }
    std::string state = IsWindowVisible(control) ? "visible" : "hidden";
    state += IsWindowEnabled(control) ? " enabled" : " disabled";
    state += SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? " checked" : " unchecked";
    out(state);
    return 0;
  }
  if (cmd == L"type") {
    if (argc < 5) return usage();
    for (HWND c : children(window)) {
      if (!IsWindowVisible(c) || _wcsicmp(classOf(c).c_str(), arg(3).c_str()) != 0) continue;
      if (GetWindowLongW(c, GWL_STYLE) & ES_READONLY) continue;
      // As typing does: the old text selected, then each character on its own.
      SendMessageW(c, EM_SETSEL, 0, -1);
      SendMessageW(c, WM_CHAR, VK_BACK, 0);
      for (wchar_t ch : arg(4)) SendMessageW(c, WM_CHAR, ch, 0);
      return 0;
    }
    std::fputs("control not found\n", stderr);
    return 1;
  }
  if (cmd == L"click" || cmd == L"check") {
    if (argc < 4) return usage();
    HWND control = findControl(window, arg(3));
    if (!control) {
      std::fputs("control not found\n", stderr);
      return 1;
    }
    if (cmd == L"check") {
      bool want = arg(4) != L"off";
      LRESULT state = SendMessageW(control, BM_GETCHECK, 0, 0);
      if ((state == BST_CHECKED) == want) return 0;
    }
    // Posted, as a click is: the button's handler may open a modal loop of its own.
    PostMessageW(control, BM_CLICK, 0, 0);
    return 0;
  }
  return usage();
}
