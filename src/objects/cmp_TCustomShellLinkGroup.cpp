// Shortcut folders and the main link group.
#include "objects/cmp_TCustomShellLinkGroup.h"

#include <algorithm>

#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/component_calls.h"
#include "objects/engine_seam.h"
#include "objects/cmp_TPathSpecifier.h"
#include "paths/routines_ExpandPaths.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"

namespace kestrune {

namespace {

// The form's built-in specifier of that class; null when there is none.
template <class T>
TCustomPathSpecifier* standardOrNull() {
  try {
    return FindStandardSpecifier<T>();
  } catch (const IEPathSpecifier&) {
    return nullptr;
  }
}
}  // namespace



void TShellLinkGroupList::Add(TCustomShellLinkGroup* item) { items_.push_back(item); }
void TShellLinkGroupList::Remove(TCustomShellLinkGroup* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
}

const ClassInfo& TCustomShellLinkGroup::classInfo() {
  static const ClassInfo info{"TCustomShellLinkGroup", &TInstallObject::classInfo(), nullptr, {}};
  return info;
}

TCustomShellLinkGroup::TCustomShellLinkGroup(TComponent* owner) : TInstallObject(owner) {
  processable_ = true;
  SetInclude(true);
}

void TCustomShellLinkGroup::ProcessHelpers() {
  CallExternalComponents(this, cc::ShortcutGroup, nullptr);
  CreateDirectories(GetDestDir());
  TInstallContainer::ProcessHelpers();
}

void TCustomShellLinkGroup::ObjectDestroyed(TInstallContainer* object) {
  const bool ownContainer = object && object == container_;
  TInstallObject::ObjectDestroyed(object);
  if (ownContainer && Owner() && !IsDestroying()) {
    DetachDestroyedHelper(object);
    delete this;
  }
}

const ClassInfo& TMainLinkGroup::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container"),
      prop<&TInstallContainer::DestDir, &TInstallContainer::SetDestDir>("DestDir"),
      prop<&TInstallContainer::Include, &TInstallContainer::SetInclude>("Include").Default(1),
      eventProp("OnBeforeProcess"),
      eventProp("OnAfterProcess")};
  static const ClassInfo info{"TMainLinkGroup", &TCustomShellLinkGroup::classInfo(), create<TMainLinkGroup>, props};
  return info;
}

TMainLinkGroup::TMainLinkGroup(TComponent* owner) : TCustomShellLinkGroup(owner) {
  if (MainLinkGroup()) throw IEShellLinkGroup("You can only have one TMainLinkGroup component in your project");
  SetDestDirType(nullptr);
  IInstallEngine* engine = CurrentEngine();
  destDir_ = "\\" + (engine ? engine->EngineProductName() : std::string("MainFolderName"));
  SetMainLinkGroup(this);
}

TMainLinkGroup::~TMainLinkGroup() {
  if (MainLinkGroup() == this) SetMainLinkGroup(nullptr);
}

void TMainLinkGroup::SetContainer(TInstallContainer* value) {
  // A container changes the tree's order, never the folder.
  const std::string dir = destDir_;
  TCustomShellLinkGroup::SetContainer(value);
  destDir_ = dir;
  SetDestDirType(nullptr);
}

void TMainLinkGroup::SetDestDirType(TCustomPathSpecifier*) {
  TCustomShellLinkGroup::SetDestDirType(standardOrNull<TpsProgramMenu>());
}

}  // namespace kestrune
