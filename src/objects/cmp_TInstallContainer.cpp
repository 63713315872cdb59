// The install object tree: helper order, processing walk, containers and file-related objects.
#include "objects/cmp_TInstallContainer.h"

#include <algorithm>
#include <unordered_set>

#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/parameters.h"
#include "objects/cmp_TPathSpecifier.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

// Takes item out of list, looking from the end: a tree is freed last first.
template <typename T>
bool eraseFromBack(std::vector<T*>& list, const T* item) {
  auto it = std::find(list.rbegin(), list.rend(), item);
  if (it == list.rend()) return false;
  list.erase(std::next(it).base());
  return true;
}

}  // namespace

void TInstallContainerList::Add(TInstallContainer* item) {
  if (!item) throw IEContainerList("Cannot add a blank entry to the TInstallContainerList object");
  items_.push_back(item);
  live_.insert(item);
}

void TInstallContainerList::Remove(TInstallContainer* item) {
  if (live_.erase(item)) eraseFromBack(items_, item);
}

int RegisteredTypeOfClass(const ClassInfo& cls) {
  static const std::pair<const char*, int> kTypes[] = {
      {"TFileContainer", rt::FileContainer},      {"TCustomInstallFile", rt::InstallFile},
      {"TCustomShellLinkGroup", rt::ShortcutGroup}, {"TCustomInstallShellLink", rt::Shortcut},
      {"TGrabCall", rt::Dialog},                  {"TCustomBaseInstallDlg", rt::Dialog},
      {"TDialogManager", rt::Dialog},             {"TInstallStatusDlg", rt::Dialog}};
  for (const ClassInfo* c = &cls; c; c = c->parent)
    for (const auto& [name, type] : kTypes)
      if (c->name == name) return type;
  return 0;
}

namespace {

IEInstallContainer nestingError(const TInstallContainer& object) {
  return IEInstallContainer("%s is nested more than %d levels deep in the install object tree", {object.Name(), kMaxInstallNesting});
}

}  // namespace

int TInstallContainer::NestingLevel() const {
  const TInstallContainer* c = this;
  for (int level = 0; level <= kMaxInstallNesting; ++level) {
    c = c->ContainerRef();
    if (!c) return level;
  }
  // Too many links. Only on this error path is the whole chain walked, to tell a circle
  // from a chain that is merely too long.
  std::unordered_set<const TInstallContainer*> seen;
  for (c = this; c; c = c->ContainerRef())
    if (!seen.insert(c).second)
      throw IEInstallContainer("%s has a Container chain that runs in a circle (through %s)", {Name(), c->Name()});
  throw nestingError(*this);
}

void CheckInstallTreeNesting(const TComponent& owner) {
  for (int i = 0; i < owner.ComponentCount(); ++i)
    if (const auto* c = As<TInstallContainer>(owner.Components(i))) c->NestingLevel();
}

TComponent* OwnerForm(const TComponent* component) {
  TComponent* owner = component ? component->Owner() : nullptr;
  return owner && owner->IsFormOrDataModule() ? owner : nullptr;
}

// ---- TInstallContainer ----

const ClassInfo& TInstallContainer::classInfo() {
  static const ClassInfo info{"TInstallContainer", &TComponent::classInfo(), nullptr, {}};
  return info;
}

TInstallContainer::TInstallContainer(TComponent* owner) : TComponent(owner) {
  if (TComponent* form = OwnerForm(this)) StandardPathSpecifiers().CreateStandardSpecifiers(this, form, true);
  InstallContainers().Add(this);
}

TInstallContainer::~TInstallContainer() {
  // Only these can refer to this container: those that list it as a helper, its helpers
  // (their Container) and the shortcuts (their ObjectLink). Telling just them, not every
  // container alive, keeps freeing a tree of thousands of objects linear. A receiver may
  // free itself and others with it, so each is looked for among the live ones before its
  // call. Receivers only compare the pointer: the derived parts of this object are gone.
  TInstallContainerList& all = InstallContainers();
  std::vector<TInstallContainer*> told(heldBy_.rbegin(), heldBy_.rend());
  told.insert(told.end(), helpers_.rbegin(), helpers_.rend());
  TInstallShellLinkList& links = InstallShellLinks();
  for (int i = links.Count() - 1; i >= 0; --i) told.push_back(links.Items(i));
  // The helpers no longer have this container to tell when they go.
  for (TInstallContainer* h : helpers_) eraseFromBack(h->heldBy_, this);
  helpers_.clear();
  for (TInstallContainer* other : told)
    if (other != this && all.Contains(other)) other->ObjectDestroyed(this);
  for (TInstallContainer* holder : heldBy_)
    if (all.Contains(holder)) eraseFromBack(holder->helpers_, this);
  all.Remove(this);
}

