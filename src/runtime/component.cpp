// TComponent: ownership, names, loading state and notifications.
#include "runtime/component.h"

#include <algorithm>

#include "runtime/exceptions.h"
#include "runtime/name_index.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TComponent::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TComponent::Name, &TComponent::SetName>("Name").StoredIf([](const TPersistent&) { return false; }),
      prop<&TComponent::Tag, &TComponent::SetTag>("Tag").Default(0)};
  static const ClassInfo info{"TComponent", &TPersistent::classInfo(), nullptr, props};
  return info;
}

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!alpha(name[0])) return false;
  for (char c : name)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Those that asked to be told (references across owners) forget this component. The link
  // is taken out on both sides before the other is told, so that its own clean-up finds
  // nothing left to look for.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    RemoveFreeNotification(other);
    other->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

namespace {

// Owners with this many components or more find names through an index (see FindComponent).
constexpr size_t kNameIndexFrom = 32;

// Takes item out of list, looking from the end: components go last first, and a link made
// last is usually undone first.
bool eraseFromBack(std::vector<TComponent*>& list, TComponent* item) {
  auto it = std::find(list.rbegin(), list.rend(), item);
  if (it == list.rend()) return false;
  list.erase(std::next(it).base());
  return true;
}

}  // namespace

void TComponent::indexName(TComponent* component) {
  if (!names_ || component->name_.empty()) return;
  // One component per name: a component of a name already indexed takes its place.
  const uint32_t hash = NameIndex::Hash(component->name_);
  TComponent* before = nullptr;
  names_->Any(hash, [&](NameIndex::Value v) {
    auto* c = reinterpret_cast<TComponent*>(v);
    if (!NameIndex::SameName(c->name_, component->name_)) return false;
    before = c;
    return true;
  });
  if (before) names_->Remove(hash, reinterpret_cast<NameIndex::Value>(before));
  names_->Add(hash, reinterpret_cast<NameIndex::Value>(component));
}

void TComponent::unindexName(TComponent* component) {
  if (names_ && !component->name_.empty())
    names_->Remove(NameIndex::Hash(component->name_), reinterpret_cast<NameIndex::Value>(component));
}

void TComponent::DestroyComponents() {
  // Every component goes, so the others need not each be told of every removal (that was
  // quadratic in the number of components): only the owner itself hears of each one, to
  // clear its own fields and lists. References between components are FreeNotification
  // links, which each destructor still undoes on both sides and reports to the holder.
  const bool wasFreeing = (state_ & csFreeingComponents) != 0;
  state_ |= csFreeingComponents;
  try {
    while (!components_.empty()) {
      TComponent* c = components_.back();
      Notification(c, TOperation::opRemove);
      // The owner's handler may have freed or taken out others; c is looked for again.
      if (!eraseFromBack(components_, c)) continue;
      unindexName(c);
      c->owner_ = nullptr;
      delete c;
    }
  } catch (...) {
    if (!wasFreeing) state_ &= ~csFreeingComponents;
    throw;
  }
  if (!wasFreeing) state_ &= ~csFreeingComponents;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("''%s'' is not a valid component name", {name});
  if (owner_) {
    owner_->ValidateRename(this, name_, name);
    owner_->unindexName(this);
  }
  name_ = name;
  if (owner_) owner_->indexName(this);
}

void TComponent::ValidateRename(TComponent* component, const std::string& oldName, const std::string& newName) const {
  if (newName.empty() || SameText(oldName, newName)) return;
  TComponent* other = FindComponent(newName);
  if (other && other != component) throw EComponentError("A component named %s already exists", {newName});
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  // A script of thousands of components looks each name up as it is read and again for
  // every reference: beyond a few dozen components the owner keeps an index of the names.
  if (!names_ && components_.size() >= kNameIndexFrom) {
    names_ = std::make_unique<NameIndex>();
    names_->Reserve(components_.size());
    for (TComponent* c : components_) const_cast<TComponent*>(this)->indexName(c);
  }
  if (names_) {
    TComponent* found = nullptr;
    names_->Any(NameIndex::Hash(name), [&](NameIndex::Value v) {
      auto* c = reinterpret_cast<TComponent*>(v);
      if (!NameIndex::SameName(c->name_, name)) return false;
      found = c;
      return true;
    });
    return found;
  }
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  ValidateRename(component, "", component->name_);
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  indexName(component);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, TOperation::opRemove);
  if (eraseFromBack(components_, component)) unindexName(component);
  component->owner_ = nullptr;
}

void TComponent::SetLoading(bool on) {
  if (on) state_ |= csLoading | csReading;
  else state_ &= ~(csLoading | csReading);
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  // An insertion concerns only the owner; nothing below it holds a reference to a component
  // not yet made. While the owner frees all its components, only the owner is told.
  if (operation == TOperation::opInsert || (state_ & csFreeingComponents)) return;
  // Forward to every owned component; the list may shrink while we walk it.
  for (size_t i = 0; i < components_.size(); ++i) {
    TComponent* c = components_[i];
    if (c != component) c->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
    component->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component || component == this) return;
  // A link is held on both sides, so the shorter list tells whether there is one: a path
  // specifier that thousands of files refer to is not searched for each of them.
  std::vector<TComponent*>& mine = freeNotifies_;
  std::vector<TComponent*>& theirs = component->freeNotifies_;
  if (mine.size() <= theirs.size()) {
    if (eraseFromBack(mine, component)) eraseFromBack(theirs, this);
  } else if (eraseFromBack(theirs, this)) {
    eraseFromBack(mine, component);
  }
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  if (this != root) return;
  for (TComponent* c : components_)
    if (!c->HasParent() || c->GetParentComponent() == nullptr || c->GetParentComponent() == root) proc(c);
}

}  // namespace kestrune
