// The install object tree: containers with ordered helper lists, install objects with a
// container, and file-related objects with an archive location and network download.
#pragma once
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "objects/install_types.h"
#include "objects/run_state.h"
#include "runtime/component.h"
#include "runtime/shared_text.h"
#include "runtime/rare_function.h"

namespace kestrune {

class TCustomPathSpecifier;
class TCustomNetInstallLocation;
class TInstallContainer;

// How far below the root of its tree an install object may stand (the root is level 0).
// Every walk over the tree recurses once per level, so the limit keeps the stack and the
// time of a walk bounded; real scripts use three or four levels. A script whose Container
// chains go deeper, or run in a circle, fails to load with IEInstallContainer.
inline constexpr int kMaxInstallNesting = 64;

using TInstallContainerNotifyEvent = std::function<void(TInstallContainer* Container)>;
using TDataReceivedEvent = std::function<void(TComponent* Sender, const std::string& FileName, int32_t Bytes,
                                              int32_t TotalBytes, int32_t FileSize, const void* Buffer)>;

class TInstallContainer : public TComponent {
  KESTRUNE_CLASS()
 public:
  explicit TInstallContainer(TComponent* owner);
  ~TInstallContainer() override;

  // Helper queries.
  int HelperCount() const { return static_cast<int>(helpers_.size()); }
  // Raises IEInstallContainer for an index outside 0..HelperCount-1.
  TInstallContainer* Helpers(int index) const;
  // The index-th helper (0-based) of that class or a descendant, in helper order.
  TInstallContainer* Comp(int index, const ClassInfo& cls) const;
  int CountOf(const ClassInfo& cls) const;
  // Destroys, last first, every helper of that class.
  void FreeHelpersOf(const ClassInfo& cls);
  const std::vector<TInstallContainer*>& HelperList() const { return helpers_; }

  virtual int FileContainerCount() const;
  virtual TInstallContainer* FileContainers(int index) const;

  // Sends a component call to every direct helper whose RegisteredType is 9000.
  void CallExternalComponents(TInstallContainer* sender, int componentCall, TPersistent* po);
  virtual void ShowStatusMessage(const std::string& text);
  void HideStatusMessage();
  virtual void DoInformationEventControl(TInstallContainer* sender, int eventID, TPersistent* po) {}
  virtual void HandleMessage(TInstallContainer* container, int componentCall, TPersistent* po) {}

  // Raises IEInstallContainer "Class must declare a registered type" unless overridden.
  virtual int RegisteredType() const;
  // Raises "Circular reference" when the helper is this object or above it, and the
  // nesting error when the helper would stand deeper than kMaxInstallNesting. While
  // loading, the upward walk stops at the limit: the check after loading reports it.
  virtual void AddHelper(TInstallContainer* helper);
  virtual void RemoveHelper(TInstallContainer* helper);
  void RenumberHelpers();
  virtual void ObjectDestroyed(TInstallContainer* object);

  virtual void Process();
  virtual void ProcessHelpers();
  virtual bool IsIncluded() const;
  virtual void CompleteAfterReboot() {}
  virtual void UpdateLanguage() {}
  virtual void WriteUninstallInfo(const std::string& key) {}
  // Sets CurrentInstallType on every helper (first) and on this object.
  void SetCurrentInstallType(TInstallType type);

  // Full destination directory: the specifier's path for this object + DestDir, one
  // trailing backslash removed; without a specifier DestDir alone.
  virtual std::string GetDestDir() const;

  // Properties.
  const std::string& DestDir() const { return destDir_; }
  virtual void SetDestDir(const std::string& value);
  TCustomPathSpecifier* DestDirType() const { return destDirType_; }
  virtual void SetDestDirType(TCustomPathSpecifier* value);
  int32_t Order() const { return order_; }
  virtual void SetOrder(int32_t value) { order_ = value; }
  bool Include() const { return include_; }
  void SetInclude(bool value) { include_ = value; }
  TInstallTypes InstallTypes() const { return installTypes_; }
  void SetInstallTypes(TInstallTypes value);
  TInstallType CurrentInstallType() const { return currentInstallType_; }
  bool Processable() const { return processable_; }
  bool Processed() const { return processed_; }
  void SetProcessed(bool value) { processed_ = value; }
  // The container whose helper this is (install objects); null for the bare container.
  virtual TInstallContainer* ContainerRef() const { return nullptr; }
  // The number of Container links above this object (0 for a root). Raises
  // IEInstallContainer when there are more than kMaxInstallNesting or they run in a circle.
  int NestingLevel() const;

  // Checks this object's place in the tree once its references are resolved.
  void Loaded() override;

