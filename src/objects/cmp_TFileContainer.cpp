// File containers: reports, sizes, and the install, copy and compress walks.
#include "objects/cmp_TFileContainer.h"

#include "objects/engine_seam.h"
#include "archive/cmp_TKstrCompress.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/files.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/seams.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {
// Shows the hourglass while a walk runs and restores the cursor when it ends, also on
// errors. Walks nest (an install walk reads the archive information, then runs the walks
// of its groups); only the outermost one changes the cursor, so a walk costs two cursor
// changes however deep the tree is.
class HourGlass {
 public:
  HourGlass() {
    if (depth_++ == 0) previous_ = SetContainerCursor(crHourGlass);
  }
  ~HourGlass() {
    if (--depth_ == 0) SetContainerCursor(previous_);
  }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;

 private:
  static inline int depth_ = 0;
  int previous_ = crDefault;
};
}  // namespace

const ClassInfo& TFileStatusParameter::classInfo() {
  static const ClassInfo info{"TFileStatusParameter", &TPersistent::classInfo(), nullptr, {}};
  return info;
}

const ClassInfo& TFileContainer::classInfo() {
  static const ClassInfo info{"TFileContainer", &TFileRelated::classInfo(), nullptr, {}};
  return info;
}

TFileContainer::TFileContainer(TComponent* owner) : TFileRelated(owner), description_(new TStringList) {}

TFileContainer::~TFileContainer() {
  delete description_;
  description_ = nullptr;
  DeleteFiles();
}

int TFileContainer::FileCount() const { return CountOf(TCustomInstallFile::classInfo()); }

TCustomInstallFile* TFileContainer::Files(int index) const {
  return static_cast<TCustomInstallFile*>(Comp(index, TCustomInstallFile::classInfo()));
}

bool TFileContainer::HasNetFiles() const {
  for (TInstallContainer* h : HelperList())
    if (auto* f = As<TCustomInstallFile>(h); f && f->Net()) return true;
  return false;
}

// ---- reports ----

void TFileContainer::DoInformationEventControl(TInstallContainer* sender, int eventID, TPersistent* po) {
  if (operationState_ == TOperationState::osNone) return;
  if (!po) throw IEFileContainer("%s got a nil PO parameter", {Name()});
  switch (eventID) {
    case ev::FileReplacing: {
      auto* file = As<TCustomInstallFile>(po);
      if (!file) throw IEFileContainer("DoInformationEventControl parameter is not TInstallFile");
      DoReplacing(file);
      break;
    }
    case ev::InstallProgress: case ev::CompressProgress: case ev::CopyProgress: case ev::NewDisk: {
      auto* list = As<TList>(po);
      if (!list) throw IEFileContainer("DoInformationEventControl--PO is not a TList object");
      if (list->Count() < 2) throw IEFileContainer("DoInformationEventControl--Not engouh parameters for status event");
      auto* file = As<TCustomInstallFile>(list->Items(0));
      if (eventID == ev::NewDisk) {
        if (!file) throw IEFileContainer("DoInformationEventControl says bad %d parameter", {1});
        auto* disk = As<TDiskParameter>(list->Items(1));
        if (!disk) throw IEFileContainer("DoInformationEventControl says bad %d parameter", {2});
        DoNewDisk(file, *disk);
        CallExternalComponents(this, cc::NewDisk, list);
        break;
      }
      if (!file) throw IEFileContainer("DoInformationEventControl says bad first parameter");
      auto* status = As<TFileStatusParameter>(list->Items(1));
      if (!status) throw IEFileContainer("DoInformationEventControl says bad second parameter");
      applyStatus(file, *status);
      break;
    }
    case ev::DownloadProgress: {
      auto* p = As<TDownloadStatusParameter>(po);
      if (!p) throw IEFileContainer("The PO object passed to %s is not a TDownloadStatusParameter object", {Name()});
      if (OnDataReceived) OnDataReceived(this, p->FileName, p->Bytes, p->TotalBytes, p->FileSize, nullptr);
      CallExternalComponents(this, cc::DownloadProgress, p);
      break;
    }
    case ev::FileSkipped: case ev::FileKept: {
      auto* file = As<TCustomInstallFile>(po);
      if (!file) throw IEFileContainer("DoInformationEventControl says bad first parameter");
      skippedFileStatus(file);
      break;
    }
    default: break;
  }
  if (container_) container_->DoInformationEventControl(this, eventID, po);
}

