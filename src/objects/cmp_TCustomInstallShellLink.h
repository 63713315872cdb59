// Shortcuts: shell links (.lnk), Internet shortcuts (.url) and Program Manager items,
// usually pointing at another install object of the script through ObjectLink, and the
// path specifier psObjectLink that yields the linked object's location.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "objects/cmp_TInstallContainer.h"
#include "objects/cmp_TPathSpecifier.h"

namespace kestrune {

enum class TMethodType { mtAutoDetect, mtShellLinkInterface, mtProgramManager };
const EnumType& EnumTypeInfo(TMethodType);

class TCustomInstallShellLink : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TCustomInstallShellLink(TComponent* owner);
  ~TCustomInstallShellLink() override;
  int RegisteredType() const override { return rt::Shortcut; }

  // Initialises COM on this thread once; raises IEInstallShellLink when that fails.
  virtual void InitializeShellLink();
  virtual void CreateProgramManagerItem();
  virtual void CreateShellLink();
  virtual void CreateInternetShortcut();

  const std::string& LinkName() const { return linkName_; }
  virtual void SetLinkName(const std::string& value);
  const std::string& ObjectLocation() const { return objectLocation_; }
  virtual void SetObjectLocation(const std::string& value);
  TCustomPathSpecifier* ObjectLocationType() const { return objectLocationType_; }
  virtual void SetObjectLocationType(TCustomPathSpecifier* value);
  TInstallContainer* ObjectLink() const { return objectLink_; }
  virtual void SetObjectLink(TInstallContainer* value);
  // The full target: the specifier's path + ObjectLocation; without a specifier
  // ObjectLocation with one trailing backslash removed.
  virtual std::string GetObjectLocation() const;

  const std::string& Parameters() const { return parameters_; }
  void SetParameters(const std::string& value) { parameters_ = value; }
  uint16_t HotKey() const { return hotKey_; }
  void SetHotKey(uint16_t value) { hotKey_ = value; }
  TMethodType Method() const { return method_; }
  void SetMethod(TMethodType value) { method_ = value; }
  bool ComReady() const { return comReady_; }
  // The shortcut's file: GetDestDir + backslash + LinkName.
  std::string LinkPath() const;

  // Creates the shortcut when its target was processed, then its own helpers.
  void ProcessHelpers() override;
  void WriteUninstallInfo(const std::string& key) override;
  // The shortcut goes with its ObjectLink or its Container.
  void ObjectDestroyed(TInstallContainer* object) override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  // Destroys this shortcut from a notification (when it is owned, so its owner held it
  // on the heap); a shortcut going already, or one without owner, only forgets.
  void destroySelf(TInstallContainer* destroyed);
  // Parameters with meta variables expanded; the uninstaller's product name as it is.
  std::string arguments() const;

  std::string linkName_;
  TInstallContainer* objectLink_ = nullptr;
  std::string objectLocation_;
  TCustomPathSpecifier* objectLocationType_ = nullptr;
  std::string parameters_;
  uint16_t hotKey_ = 0;
  TMethodType method_ = TMethodType::mtAutoDetect;
  bool comReady_ = false;
  // This run made the shortcut's file (or Program Manager item).
  bool created_ = false;
  // The shortcut starts the uninstaller: its parameters are the product name as it is.
  bool startsUninstaller_ = false;
};

class TInstallShellLink : public TCustomInstallShellLink {
  KESTRUNE_CLASS()
 public:
  using TCustomInstallShellLink::TCustomInstallShellLink;
};

// A shortcut in the main link group: its container is always that group and its
// destination the group's folder.
class TInstallMainLink : public TCustomInstallShellLink {
  KESTRUNE_CLASS()
 public:
  // Raises IEInstallShellLink when there is no main link group.
  explicit TInstallMainLink(TComponent* owner);
  ~TInstallMainLink() override;
  void SetContainer(TInstallContainer* value) override;
  void SetDestDirType(TCustomPathSpecifier* value) override;
};

class TpsObjectLink : public TStandardPathSpecifier {
  KESTRUNE_CLASS()
 public:
  explicit TpsObjectLink(TComponent* owner);
  std::string GetDescription() const override;
  // The object must be a shortcut with an ObjectLink; raises IEPathSpecifier.
  void CheckObject(const TInstallContainer* object) const override;
  // The linked install file's destination path, or the linked object's GetDestDir.
  std::string GetPath(const TInstallContainer* object) const override;
};

class TInstallShellLinkList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomInstallShellLink* Items(int index) const { return items_.at(index); }
  // Raises IEInstallShellLinkList for a null entry.
  void Add(TCustomInstallShellLink* item);
  void Remove(TCustomInstallShellLink* item);

 private:
  std::vector<TCustomInstallShellLink*> items_;
};

// InstallShellLinks() and InstallMainLinks() are in objects/run_state.h.

// Takes an object that is being destroyed out of every helper list before an object that
// goes with it is destroyed too: the lists renumber their helpers, which the half-destroyed
// object can no longer answer.
void DetachDestroyedHelper(TInstallContainer* object);

void registerShellLinkClasses(ClassRegistry& registry);

}  // namespace kestrune
