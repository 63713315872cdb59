// File-related install objects: archive location, network location and archive download.
#include <cmath>
#include <unordered_set>
#include <vector>

#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/parameters.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/registry.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

const ClassInfo& TFileRelated::classInfo() {
  static const ClassInfo info{"TFileRelated", &TInstallObject::classInfo(), nullptr, {}};
  return info;
}

TFileRelated::TFileRelated(TComponent* owner) : TInstallObject(owner) { processable_ = true; }

void TFileRelated::SetContainer(TInstallContainer* value) {
  bool changed = value != container_;
  TInstallObject::SetContainer(value);
  if (!changed || IsLoading()) return;
  if (value && value->Is<TFileRelated>()) {
    archiveFileType_ = OwnerForm(this) ? FindStandardSpecifier<TpsContainerArchiveFile>() : nullptr;
    if (archiveFileType_) archiveFileType_->FreeNotification(this);
    archiveFile_.clear();
  } else if (archiveFileType_ && archiveFileType_->Is<TpsContainerArchiveFile>()) {
    archiveFileType_ = nullptr;
  }
}

void TFileRelated::SetOrder(int32_t value) {
  if (IsLoading()) {
    order_ = value;
    return;
  }
  if (value == order_) return;
  if (!container_) {
    order_ = value;
    return;
  }
  TInstallContainer* c = container_;
  c->RemoveHelper(this);
  order_ = value;
  c->AddHelper(this);
}

namespace {
// The container's and the main archive specifiers yield a complete file path, so with either
// of them the object's own archive name is empty.
bool NamesWholeArchive(const TCustomPathSpecifier* type) {
  return type && (type->Is<TpsContainerArchiveFile>() || type->Is<TpsMainArchiveFile>());
}
}  // namespace

void TFileRelated::Loaded() {
  TInstallObject::Loaded();
  // While reading, the name was kept whatever the specifier was then: the specifier a script
  // names may be read after the name, or resolved only at the end of the stream.
  if (NamesWholeArchive(archiveFileType_)) archiveFile_.clear();
  std::string path;
  if (FindLocalFile(path)) localArchiveFile_ = path;
}

void TFileRelated::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != TOperation::opRemove || !component) return;
  if (component == archiveFileType_) archiveFileType_ = nullptr;
  if (component == netLocation_) netLocation_ = nullptr;
}

void TFileRelated::SetArchiveFile(const std::string& value) {
  if (!IsLoading() && NamesWholeArchive(archiveFileType_))
    archiveFile_.clear();
  else
    archiveFile_ = value;
}

void TFileRelated::SetArchiveFileType(TCustomPathSpecifier* value) {
  if (value && !IsLoading()) value->CheckObject(this);
  archiveFileType_ = value;
  if (value) {
    value->FreeNotification(this);
    if (!IsLoading() && NamesWholeArchive(value)) archiveFile_.clear();
  }
}

std::string TFileRelated::GetArchiveFile() const {
  std::string path = archiveFileType_ ? archiveFileType_->GetPath(this) + archiveFile_.str() : archiveFile_.str();
  return RemoveBackslash(path);
}

void TFileRelated::SetNetLocation(TCustomNetInstallLocation* value) {
  netLocation_ = value;
  if (value) value->FreeNotification(this);
}

TCustomNetInstallLocation* TFileRelated::FindNetLocation() const {
  if (netLocation_) return netLocation_;
  if (Is<TCustomInstallFile>()) {
    if (!container_) {
      IInstallEngine* engine = CurrentEngine();
      return engine ? engine->EngineNetLocation() : nullptr;
    }
    if (auto* fc = As<TFileContainer>(container_)) return fc->FindNetLocation();
    return nullptr;
  }
  IInstallEngine* engine = CurrentEngine();
  return engine ? engine->EngineNetLocation() : nullptr;
}

std::string TFileRelated::NetPath() const {
  TCustomNetInstallLocation* location = FindNetLocation();
  if (!location) throw IEFileRel_NoNetLocation("Could not find a net install location for %s", {Name()});
  std::string host = SafeDirectoryName(location->LoginHostname());
  std::string dir = SafeDirectoryName(location->LoginDirectory());
  if (Trim(dir).empty())
    return host + "\\" + (location->LoginProtocol() == TInternetProtocol::ipFTP ? "FTP Root directory" : "HTTP Root directory");
  return host + "\\" + dir;
}

namespace {
// During an installation the names of the install record's sub-keys are read once: only
// an object with a sub-key of its own can have a kept download ("LocalFile"), and the
// install walk asks for every file (one registry lookup each otherwise). The run's own
// writes keep the set right; a new run reads it again.
struct LocalFileRecords {
  bool read = false;
  std::string recordKey;
  std::unordered_set<std::string> names;  // upper case: registry names ignore case
};
LocalFileRecords& localFileRecords() {
  static LocalFileRecords records;
  return records;
}
// False when the object surely has no record (known from this run's listing).
bool mayHaveLocalFile(const std::string& name) {
  if (!EngineRunActive()) return true;
  LocalFileRecords& records = localFileRecords();
  if (!records.read || records.recordKey != InstallRecordKey()) {
    records = LocalFileRecords();
    try {
      if (auto key = platform::RegKey::open(platform::RegRoot::LocalMachine, InstallRecordKey()))
        for (const std::string& sub : key->subKeyNames()) records.names.insert(UpperCase(sub));
    } catch (const platform::PlatformError&) {
      return true;  // not listed: asked one by one
    }
    records.read = true;
    records.recordKey = InstallRecordKey();
  }
  return records.names.contains(UpperCase(name));
}
void noteLocalFileRecord(const std::string& name) {
  LocalFileRecords& records = localFileRecords();
  if (records.read) records.names.insert(UpperCase(name));
}
}  // namespace

