// The folder dialog.
#include "dialogs/ordlg_BrowseDlg.h"

#include "paths/routines_ExpandPaths.h"
#include "routines/routines_Strings.h"
#include "runtime/sysutils.h"
#include "ui/input_box.h"

namespace kestrune::dialogs {

namespace pui = platform::ui;

namespace {

// Texts of the system's libraries, with the kit's own where the system has none.
std::string systemText(const char* library, int number, const char* fallback) {
  std::string text = pui::LoadSystemString(library, number);
  return text.empty() ? fallback : text;
}
std::string createButtonText() { return systemText("comdlg32.dll", 703, "Nová složka"); }
std::string newFolderPrompt() { return systemText("shell32.dll", 8977, "Název nové složky:"); }
std::string browserTitle() {
  // The title is a format with one string argument, given empty.
  std::string title = systemText("shell32.dll", 9248, "Vyberte cílový adresář");
  for (size_t at; (at = title.find("%1")) != std::string::npos;) title.erase(at, 2);
  for (size_t at; (at = title.find("%s")) != std::string::npos;) title.erase(at, 2);
  return title;
}

}  // namespace

// ---- the controls in the browser window ----

TOFDCreateButton::TOFDCreateButton(TOpenFolderDialog* dialog, pui::WindowHandle browser)
    : ui::TButton(dialog), dialog_(dialog), browser_(browser) {}

void TOFDCreateButton::CreateParams(pui::WindowParams& params) {
  ui::TButton::CreateParams(params);
  params.parent = browser_;
  params.child = true;
}

void TOFDCreateButton::Click() {
  ui::TButton::Click();
  dialog_->CreateFolder(this);
}

TOFDPathEdit::TOFDPathEdit(TOpenFolderDialog* dialog, pui::WindowHandle browser)
    : ui::TEdit(dialog), dialog_(dialog), browser_(browser) {}

void TOFDPathEdit::CreateParams(pui::WindowParams& params) {
  ui::TEdit::CreateParams(params);
  params.parent = browser_;
  params.child = true;
}

void TOFDPathEdit::WindowCommand(int notifyCode) {
  // Only what the user types moves the selection (the dialog's own changes of the text
  // come back as notifications too, with the text already known).
  std::string before = Text();
  ui::TEdit::WindowCommand(notifyCode);
  if (Text() != before) dialog_->FollowEdit();
}

// ---- the dialog ----

TOpenFolderDialog::TOpenFolderDialog(TComponent* owner) : TComponent(owner) {}

TOpenFolderDialog::~TOpenFolderDialog() { freeControls(); }

void TOpenFolderDialog::freeControls() {
  delete createButton_;
  delete pathEdit_;
  createButton_ = nullptr;
  pathEdit_ = nullptr;
}

std::string TOpenFolderDialog::NearestExistingDirectory(const std::string& path) {
  std::string p = path;
  for (;;) {
    if (Trim(p).empty()) return {};
    if (DirectoryExists(p)) return p;
    size_t cut = p.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    p.resize(cut);
  }
}

std::string TOpenFolderDialog::SelectionPath(const std::string& directory) {
  std::string path = NearestExistingDirectory(directory);
  return path.size() > 3 ? RemoveBackslash(path) : AddBackslash(path);
}

bool TOpenFolderDialog::Execute() {
  // A created folder reopens the browser there: a loop rather than a call per folder.
  for (;;) {
    restart_ = selecting_ = typing_ = false;
    freeControls();
    browser_ = tree_ = okButton_ = cancelButton_ = nullptr;
    struct Cleanup {
      TOpenFolderDialog* d;
      ~Cleanup() {
        d->freeControls();
        d->browser_ = d->tree_ = d->okButton_ = d->cancelButton_ = nullptr;
      }
    } cleanup{this};
    std::optional<std::string> chosen = pui::BrowseForFolder(browserTitle(), *this);
    bool result = false;
    if (chosen && ShowPathEdit) {
      CreateDirectories(currentPath_);
      Directory = currentPath_;
      result = true;
    } else if (chosen) {
      Directory = chosen->substr(0, 260);
      result = true;
    }
    if (!restart_) return result;
    Directory = currentPath_;
  }
}

void TOpenFolderDialog::BrowserInitialized(pui::WindowHandle browser) {
  browser_ = browser;
  tree_ = pui::FindBrowserPart(browser, pui::BrowserPart::Tree);
  okButton_ = pui::FindBrowserPart(browser, pui::BrowserPart::OkButton);
  cancelButton_ = pui::FindBrowserPart(browser, pui::BrowserPart::CancelButton);
  pui::Rect treeRect = tree_ ? pui::ChildRect(browser, tree_) : pui::Rect{};
  pui::Rect okRect = okButton_ ? pui::ChildRect(browser, okButton_) : pui::Rect{};
  pui::Rect cancelRect = cancelButton_ ? pui::ChildRect(browser, cancelButton_) : pui::Rect{};
  pui::RouteBrowserCommands(browser);
  if (ShowCreateButton) {
    pui::Rect r{20, 230, 140, 253};
    if (okButton_ && cancelButton_) {
      int shift = cancelRect.left - okRect.left;
      r = {okRect.left - shift, okRect.top - 22, okRect.right - shift, okRect.bottom - 22};
    }
    createButton_ = new TOFDCreateButton(this, browser);
    createButton_->SetCaption(createButtonText());
    createButton_->SetBounds(tree_ ? treeRect.left : r.left, r.top, r.right - (tree_ ? treeRect.left : r.left), r.Height());
    createButton_->HandleNeeded();
  }
  if (ShowPathEdit) {
    // The tree gives up 60 pixels; the edit (one line high) goes 15 below it.
    pui::Rect r{20, 230, 140, 252};
    if (tree_) {
      treeRect.bottom -= 60;
      pui::SetChildRect(tree_, treeRect);
      if (okButton_) r = {treeRect.left, treeRect.bottom + 15, treeRect.right, treeRect.bottom + 37};
    }
    pathEdit_ = new TOFDPathEdit(this, browser);
    pathEdit_->SetBounds(r.left, r.top, r.Width(), r.Height());
    pathEdit_->HandleNeeded();
  }
  if (tree_) pui::KeepTreeSelectionShown(tree_);
  selecting_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{selecting_};
  const std::string start = SelectionPath(Directory);
  selectionChanges_ = 0;
  pui::SelectBrowserPath(browser, start);
  // A browser that cannot find the folder in its tree (some list a folder whose name needs
  // a short alias under an item the parsed path does not match) leaves its selection
  // where it was: the edit and the current path still start on the folder asked for.
  if (selectionChanges_ == 0 && !start.empty()) {
    currentPath_ = start;
    if (pathEdit_) pathEdit_->SetText(start);
  }
}

void TOpenFolderDialog::BrowserSelectionChanged(pui::WindowHandle, const std::string& path) {
  ++selectionChanges_;
  currentPath_ = path;
  if (pathEdit_ && !typing_) pathEdit_->SetText(path);
  // The create button goes with OK: only a file-system folder can hold a new one.
  if (createButton_ && okButton_) createButton_->SetVisible(!path.empty());
}

void TOpenFolderDialog::FollowEdit() {
  if (selecting_ || !pathEdit_ || !browser_) return;
  typing_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{typing_};
  pui::SelectBrowserPath(browser_, pathEdit_->Text());
  currentPath_ = pathEdit_->Text();
}

void TOpenFolderDialog::CreateFolder(TComponent* sender) {
  bool allow = true;
  if (OnBeforeCreateFolder) OnBeforeCreateFolder(sender, allow);
  if (!allow) return;
  // A blank edit names no folder to make: the name is asked for, as for an existing one.
  if (!pathEdit_ || Trim(pathEdit_->Text()).empty() || DirectoryExists(pathEdit_->Text())) {
    std::string name;
    std::string caption = createButtonText();
    for (size_t at; (at = caption.find('&')) != std::string::npos;) caption.erase(at, 1);
    if (!ui::InputQuery(caption, newFolderPrompt(), name)) return;
    currentPath_ = AddBackslash(currentPath_) + name;
  } else {
    currentPath_ = pathEdit_->Text();
  }
  CreateDirectories(currentPath_);
  restart_ = true;
  if (browser_ && okButton_) pui::PressBrowserButton(browser_, okButton_);
}

}  // namespace kestrune::dialogs
