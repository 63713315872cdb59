// Install files: one file of the product. At build time it compresses its source into an
// archive; during the run it decides whether the destination is replaced, extracts its
// member, ties the file into the system (in-use replacement, shared-DLL counts, help and
// ActiveX registration) and records itself in the uninstall list.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/archive_types.h"
#include "archive/cmp_TFileHeaders.h"
#include "objects/cmp_TInstallContainer.h"
#include "runtime/shared_text.h"

namespace kestrune {

class TCustomInstallFile;
class TKstrCompress;
using TInstallFileNotifyEvent = std::function<void(TCustomInstallFile* InstallFile)>;
using TInstallFileStatusEvent = std::function<void(TCustomInstallFile* InstallFile, int32_t FilePercentDone, int32_t TotalPercentDone)>;
using TInstallFileNewDiskEvent = std::function<void(TCustomInstallFile* InstallFile, int32_t NewDisk, std::string& Path)>;

enum class TInstallFileType { iftNormal, iftJustADLL, iftApplicationSpecificDLL, iftVendorSharedDLL, iftSystemWideDLL };
const EnumType& EnumTypeInfo(TInstallFileType);

enum class TInstallFileState { ifsNone, ifsCompress, ifsInstall, ifsCopying };
const EnumType& EnumTypeInfo(TInstallFileState);

class TCustomInstallFile : public TFileRelated {
  KESTRUNE_CLASS()
 public:

  explicit TCustomInstallFile(TComponent* owner);
  // IncludeFromDir := the directory of the path, FileName := its file name.
  TCustomInstallFile(TComponent* owner, const std::string& sourcePath);
  // The same, then Container := container.
  TCustomInstallFile(TComponent* owner, TInstallContainer* container, const std::string& sourcePath);
  ~TCustomInstallFile() override;
  int RegisteredType() const override { return rt::InstallFile; }

  void DefineProperties(Filer& filer) override;

  // Setters that run the property check when the file is not being loaded.
  void SetContainer(TInstallContainer* value) override;
  void SetDestDir(const std::string& value) override;
  void SetDestDirType(TCustomPathSpecifier* value) override;
  const std::string& FileName() const { return fileName_; }
  virtual void SetFileName(const std::string& value);
  const std::string& IncludeFromDir() const { return includeFromDir_; }
  virtual void SetIncludeFromDir(const std::string& value);
  const std::string& DestName() const { return destName_; }
  virtual void SetDestName(const std::string& value);
  TInstallFileType FileType() const { return fileType_; }
  virtual void SetFileType(TInstallFileType value);
  bool ActiveX() const { return activeX_; }
  virtual void SetActiveX(bool value);

  // IncludeFromDir with a backslash added when missing, + FileName.
  std::string SourcePath() const;
  // GetDestDir with a backslash added when missing, + DestName.
  std::string DestPath() const;
  // For network distributions while installing: the downloaded archive (own or the
  // container's); otherwise the specifier's location.
  std::string GetArchiveFile() const override;

  TOverwriteType OverwriteMode() const { return overwriteMode_; }
  void SetOverwriteMode(TOverwriteType v) { overwriteMode_ = v; }
  bool RegisterAsHelp() const { return registerAsHelp_; }
  void SetRegisterAsHelp(bool v) { registerAsHelp_ = v; }
  bool UpdateDLLCounter() const { return updateDLLCounter_; }
  void SetUpdateDLLCounter(bool v) { updateDLLCounter_ = v; }
  bool RunAfterInstall() const { return runAfterInstall_; }
  void SetRunAfterInstall(bool v) { runAfterInstall_ = v; }
  TInstallFileState State() const { return state_; }
  // ifsCompress runs Compress, ifsInstall Process, ifsCopying Copy; State is ifsNone after.
  virtual void SetState(TInstallFileState value);

  int32_t Size() const { return size_; }
  void SetSize(int32_t v) { size_ = v; }
  int32_t PackedSize() const { return packedSize_; }
  void SetPackedSize(int32_t v) { packedSize_ = v; }
  double FileDate() const { return fileDate_; }
  void SetFileDate(double v) { fileDate_ = v; }
  const std::string& FileVersion() const { return fileVersion_; }
  void SetFileVersion(const std::string& v) { fileVersion_ = v.substr(0, 20); }
  bool InfoRead() const { return infoRead_; }
  void SetInfoRead(bool v) { infoRead_ = v; }
  int32_t UniqueID() const { return uniqueID_; }
  // Moves the file to another identifier of the identifier table.
  void SetUniqueID(int32_t value);
  bool ExistedBefore() const { return existedBefore_; }
  bool InstallIt() const { return installIt_; }
  bool NeedsReboot() const { return needsReboot_; }
  int CompressedMark() const { return compressedMark_; }
  void SetCompressedMark(int v) { compressedMark_ = v; }
  bool NetArchiveMark() const { return netArchiveMark_; }
  void SetNetArchiveMark(bool v) { netArchiveMark_ = v; }
  const std::string& LastArchiveFile() const { return lastArchiveFile_; }
  // True when NetLocation is assigned or the file is replaced by version or date: such a
  // file keeps a network archive of its own and is downloaded only when it is installed.
  bool HasOwnNetArchive() const;