TInstallContainer* TInstallContainer::Helpers(int index) const {
  if (index < 0 || index >= HelperCount())
    throw IEInstallContainer(
        "Tried to reference a helper component in the following component: %s. The following index was used: %d",
        {Name(), index});
  return helpers_[index];
}

TInstallContainer* TInstallContainer::Comp(int index, const ClassInfo& cls) const {
  int n = 0;
  for (TInstallContainer* h : helpers_)
    if (h->InheritsFrom(cls) && n++ == index) return h;
  int type = RegisteredTypeOfClass(cls);
  throw IEInstallContainer(
      "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer component. The parameters are "
      "probably reversed. Index: %d, ComponentType: %d",
      {index, type});
}

int TInstallContainer::CountOf(const ClassInfo& cls) const {
  return static_cast<int>(std::count_if(helpers_.begin(), helpers_.end(), [&](TInstallContainer* h) { return h->InheritsFrom(cls); }));
}

void TInstallContainer::FreeHelpersOf(const ClassInfo& cls) {
  for (int i = HelperCount() - 1; i >= 0; --i) {
    if (i >= HelperCount()) continue;
    TInstallContainer* h = helpers_[i];
    if (h->InheritsFrom(cls)) delete h;
  }
}

void TInstallContainer::CallExternalComponents(TInstallContainer* sender, int componentCall, TPersistent* po) {
  // Only dialogs take the call. The helpers are kept in the order of their types and the
  // dialogs' type is the highest, so they are the tail of the list: a progress call from
  // a container of thousands of files (one per file and step) does not ask every file its
  // type. A handler may change the helper list (a dialog frees itself), so the dialogs are
  // taken first and each is looked for again before its call.
  auto tail = helpers_.end();
  while (tail != helpers_.begin() && (*(tail - 1))->RegisteredType() == rt::Dialog) --tail;
  const std::vector<TInstallContainer*> dialogs(tail, helpers_.end());
  for (TInstallContainer* h : dialogs)
    if (std::find(helpers_.begin(), helpers_.end(), h) != helpers_.end()) h->HandleMessage(sender, componentCall, po);
}

void TInstallContainer::ShowStatusMessage(const std::string& text) {
  TMessageParameter param;
  param.Message = text;
  CallExternalComponents(this, cc::ShowStatus, &param);
}

void TInstallContainer::HideStatusMessage() { CallExternalComponents(this, cc::HideStatus, nullptr); }

int TInstallContainer::RegisteredType() const { throw IEInstallContainer("Class must declare a registered type"); }

void TInstallContainer::AddHelper(TInstallContainer* helper) {
  if (!helper) throw IEInstallContainer("Cannot add a blank base helper component to %s", {Name()});
  // Following Container links upward from this container must never meet the helper.
  // The walk is bounded, so that loading a long chain stays linear.
  int level = 0;  // the helper's level once added
  for (const TInstallContainer* c = this; c; c = c->ContainerRef()) {
    if (c == helper) throw IEInstallContainer("Circular reference");
    if (++level > kMaxInstallNesting) {
      if (IsLoading()) break;
      throw nestingError(*helper);
    }
  }
  int type = helper->RegisteredType();
  size_t index = helpers_.size();
  // The database engine group keeps the first place: nothing sorts in front of it.
  size_t first = !helpers_.empty() && SameText(helpers_[0]->ClassName(), "TINSTALLBDE") ? 1 : 0;
  // The types never fall along the list (from first on), so a helper whose type is above
  // the last one's, or equal to it without an order of its own, goes to the end: a script
  // of thousands of files in one container is read without a walk over the list per file.
  const bool toEnd = helpers_.size() > first &&
                     (helpers_.back()->RegisteredType() < type ||
                      (helper->Order() == -1 && helpers_.back()->RegisteredType() == type));
  for (size_t i = toEnd ? helpers_.size() : first; i < helpers_.size(); ++i) {
    int t = helpers_[i]->RegisteredType();
    if (t > type || (t == type && helper->Order() != -1 && helpers_[i]->Order() >= helper->Order())) {
      index = i;
      break;
    }
  }
  if (SameText(helper->ClassName(), "TINSTALLBDE")) index = 0;
  helpers_.insert(helpers_.begin() + static_cast<std::ptrdiff_t>(index), helper);
  helper->heldBy_.push_back(this);
  if (!IsLoading()) RenumberHelpers();
}

void TInstallContainer::Loaded() {
  TComponent::Loaded();
  NestingLevel();
  // The engine at the root checks the whole tree: it acts on the tree in its own Loaded,
  // before the components after it in the stream have been checked.
  IInstallEngine* engine = CurrentEngine();
  if (engine && engine->EngineContainer() == this && Owner()) CheckInstallTreeNesting(*Owner());
}

