// TComponent: ownership, names, loading state and notifications.
#include "runtime/component.h"

#include <algorithm>

#include "runtime/exceptions.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TComponent::classInfo() {
  static const ClassInfo info{"TComponent", &TPersistent::classInfo(), nullptr,
                              {prop<&TComponent::Name, &TComponent::SetName>("Name").StoredIf([](const TPersistent&) { return false; }),
                               prop<&TComponent::Tag, &TComponent::SetTag>("Tag").Default(0)}};
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
  // Those that asked to be told (references across owners) forget this component.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    other->RemoveFreeNotification(this);
    other->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    RemoveComponent(c);
    delete c;
  }
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("''%s'' is not a valid component name", {name});
  if (owner_) owner_->ValidateRename(this, name_, name);
  name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& oldName, const std::string& newName) const {
  if (newName.empty() || SameText(oldName, newName)) return;
  TComponent* other = FindComponent(newName);
  if (other && other != component) throw EComponentError("A component named %s already exists", {newName});
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
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
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  Notification(component, TOperation::opRemove);
  it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::SetLoading(bool on) {
  if (on) state_ |= csLoading | csReading;
  else state_ &= ~(csLoading | csReading);
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
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
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it != freeNotifies_.end()) {
    freeNotifies_.erase(it);
    component->RemoveFreeNotification(this);
  }
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  if (this != root) return;
  for (TComponent* c : components_)
    if (!c->HasParent() || c->GetParentComponent() == nullptr || c->GetParentComponent() == root) proc(c);
}

}  // namespace kestrune