  // One pointer each (RareFunction): a script has thousands of containers and sets these on few.
  RareEvent<TInstallContainerNotifyEvent> OnBeforeProcess;
  RareEvent<TInstallContainerNotifyEvent> OnAfterProcess;

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  bool processable_ = false;
  SharedText destDir_;
  TCustomPathSpecifier* destDirType_ = nullptr;
  int32_t order_ = -1;

 private:
  std::vector<TInstallContainer*> helpers_;
  // The containers that list this one among their helpers (its Container, as a rule).
  std::vector<TInstallContainer*> heldBy_;
  bool include_ = true;
  bool processed_ = false;
  TInstallTypes installTypes_{TInstallType::itAlways};
  TInstallType currentInstallType_ = TInstallType::itAlways;
};

class TInstallObject : public TInstallContainer {
  KESTRUNE_CLASS()
 public:
  explicit TInstallObject(TComponent* owner) : TInstallContainer(owner) {}
  TInstallContainer* Container() const { return container_; }
  virtual void SetContainer(TInstallContainer* value);
  TInstallContainer* ContainerRef() const override { return container_; }
  void ObjectDestroyed(TInstallContainer* object) override;
  bool ContainerAssigned() const { return containerAssigned_; }

 protected:
  TInstallContainer* container_ = nullptr;
  bool containerAssigned_ = false;
};

// Drops what an installation learnt of the install record's kept downloads; called when a
// run starts.
void ForgetLocalFileRecords();

class TFileRelated : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TFileRelated(TComponent* owner);

  void SetContainer(TInstallContainer* value) override;
  void SetOrder(int32_t value) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // Archive location.
  const std::string& ArchiveFile() const { return archiveFile_; }
  virtual void SetArchiveFile(const std::string& value);
  TCustomPathSpecifier* ArchiveFileType() const { return archiveFileType_; }
  virtual void SetArchiveFileType(TCustomPathSpecifier* value);
  // Full archive file path: the specifier's path + ArchiveFile, one trailing backslash removed.
  virtual std::string GetArchiveFile() const;
  TlzhCommand AddToArchive() const { return addToArchive_; }
  void SetAddToArchive(TlzhCommand value) { addToArchive_ = value; }

  // Network distribution.
  bool Net() const { return net_; }
  virtual void SetNet(bool value) { net_ = value; }
  TCustomNetInstallLocation* NetLocation() const { return netLocation_; }
  virtual void SetNetLocation(TCustomNetInstallLocation* value);
  // The object's own location; else, for an install file in a file container, the
  // container's; else the engine's.
  TCustomNetInstallLocation* FindNetLocation() const;
  // Relative directory that mirrors the location on disk; raises IEFileRel_NoNetLocation.
  std::string NetPath() const;
  const std::string& LocalArchiveFile() const { return localArchiveFile_; }
  void SetLocalArchiveFile(const std::string& value) { localArchiveFile_ = value; }
  // The "LocalFile" value of this object under the install record, when that file exists.
  bool FindLocalFile(std::string& path) const;
  virtual bool ArchiveIsLocal() const;
  virtual void RememberLocalFile(const std::string& path);
  // Deletes the downloaded copy of the archive and empties its record: the next run
  // downloads the archive again.
  void ForgetLocalFile();
  virtual void DownloadArchive();
  virtual void DataReceived(TComponent* sender, const std::string& fileName, int32_t bytes, int32_t totalBytes,
                            int32_t fileSize, const void* buffer);

  RareEvent<TDataReceivedEvent> OnDataReceived;

 protected:
  SharedText archiveFile_;
  TCustomPathSpecifier* archiveFileType_ = nullptr;
  TlzhCommand addToArchive_ = TlzhCommand::lzcOverwrite;
  bool net_ = true;
  TCustomNetInstallLocation* netLocation_ = nullptr;
  SharedText localArchiveFile_;
};

// Plain list of the live containers (InstallContainers(), objects/run_state.h).
class TInstallContainerList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TInstallContainer* Items(int index) const { return items_.at(index); }
  // Raises IEContainerList for a null entry.
  void Add(TInstallContainer* item);
  void Remove(TInstallContainer* item);
  // Whether the container is alive (in the list).
  bool Contains(const TInstallContainer* item) const { return live_.count(item) != 0; }

 private:
  std::vector<TInstallContainer*> items_;
  std::unordered_set<const TInstallContainer*> live_;
};

// Checks the nesting level of every install container owned by owner (see
// kMaxInstallNesting). Linear in the number of containers. The engine runs it before
// acting on a loaded tree, because components later in the stream have not yet been
// checked when its own Loaded runs.
void CheckInstallTreeNesting(const TComponent& owner);

// The RegisteredType number instances of that class answer (0 for the bare container).
int RegisteredTypeOfClass(const ClassInfo& cls);

// The form or data module that owns the object, when its owner is one.
TComponent* OwnerForm(const TComponent* component);

}  // namespace kestrune