void TFileContainer::applyStatus(TCustomInstallFile* file, TFileStatusParameter& param) {
  param.TotalBytesDone = static_cast<int32_t>(doneBytes_ + param.BytesDone);
  param.TotalPercentDone = RoundPercent(static_cast<double>(param.TotalBytesDone), static_cast<double>(operationSize_));
  DoStatus(file, param);
  if (param.Status.Finished) doneBytes_ += param.Status.FileSize;
}

void TFileContainer::skippedFileStatus(TCustomInstallFile* file) {
  TFileStatusParameter param;
  param.BytesDone = file->Size();
  param.FilePercentDone = 100;
  param.FileName = file->FileName();
  param.TotalBytesDone = static_cast<int32_t>(doneBytes_ + file->Size());
  param.TotalPercentDone = RoundPercent(static_cast<double>(param.TotalBytesDone), static_cast<double>(operationSize_));
  DoStatus(file, param);
  doneBytes_ += file->Size();
}

void TFileContainer::DoNewDisk(TCustomInstallFile* file, TDiskParameter& param) {
  if (!OnNewDisk) return;
  std::string path = param.Path;
  OnNewDisk(file, param.NewDisk, path);
  file->SetTag(1);  // a handler exists: the file shows no prompt of its own
  param.Path = path;
}

void TFileContainer::DoReplacing(TCustomInstallFile* file) {
  if (OnReplacing) OnReplacing(file);
  CallExternalComponents(this, cc::Replacing, file);
}

void TFileContainer::DoStatus(TCustomInstallFile* file, TFileStatusParameter& param) {
  if (OnStatus) OnStatus(file, param.FilePercentDone, param.TotalPercentDone);
  CallExternalComponents(this, cc::FileProgress, &param);
}

// ---- sizes ----

int64_t TFileContainer::SumSizes(bool includeAll, bool withContainers) const {
  int64_t sum = 0;
  for (TInstallContainer* h : HelperList()) {
    if (auto* f = As<TCustomInstallFile>(h)) {
      if (includeAll || f->IsIncluded()) sum += f->Size();
    } else if (auto* c = As<TFileContainer>(h); c && withContainers) {
      if (includeAll || c->IsIncluded()) sum += c->TotalSize(includeAll);
    }
  }
  return sum;
}

int64_t TFileContainer::PackedSize(bool includeAll) const {
  int64_t sum = 0;
  for (TInstallContainer* h : HelperList()) {
    if (auto* f = As<TCustomInstallFile>(h)) {
      if (includeAll || f->IsIncluded()) sum += f->PackedSize();
    } else if (auto* c = As<TFileContainer>(h)) {
      if (includeAll || c->IsIncluded()) sum += c->PackedSize(includeAll);
    }
  }
  return sum;
}

// ---- operations ----

void TFileContainer::SetState(TOperationState operation) {
  struct Reset {
    TFileContainer* c;
    ~Reset() { c->operationState_ = TOperationState::osNone; }
  } reset{this};
  switch (operation) {
    case TOperationState::osCompress: Compress(TCompressOptions{}); break;
    case TOperationState::osInstall: Process(); break;
    case TOperationState::osCopy: CopyFiles(); break;
    case TOperationState::osNone: break;
  }
}

void TFileContainer::ProcessHelpers() { InstallObjects(); }

bool TFileContainer::insideOperationOfContainer(TOperationState state) const {
  const auto* parent = As<TFileContainer>(container_);
  return parent && parent->OperationState() == state;
}

