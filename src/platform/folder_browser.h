// The system's folder browser (file-system folders only), run modally, with the calls the
// folder dialog needs to fit controls of its own into the browser window while it is open.
#pragma once
#include <optional>
#include <string>

#include "platform/ui_canvas.h"
#include "platform/ui_window.h"

namespace kestrune::platform::ui {

// What the browser tells while it runs. The calls come from inside the browser's modal
// loop; an exception they raise is reported to the callback exception handler and goes
// no further.
class FolderBrowserSink {
 public:
  virtual ~FolderBrowserSink() = default;
  // The browser window exists and may be changed.
  virtual void BrowserInitialized(WindowHandle browser) = 0;
  // The selection moved; path is empty for an item without a file-system path.
  virtual void BrowserSelectionChanged(WindowHandle browser, const std::string& path) = 0;
};

// Runs the folder browser owned by the active window with the title above its tree.
// Returns the chosen folder's path, or nothing when the user cancelled (or no browser
// exists, as in the headless build).
std::optional<std::string> BrowseForFolder(const std::string& title, FolderBrowserSink& sink);

enum class BrowserPart { Tree, OkButton, CancelButton };
// A part of an open browser: the first child window whose class starts with "SYSTREE"
// (the tree), the first and second whose class starts with "BUTTON" (OK, Cancel).
WindowHandle FindBrowserPart(WindowHandle browser, BrowserPart part);
// A child's rectangle in the browser's client coordinates, and moving it there.
Rect ChildRect(WindowHandle browser, WindowHandle child);
void SetChildRect(WindowHandle child, const Rect& r);
// Keeps the tree's selection shown while the tree has no focus.
void KeepTreeSelectionShown(WindowHandle tree);
// Moves the browser's selection to the folder of that path.
void SelectBrowserPath(WindowHandle browser, const std::string& path);
bool WindowEnabled(WindowHandle window);
// Presses a button of the browser as a click would (posted: it acts after the caller
// returns to the browser's loop).
void PressBrowserButton(WindowHandle browser, WindowHandle button);
// Lets controls of the toolkit that stand in the browser window hear their notifications
// (the browser's own procedure would not pass them on). Called once per browser window.
void RouteBrowserCommands(WindowHandle browser);

// String number of a system library ("comdlg32.dll", "shell32.dll", ...) loaded from the
// system directory, up to 4096 characters; empty when any step fails.
std::string LoadSystemString(const std::string& library, int number);

}  // namespace kestrune::platform::ui
