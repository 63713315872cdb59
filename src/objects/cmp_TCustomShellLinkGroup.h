// Shortcut folders: TCustomShellLinkGroup makes its folder before its shortcuts are
// created; TMainLinkGroup is the product's folder under the Start menu's Programs folder.
#pragma once
#include <vector>

#include "objects/cmp_TInstallContainer.h"

namespace kestrune {

class TCustomShellLinkGroup : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TCustomShellLinkGroup(TComponent* owner);
  int RegisteredType() const override { return rt::ShortcutGroup; }
  // Component call -991, the folder with its missing parents, then the shortcuts.
  void ProcessHelpers() override;
  // The group goes with its container.
  void ObjectDestroyed(TInstallContainer* object) override;
};

class TMainLinkGroup : public TCustomShellLinkGroup {
  KESTRUNE_CLASS()
 public:
  // Raises IEShellLinkGroup when a main link group exists already.
  explicit TMainLinkGroup(TComponent* owner);
  ~TMainLinkGroup() override;
  // The folder stays under the Programs folder whatever the container.
  void SetContainer(TInstallContainer* value) override;
  // Always the form's psProgramMenu, whatever is given.
  void SetDestDirType(TCustomPathSpecifier* value) override;
};

class TShellLinkGroupList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomShellLinkGroup* Items(int index) const { return items_.at(index); }
  void Add(TCustomShellLinkGroup* item);
  void Remove(TCustomShellLinkGroup* item);

 private:
  std::vector<TCustomShellLinkGroup*> items_;
};

// ShellLinkGroups() and MainLinkGroup() are in objects/run_state.h.

}  // namespace kestrune