void ForgetLocalFileRecords() { localFileRecords() = LocalFileRecords(); }

bool TFileRelated::FindLocalFile(std::string& path) const {
  if (Trim(Name()).empty() || InstallRecordKey().empty()) return false;
  if (!mayHaveLocalFile(Name())) return false;
  std::string value = Trim(ReadRegistryString(rkLocalMachine, InstallRecordKey() + "\\" + Name(), "LocalFile", ""));
  if (value.empty() || !platform::fileExists(value)) return false;
  path = value;
  return true;
}

bool TFileRelated::ArchiveIsLocal() const {
  if (!Trim(localArchiveFile_.str()).empty()) return true;
  std::string path;
  return FindLocalFile(path);
}

void TFileRelated::RememberLocalFile(const std::string& path) {
  if (Trim(Name()).empty() || Trim(path).empty() || InstallRecordKey().empty()) return;
  try {
    WriteRegistryString(rkLocalMachine, InstallRecordKey() + "\\" + Name(), "LocalFile", path);
    noteLocalFileRecord(Name());
  } catch (const Exception&) {
    // Remembering the download is a convenience for a later run; failing it is harmless.
  }
}

namespace {
// A new name for a downloaded archive in the temporary folder: a temporary file's name
// with the extension ".1", where no file is. The temporary files that reserved the names
// tried go again: the system hands out a number only while its ".tmp" file does not
// exist, and a kept download of that number is skipped by its ".1".
std::string NewDownloadName() {
  std::vector<std::string> reserved;
  std::string name;
  for (int attempt = 0; attempt < 64 && name.empty(); ++attempt) {
    try {
      reserved.push_back(MakeTempFileName(true));
    } catch (...) {
      for (const std::string& r : reserved) platform::deleteFile(r);
      throw;
    }
    const std::string candidate = ChangeFileExt(reserved.back(), ".1");
    if (!platform::fileExists(candidate)) name = candidate;
  }
  for (const std::string& r : reserved) platform::deleteFile(r);
  if (name.empty()) throw EAPIRoutines("Cannot create a temporary file");
  return name;
}
}  // namespace

void TFileRelated::ForgetLocalFile() {
  std::string path = localArchiveFile_;
  if (Trim(path).empty()) FindLocalFile(path);
  if (!Trim(path).empty()) platform::deleteFile(path);
  localArchiveFile_.clear();
  if (Trim(Name()).empty() || InstallRecordKey().empty()) return;
  try {
    WriteRegistryString(rkLocalMachine, InstallRecordKey() + "\\" + Name(), "LocalFile", "");
  } catch (const Exception&) {
    // The file is gone: a record naming it is not found by the next run either.
  }
}

void TFileRelated::DownloadArchive() {
  std::string found;
  if (FindLocalFile(found)) {
    localArchiveFile_ = found;
    return;
  }
  TCustomNetInstallLocation* location = FindNetLocation();
  if (!location) throw Exception("Could not find a net install location for %s", {Name()});
  if (!location->LoginComplete()) {
    if (netLocation_)
      throw IEFileRelated(
          "%s could not install itself because the TNetLocation component's properties, in the NetLocation property, have "
          "not been filled in",
          {Name()});
    throw IEFileRelated(
        "%s could not install itself because the LoginInformation property of the TInstall component has not been "
        "properly filled in",
        {Name()});
  }
  localArchiveFile_ = NewDownloadName();
  location->SetOnProgress([this](const std::string& fileName, int32_t bytes, int32_t total, int32_t size, const void* buf) {
    DataReceived(this, fileName, bytes, total, size, buf);
  });
  auto abortDownload = [this]() {
    platform::deleteFile(localArchiveFile_);
    localArchiveFile_.clear();
    throw EAIUserAbort();
  };
  try {
    location->DownloadFile(Name() + ".1", localArchiveFile_);
  } catch (...) {
    location->SetOnProgress(nullptr);
    if (NetAbortRequested()) abortDownload();
    throw;
  }
  location->SetOnProgress(nullptr);
  if (NetAbortRequested()) abortDownload();
  RememberLocalFile(localArchiveFile_);
}

void TFileRelated::DataReceived(TComponent* sender, const std::string& fileName, int32_t bytes, int32_t totalBytes,
                                int32_t fileSize, const void* buffer) {
  TDownloadStatusParameter param;
  param.Bytes = bytes;
  param.FileName = fileName;
  param.FileSize = fileSize;
  param.TotalBytes = totalBytes;
  param.PercentDone = RoundPercent(totalBytes, fileSize);
  if (OnDataReceived) OnDataReceived(this, fileName, bytes, totalBytes, fileSize, buffer);
  CallExternalComponents(this, cc::DownloadProgress, &param);
  if (container_) container_->DoInformationEventControl(this, ev::DownloadProgress, &param);
}

}  // namespace kestrune
