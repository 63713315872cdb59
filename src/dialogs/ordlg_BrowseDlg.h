// The folder dialog: the system's folder browser with a path edit and a create-folder
// button of its own fitted into the browser window while it is open.
#pragma once
#include <functional>
#include <string>

#include "platform/folder_browser.h"
#include "runtime/component.h"
#include "ui/stdctrls.h"

namespace kestrune::dialogs {

class TOpenFolderDialog;

// The create-folder button in the browser window.
class TOFDCreateButton : public ui::TButton {
 public:
  TOFDCreateButton(TOpenFolderDialog* dialog, platform::ui::WindowHandle browser);
  void Click() override;

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;

 private:
  TOpenFolderDialog* dialog_;
  platform::ui::WindowHandle browser_;
};

// The path edit in the browser window: the selection follows what is typed.
class TOFDPathEdit : public ui::TEdit {
 public:
  TOFDPathEdit(TOpenFolderDialog* dialog, platform::ui::WindowHandle browser);

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void WindowCommand(int notifyCode) override;

 private:
  TOpenFolderDialog* dialog_;
  platform::ui::WindowHandle browser_;
};

class TOpenFolderDialog : public TComponent, private platform::ui::FolderBrowserSink {
 public:
  explicit TOpenFolderDialog(TComponent* owner);
  ~TOpenFolderDialog() override;

  // The start directory; after a confirmed run, the chosen one.
  std::string Directory;
  bool ShowCreateButton = true;
  bool ShowPathEdit = true;
  std::function<void(TComponent* Sender, bool& Allow)> OnBeforeCreateFolder;

  // Runs the browser; true when a directory was chosen (then in Directory). Creating a
  // folder closes the browser and opens it again on the new folder.
  bool Execute();

  // Blank after trimming: empty; an existing directory: itself; otherwise the same for
  // the path cut before its last backslash (empty when none is left).
  static std::string NearestExistingDirectory(const std::string& path);
  // The path the browser is told to select for a start directory: its nearest existing
  // ancestor, without a trailing backslash, except a drive root that keeps it.
  static std::string SelectionPath(const std::string& directory);

  // The steps the dialog's own controls run.
  void FollowEdit();
  void CreateFolder(TComponent* sender);

  // The controls while the browser is open (null otherwise).
  TOFDCreateButton* CreateButton() const { return createButton_; }
  TOFDPathEdit* PathEdit() const { return pathEdit_; }
  const std::string& CurrentPath() const { return currentPath_; }

 private:
  void BrowserInitialized(platform::ui::WindowHandle browser) override;
  void BrowserSelectionChanged(platform::ui::WindowHandle browser, const std::string& path) override;
  void freeControls();

  std::string currentPath_;
  bool restart_ = false, selecting_ = false, typing_ = false;
  int selectionChanges_ = 0;
  platform::ui::WindowHandle browser_ = nullptr, tree_ = nullptr, okButton_ = nullptr, cancelButton_ = nullptr;
  TOFDCreateButton* createButton_ = nullptr;
  TOFDPathEdit* pathEdit_ = nullptr;
};

}  // namespace kestrune::dialogs
