// File containers: the engine, file groups and the database engine group. They run the
// install, compress and copy walks over their part of the tree, keep the byte totals of
// the running operation and pass their files' reports up to the engine.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "objects/cmp_TCustomInstallFile.h"
#include "objects/file_status_parameter.h"
#include "runtime/strings.h"

namespace kestrune {

using TAfterInstallObjectsEvent = std::function<void(TInstallContainer* Container, bool WasAborted)>;

enum class TOperationState { osNone = 0, osCompress = 1, osInstall = 2, osCopy = 3 };

class TFileContainer : public TFileRelated {
  KESTRUNE_CLASS()
 public:
  explicit TFileContainer(TComponent* owner);
  ~TFileContainer() override;
  int RegisteredType() const override { return rt::FileContainer; }

  int FileCount() const;
  TCustomInstallFile* Files(int index) const;
  bool HasNetFiles() const;

  void DoInformationEventControl(TInstallContainer* sender, int eventID, TPersistent* po) override;
  virtual void DoNewDisk(TCustomInstallFile* file, TDiskParameter& param);
  virtual void DoReplacing(TCustomInstallFile* file);
  virtual void DoStatus(TCustomInstallFile* file, TFileStatusParameter& param);

  virtual int64_t SumSizes(bool includeAll, bool withContainers) const;
  int64_t FilesSize(bool includeAll) const { return SumSizes(includeAll, false); }
  int64_t TotalSize(bool includeAll) const { return SumSizes(includeAll, true); }
  virtual int64_t PackedSize(bool includeAll) const;

  // 1 compresses, 2 installs (Process), 3 copies; OperationState returns to 0 afterwards.
  virtual void SetState(TOperationState operation);
  TOperationState OperationState() const { return operationState_; }
  int64_t OperationSize() const { return operationSize_; }
  int64_t DoneBytes() const { return doneBytes_; }

  void ProcessHelpers() override;  // the install walk
  void InstallObjects();
  virtual void CopyFiles();
  virtual void DeleteFiles();
  virtual void Compress(TCompressOptions options);
  // The source files Compress will add, in its order (with includeAll, the excluded ones
  // too): what the archive engine may compress ahead. A file a handler leaves out or adds
  // costs only the work done ahead.
  void CompressPlan(std::vector<std::string>& sources, bool includeAll) const;
  virtual TCustomInstallFile* FindFile(const std::string& sourcePath) const;
  // Raises IEFileContainer when the archive has not been downloaded.
  virtual std::string GetLocalArchiveFile() const;
  virtual void ReadInfoFromArchive();
  virtual void ReadInfoFromFiles();
  virtual bool NeedsArchiveDownload() const;
  bool InfoRead() const { return infoRead_; }

  // Published settings.
  bool AllowChangeDir() const { return allowChangeDir_; }
  void SetAllowChangeDir(bool v) { allowChangeDir_ = v; }
  bool AllowChoice() const { return allowChoice_; }
  void SetAllowChoice(bool v) { allowChoice_ = v; }
  TStringList* Description() const { return description_; }
  void SetDescription(const TStrings& value) { description_->Assign(value); }
  const std::string& GroupName() const { return groupName_; }
  void SetGroupName(const std::string& v) { groupName_ = v; }

  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;
  TInstallFileNotifyEvent OnReplacing;
  TInstallContainerNotifyEvent OnBeforeInstallObjects;
  TAfterInstallObjectsEvent OnAfterInstallObjects;

 protected:
  // Recomputes the totals of a progress report against this container's figures.
  void applyStatus(TCustomInstallFile* file, TFileStatusParameter& param);
  void skippedFileStatus(TCustomInstallFile* file);
  // True while the container above runs that operation: it has read the information of
  // this container's files with its own, and reading it again at every level would make
  // a walk quadratic in the depth of the tree.
  bool insideOperationOfContainer(TOperationState state) const;
  // The body of Compress, inside its operation.
  void compressHelpers(TCompressOptions options);
  // Runs a compress or copy operation: OperationState is set for its duration and the
  // operation is closed with component call -996 in every case (on an error the error
  // that ended it is the one passed on).
  template <class F>
  void runOperation(TOperationState state, F&& body) {
    operationState_ = state;
    try {
      body();
    } catch (...) {
      operationState_ = TOperationState::osNone;
      try {
        CallExternalComponents(this, cc::OperationEnd, nullptr);
      } catch (...) {
      }
      throw;
    }
    operationState_ = TOperationState::osNone;
    CallExternalComponents(this, cc::OperationEnd, nullptr);
  }

  TOperationState operationState_ = TOperationState::osNone;
  int64_t operationSize_ = 0;
  int64_t doneBytes_ = 0;
  bool allowChangeDir_ = true;
  bool allowChoice_ = true;
  TStringList* description_;
  std::string groupName_;
  bool infoRead_ = false;
};

// Cursor ids of the hourglass a container shows while it reads or installs
// (SetContainerCursor, runtime/seams.h).
inline constexpr int crDefault = 0;
inline constexpr int crHourGlass = -11;

}  // namespace kestrune