void TFileContainer::InstallObjects() {
  operationState_ = TOperationState::osInstall;
  struct Reset {
    TFileContainer* c;
    ~Reset() { c->operationState_ = TOperationState::osNone; }
  } reset{this};
  bool aborted = false;
  {
    HourGlass hourGlass;
    std::string found;
    if (FindLocalFile(found)) localArchiveFile_ = found;
    // The install walk of the container above read this group's information with its
    // own; reading it again at every level would make a walk quadratic in the depth.
    if (!(infoRead_ && insideOperationOfContainer(TOperationState::osInstall))) ReadInfoFromArchive();
    CallExternalComponents(this, cc::StartInstallWalk, nullptr);
    if (container_) container_->DoInformationEventControl(this, ev::OperationStart, this);
    operationSize_ = TotalSize(false);
    doneBytes_ = 0;
    if (OnBeforeInstallObjects) OnBeforeInstallObjects(this);
    TInstallContainer::ProcessHelpers();
    if (container_) container_->DoInformationEventControl(this, ev::OperationEnd, this);
  }
  aborted = SharedArchiveEngine().Abort();
  CallExternalComponents(this, cc::OperationEnd, nullptr);
  if (OnAfterInstallObjects) OnAfterInstallObjects(this, aborted);
}

void TFileContainer::CopyFiles() {
  runOperation(TOperationState::osCopy, [this] {
    if (OnBeforeProcess) OnBeforeProcess(this);
    if (!Include()) return;
    if (container_) container_->DoInformationEventControl(this, ev::OperationStart, this);
    if (!insideOperationOfContainer(TOperationState::osCopy)) ReadInfoFromFiles();
    operationSize_ = TotalSize(false);
    doneBytes_ = 0;
    std::vector<TInstallContainer*> copy = HelperList();
    for (TInstallContainer* h : copy)
      if (auto* f = As<TCustomInstallFile>(h)) f->Copy();
    for (TInstallContainer* h : copy)
      if (auto* c = As<TFileContainer>(h)) c->CopyFiles();
    if (OnAfterProcess) OnAfterProcess(this);
    if (container_) container_->DoInformationEventControl(this, ev::OperationEnd, this);
  });
}

void TFileContainer::DeleteFiles() { FreeHelpersOf(TCustomInstallFile::classInfo()); }

TCustomInstallFile* TFileContainer::FindFile(const std::string& sourcePath) const {
  for (TInstallContainer* h : HelperList())
    if (auto* f = As<TCustomInstallFile>(h); f && SameText(f->SourcePath(), sourcePath)) return f;
  return nullptr;
}

std::string TFileContainer::GetLocalArchiveFile() const {
  std::string path;
  if (!FindLocalFile(path))
    throw IEFileContainer("%s has not yet downloaded the archive file and therefore cannot retrieve the path of the archive file",
                          {Name()});
  return path;
}

void TFileContainer::ReadInfoFromArchive() {
  HourGlass hourGlass;
  std::vector<TInstallContainer*> copy = HelperList();
  for (TInstallContainer* h : copy)
    if (auto* f = As<TCustomInstallFile>(h)) f->ReadInfoFromArchive();
  for (TInstallContainer* h : copy)
    if (auto* c = As<TFileContainer>(h)) c->ReadInfoFromArchive();
  infoRead_ = true;
}

void TFileContainer::ReadInfoFromFiles() {
  HourGlass hourGlass;
  std::vector<TInstallContainer*> copy = HelperList();
  for (TInstallContainer* h : copy)
    if (auto* f = As<TCustomInstallFile>(h)) f->ReadInfoFromFile();
  for (TInstallContainer* h : copy)
    if (auto* c = As<TFileContainer>(h)) c->ReadInfoFromFiles();
}

bool TFileContainer::NeedsArchiveDownload() const {
  IInstallEngine* engine = CurrentEngine();
  TDistributeType type = engine ? engine->EngineDistributeType() : TDistributeType::dtTraditionalNet;
  if (type == TDistributeType::dtTraditional) return false;
  for (TInstallContainer* h : HelperList())
    if (auto* f = As<TCustomInstallFile>(h); f && f->Net() && f->Include() && !f->NetLocation()) return true;
  return false;
}

}  // namespace kestrune

namespace kestrune {

int TInstallContainer::FileContainerCount() const { return CountOf(TFileContainer::classInfo()); }

TInstallContainer* TInstallContainer::FileContainers(int index) const { return Comp(index, TFileContainer::classInfo()); }

}  // namespace kestrune
