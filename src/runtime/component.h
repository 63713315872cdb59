// TComponent: named, owned objects with a loading state and removal notifications.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/persistent.h"

namespace kestrune {

class NameIndex;

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
  csLoading = 1,
  csReading = 2,
  csDestroying = 4,
  csFreeingComponents = 16,  // DestroyComponents is at work: removals are not forwarded
};

class TComponent : public TPersistent {
  KESTRUNE_CLASS()
 public:
  explicit TComponent(TComponent* owner);
  // Destroys the owned components (last first), tells every component of the owner and
  // every component that asked for it (FreeNotification) that this one goes.
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  // Renames; raises EComponentError for an invalid identifier or a name already used by
  // another component of the same owner.
  virtual void SetName(const std::string& name);
  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  // The owned component of that name (case-insensitive), or null.
  TComponent* FindComponent(std::string_view name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Destroys every owned component, last first, telling only this owner (and, through each
  // destructor, the components linked by FreeNotification) of each removal. Roots whose components call back into
  // them while going call it from their own destructor.
  void DestroyComponents();

  unsigned ComponentState() const { return state_; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  bool IsDestroying() const { return (state_ & csDestroying) != 0; }
  void SetLoading(bool on);
  // Called once the component and every other component of the stream are read and every
  // reference is resolved. Clears the loading state.
  virtual void Loaded();

  // Sent to the owner when a component is inserted into it; sent to the owner and every
  // component it owns (and to those that asked by FreeNotification) when one is removed,
  // except while the owner frees all its components (DestroyComponents), when only the
  // owner and those that asked are told.
  virtual void Notification(TComponent* component, TOperation operation);
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Visual parent used by the stream (a control placed on another control).
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) {}
  // The components written as children of this one in a stream whose root is root:
  // for the root, every owned component without a parent; for a control, its controls.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const;
  // True for forms and data modules: the roots that carry an install script.
  virtual bool IsFormOrDataModule() const { return false; }
  // Sets the root's field of that name to the component (forms with named fields).
  virtual void SetNamedField(const std::string& name, TComponent* component) {}

 protected:
  void ValidateRename(TComponent* component, const std::string& oldName, const std::string& newName) const;

 private:
  void indexName(TComponent* component);
  void unindexName(TComponent* component);

  std::string name_;
  int32_t tag_ = 0;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  // The components by name, made by FindComponent once there are many components.
  mutable std::unique_ptr<NameIndex> names_;
  unsigned state_ = 0;
};

bool IsValidIdent(std::string_view name);

}  // namespace kestrune
