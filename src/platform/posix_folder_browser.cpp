// The folder browser without a window system: nothing is ever chosen.
#include "platform/folder_browser.h"

namespace kestrune::platform::ui {

std::optional<std::string> BrowseForFolder(const std::string&, FolderBrowserSink&) { return std::nullopt; }
WindowHandle FindBrowserPart(WindowHandle, BrowserPart) { return nullptr; }
Rect ChildRect(WindowHandle, WindowHandle) { return {}; }
void SetChildRect(WindowHandle, const Rect&) {}
void KeepTreeSelectionShown(WindowHandle) {}
void SelectBrowserPath(WindowHandle, const std::string&) {}
bool WindowEnabled(WindowHandle) { return false; }
void PressBrowserButton(WindowHandle, WindowHandle) {}
void RouteBrowserCommands(WindowHandle) {}
std::string LoadSystemString(const std::string&, int) { return {}; }

}  // namespace kestrune::platform::ui