void TInstallContainer::RemoveHelper(TInstallContainer* helper) {
  if (!helper) return;
  if (eraseFromBack(helpers_, helper)) eraseFromBack(helper->heldBy_, this);
  // While the owner frees all its components the numbers are of no more use: renumbering
  // the rest at every removal would make freeing a container of thousands quadratic.
  TComponent* owner = Owner();
  if (owner && (owner->ComponentState() & csFreeingComponents)) return;
  if (!IsLoading()) RenumberHelpers();
}

void TInstallContainer::RenumberHelpers() {
  int counter = 0;
  int previous = 0;
  bool first = true;
  for (TInstallContainer* h : helpers_) {
    int t = h->RegisteredType();
    if (first || t != previous) counter = 0;
    first = false;
    previous = t;
    h->order_ = counter++;
  }
}

void TInstallContainer::ObjectDestroyed(TInstallContainer* object) {
  if (std::find(helpers_.rbegin(), helpers_.rend(), object) != helpers_.rend()) RemoveHelper(object);
}

void TInstallContainer::Process() {
  try {
    if (OnBeforeProcess) OnBeforeProcess(this);
    CallExternalComponents(this, cc::BeforeProcess, nullptr);
    if (!include_) return;
    CallExternalComponents(this, cc::Included, nullptr);
    if (!(currentInstallType_ == TInstallType::itAlways || currentInstallType_ == TInstallType::itCustom ||
          installTypes_.Contains(TInstallType::itAlways) || installTypes_.Contains(currentInstallType_)))
      return;
    ProcessHelpers();
    processed_ = true;
    if (IInstallEngine* engine = CurrentEngine())
      WriteUninstallInfo("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + engine->EngineProductName());
    if (OnAfterProcess) OnAfterProcess(this);
    CallExternalComponents(this, cc::AfterProcess, nullptr);
  } catch (const EAbort&) {
    // A handler skipped this object's step.
  }
}

void TInstallContainer::ProcessHelpers() {
  processed_ = true;
  std::vector<TInstallContainer*> copy = helpers_;
  for (TInstallContainer* h : copy)
    if (h->Processable()) h->Process();
}

bool TInstallContainer::IsIncluded() const {
  if (!include_) return false;
  return currentInstallType_ == TInstallType::itAlways || currentInstallType_ == TInstallType::itCustom ||
         installTypes_.Contains(TInstallType::itAlways) || installTypes_.Contains(currentInstallType_);
}

void TInstallContainer::SetInstallTypes(TInstallTypes value) {
  if (value.Empty() || (value.Contains(TInstallType::itAlways) && !installTypes_.Contains(TInstallType::itAlways))) {
    installTypes_ = TInstallTypes{TInstallType::itAlways};
    return;
  }
  TInstallTypes rest = value;
  rest.Exclude(TInstallType::itAlways);
  installTypes_ = rest.Empty() ? value : rest;
}

void TInstallContainer::SetCurrentInstallType(TInstallType type) {
  for (TInstallContainer* h : helpers_) h->SetCurrentInstallType(type);
  currentInstallType_ = type;
}

std::string TInstallContainer::GetDestDir() const {
  std::string path = destDirType_ ? destDirType_->GetPath(this) + destDir_.str() : destDir_.str();
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

void TInstallContainer::SetDestDir(const std::string& value) { destDir_ = value; }

void TInstallContainer::SetDestDirType(TCustomPathSpecifier* value) {
  if (value && !IsLoading()) value->CheckObject(this);
  destDirType_ = value;
  if (value) value->FreeNotification(this);
}

void TInstallContainer::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component && component == destDirType_) destDirType_ = nullptr;
}

// ---- TInstallObject ----

const ClassInfo& TInstallObject::classInfo() {
  static const ClassInfo info{"TInstallObject", &TInstallContainer::classInfo(), nullptr, {}};
  return info;
}

void TInstallObject::SetContainer(TInstallContainer* value) {
  containerAssigned_ = true;
  if (value == container_) return;
  if (value) value->AddHelper(this);
  if (container_) container_->RemoveHelper(this);
  container_ = value;
  if (IsLoading()) return;
  if (value) {
    TComponent* form = OwnerForm(this);
    destDirType_ = form ? FindStandardSpecifier<TpsContainerDestDir>() : nullptr;
    if (destDirType_) destDirType_->FreeNotification(this);
    destDir_.clear();
  } else if (destDirType_ && destDirType_->Is<TpsContainerDestDir>()) {
    destDirType_ = nullptr;
  }
}

void TInstallObject::ObjectDestroyed(TInstallContainer* object) {
  TInstallContainer::ObjectDestroyed(object);
  if (object == container_) container_ = nullptr;
}

}  // namespace kestrune
