// The base of install files as the tree sees them: the sizes, names and operations that
// file containers drive. The installing file class derives from it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "objects/cmp_TInstallContainer.h"

namespace kestrune {

class TCustomInstallFile;
using TInstallFileNotifyEvent = std::function<void(TCustomInstallFile* InstallFile)>;
using TInstallFileStatusEvent = std::function<void(TCustomInstallFile* InstallFile, int32_t FilePercentDone, int32_t TotalPercentDone)>;
using TInstallFileNewDiskEvent = std::function<void(TCustomInstallFile* InstallFile, int32_t NewDisk, std::string& Path)>;

class TCustomInstallFile : public TFileRelated {
  KESTRUNE_CLASS()
 public:
  explicit TCustomInstallFile(TComponent* owner);
  ~TCustomInstallFile() override;
  int RegisteredType() const override { return rt::InstallFile; }

  const std::string& FileName() const { return fileName_; }
  virtual void SetFileName(const std::string& value) { fileName_ = value; }
  const std::string& IncludeFromDir() const { return includeFromDir_; }
  virtual void SetIncludeFromDir(const std::string& value) { includeFromDir_ = value; }
  const std::string& DestName() const { return destName_; }
  virtual void SetDestName(const std::string& value) { destName_ = value; }
  // IncludeFromDir with a backslash added when missing, + FileName.
  std::string SourcePath() const;
  // GetDestDir with a backslash added when missing, + DestName.
  std::string DestPath() const;

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
  void SetUniqueID(int32_t v) { uniqueID_ = v; }
  bool RunAfterInstall() const { return runAfterInstall_; }
  void SetRunAfterInstall(bool v) { runAfterInstall_ = v; }
  int CompressedMark() const { return compressedMark_; }
  void SetCompressedMark(int v) { compressedMark_ = v; }
  bool NetArchiveMark() const { return netArchiveMark_; }
  void SetNetArchiveMark(bool v) { netArchiveMark_ = v; }
  // True when the file keeps a network archive of its own (own location, or replaced by
  // version or date, so it is downloaded only when it is to be installed).
  virtual bool HasOwnNetArchive() const;

  // Operations the containers drive; the installing file class implements them.
  virtual void Compress() = 0;
  virtual void Copy() = 0;
  virtual void ReadInfoFromArchive() = 0;
  virtual void ReadInfoFromFile() = 0;
  // Registers the installed file as an ActiveX server (files without one do nothing).
  virtual void RegisterActiveX() {}

  TInstallFileNotifyEvent OnReplacing;
  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;

 protected:
  std::string fileName_;
  std::string includeFromDir_;
  std::string destName_;
  int32_t size_ = 0;
  int32_t packedSize_ = 0;
  double fileDate_ = 0;
  std::string fileVersion_;
  bool infoRead_ = false;
  int32_t uniqueID_ = 0;
  int compressedMark_ = 0;
  bool netArchiveMark_ = false;
  bool runAfterInstall_ = false;
};

// Plain list of the live install files.
class TCustomInstallFileList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomInstallFile* Items(int index) const { return items_.at(index); }
  // Raises IECustomInstallFileList for a null entry.
  void Add(TCustomInstallFile* item);
  void Remove(TCustomInstallFile* item);
  void Clear() { items_.clear(); }

 private:
  std::vector<TCustomInstallFile*> items_;
};

TCustomInstallFileList& InstallFiles();
// Files whose ActiveX registration failed in this run.
TCustomInstallFileList& FailedRegistrations();

}  // namespace kestrune