  // The install step.
  void ProcessHelpers() override;
  void WriteUninstallInfo(const std::string& key) override;
  // After a restart: registers the ActiveX server that had to wait.
  void CompleteAfterReboot() override;

  virtual void RaiseUserAbort();
  virtual void Compress();
  virtual void Copy();
  // Size, packed size, date and version from the archive member whose identifier is
  // UniqueID; nothing changes when no member carries it.
  virtual void ReadInfoFromArchive();
  // Size, date and version of the source file; raises IECustomInstallFile when it cannot
  // be found. In the build's walk the version is left to Compress, which takes it from the
  // member it writes.
  virtual void ReadInfoFromFile();

  // Replacement and registration.
  // Makes sure the destination can be replaced (the extraction replaces it once the new
  // file is complete; it is not deleted first), or, when it is in use, arranges its
  // replacement at the next restart and makes the file extract under a free numbered name.
  virtual void ReleaseDestination();
  virtual bool IsSelfRegistering();
  // Adds one to the file's shared-DLL counter (under its short name when one is kept
  // there). Raises IECustomInstallFile when the SharedDLLs key cannot be opened; false when
  // the key is open but the counter cannot be written.
  virtual bool IncrementSharedDLLCount();
  virtual void RegisterDllServer();
  virtual void RegisterExeServer();
  // ".EXE" files register by running, everything else through DllRegisterServer.
  void RegisterActiveX();
  // Help registration, shared-DLL count, ActiveX registration (or its deferral).
  void PostInstallSteps();

  // Handlers given to the archive engine.
  std::string NewDiskHandler(TKstrCompress& engine, int disk);
  void StatusHandler(TKstrCompress& engine, TlzhFileStats& stats);

  // Schedules the move of source onto target for the next restart; the platform's delayed
  // move unless replaced (tests make it fail to reach the batch-file fallback).
  static std::function<void(const std::string& source, const std::string& target)> MoveAfterReboot;

  // One pointer each (RareFunction): a script has thousands of files and sets these on few.
  RareEvent<TInstallFileNotifyEvent> OnBeforeCompress, OnAfterCompress, OnBeforeCopy, OnAfterCopy, OnBeforeInstall,
      OnAfterInstall, OnReplacing;
  RareEvent<TInstallFileStatusEvent> OnStatus;
  RareEvent<TInstallFileNewDiskEvent> OnNewDisk;

 protected:
  // The property check: the eight values, the changed one in place of the current.
  // Raises IECustomInstallFile when DestName is not blank and not a plain file name (a
  // folder in it, a drive, "." or "..", a character no file name holds): the file would be
  // written elsewhere than the uninstall list, the shortcuts and the counters say.
  void CheckDestName(const std::string& destName) const;
  void CheckProperties(TInstallContainer* container, std::string destName, std::string fileName,
                       std::string includeFromDir, std::string destDir, TCustomPathSpecifier* destDirType,
                       TInstallFileType fileType, bool activeX);
  // Reports an EventID to the container.
  void report(int eventID, TPersistent* po);
  // ReleaseDestination for the install step, which has just looked for the destination:
  // a destination found missing there is not looked for again.
  void releaseDestination(bool mayExist);
  // The install step's extraction, from choosing the archive engine to the post-install
  // steps.
  void installFromArchive();
  static bool failureSparesDownload();
  void extractWith(TKstrCompress& engine);
  void readInfoFrom(const std::string& archive);
  // Writes the line of a destination in use into WININIT.INI, schedules a delayed move or
  // falls back to a batch file run once at the next start.
  void scheduleReplacement(const std::string& busy, const std::string& waiting, const std::string& waitingLong);

  std::string fileName_;
  // Texts that many files hold alike (or few hold at all) are shared: a pointer each.
  SharedText includeFromDir_;
  std::string destName_;
  TInstallFileType fileType_ = TInstallFileType::iftNormal;
  bool activeX_ = false;
  TOverwriteType overwriteMode_ = TOverwriteType::owAlways;
  bool registerAsHelp_ = false;
  bool updateDLLCounter_ = false;
  bool runAfterInstall_ = false;
  TInstallFileState state_ = TInstallFileState::ifsNone;
  int32_t size_ = 0;
  int32_t packedSize_ = 0;
  double fileDate_ = 0;
  SharedText fileVersion_;
  bool infoRead_ = false;
  int32_t uniqueID_ = 0;
  bool existedBefore_ = false;
  bool installIt_ = false;
  bool needsReboot_ = false;
  // This run's IncrementSharedDLLCount found the file counted already: another product
  // installed it, and whichever lets go last removes it.
  bool countedBefore_ = false;
  // The destination name a file in use will have after the restart (it is extracted
  // under a numbered name meanwhile).
  SharedText finalDestName_;
  int compressedMark_ = 0;
  bool netArchiveMark_ = false;
  SharedText lastArchiveFile_;
};

// Plain list of the live install files.
class TCustomInstallFileList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomInstallFile* Items(int index) const { return items_.at(index); }
  // Raises IECustomInstallFileList for a null entry.
  void Add(TCustomInstallFile* item);
  void Remove(TCustomInstallFile* item);
  bool Contains(const TCustomInstallFile* item) const;
  void Clear() { items_.clear(); }

 private:
  std::vector<TCustomInstallFile*> items_;
};

// InstallFiles() and FailedRegistrations() are in objects/run_state.h.

}  // namespace kestrune
