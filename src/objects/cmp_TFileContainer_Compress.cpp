// The compress walk of a file container: archive locations of every helper for the build.
#include "archive/cmp_TKstrCompress.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/cmp_TPathSpecifier.h"
#include "platform/files.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

void deleteArchive(const TFileContainer& c, const std::string& path) {
  if (path.empty() || !platform::fileExists(path)) return;
  // The build's walk holds the archive it appends to open; it may be this one.
  SharedArchiveEngine().CloseArchive();
  if (!platform::deleteFile(path)) throw IEFileContainer("%s cannot delete the archive file %s", {c.Name(), path});
}

// The helper's archive settings, put back after its compress step.
struct SavedArchive {
  TFileRelated* helper;
  TlzhCommand addToArchive;
  std::string archiveFile;
  TCustomPathSpecifier* archiveFileType;
  bool include;
  void restore() const {
    helper->SetAddToArchive(addToArchive);
    helper->SetArchiveFileType(nullptr);
    helper->SetArchiveFile(archiveFile);
    helper->SetArchiveFileType(archiveFileType);
    if (archiveFileType) helper->SetArchiveFile(archiveFile);
    helper->SetInclude(include);
  }
};

}  // namespace

void TFileContainer::Compress(TCompressOptions options) {
  bool forceLocal = options.Contains(TCompressOption::coForceNetFilesLocal);
  bool forceNet = options.Contains(TCompressOption::coForceFilesNet);
  if (forceLocal && forceNet) throw IEFileContainer("Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress");

  runOperation(TOperationState::osCompress, [&] { compressHelpers(options); });
}

void TFileContainer::CompressPlan(std::vector<std::string>& sources, bool includeAll) const {
  if (!Include() && !includeAll) return;
  for (TInstallContainer* h : HelperList()) {
    if (auto* c = As<TFileContainer>(h)) {
      c->CompressPlan(sources, includeAll);
    } else if (auto* file = As<TCustomInstallFile>(h)) {
      if (file->Include() || includeAll) sources.push_back(file->SourcePath());
    }
  }
}

void TFileContainer::compressHelpers(TCompressOptions options) {
  bool forceLocal = options.Contains(TCompressOption::coForceNetFilesLocal);
  bool forceNet = options.Contains(TCompressOption::coForceFilesNet);
  bool includeAll = options.Contains(TCompressOption::coIncludeAll);
  if (OnBeforeProcess) OnBeforeProcess(this);
  if (!Include()) return;

  if (container_) container_->DoInformationEventControl(this, ev::OperationStart, this);
  if (!insideOperationOfContainer(TOperationState::osCompress)) ReadInfoFromFiles();
  operationSize_ = TotalSize(includeAll);
  doneBytes_ = 0;

  std::string archiveDir = RemoveBackslash(ExtractFilePath(GetArchiveFile()));
  std::string netArchive;
  try {
    netArchive = archiveDir + "\\" + NetPath() + "\\" + Name() + ".1";
    localArchiveFile_ = netArchive;
  } catch (const IEFileRel_NoNetLocation&) {
    if (!forceLocal) throw;
  }

  if (AddToArchive() == TlzhCommand::lzcOverwrite) deleteArchive(*this, ChangeFileExt(GetArchiveFile(), ".1"));
  if (HasNetFiles() || (forceNet && FileCount() > 0)) deleteArchive(*this, netArchive);

  // The archive of the engine (or of this container when there is none).
  auto engineArchiveDir = [this]() {
    IInstallEngine* engine = CurrentEngine();
    const TFileContainer* root = engine ? engine->EngineContainer() : this;
    return RemoveBackslash(ExtractFilePath(root->GetArchiveFile()));
  };

  std::vector<TInstallContainer*> copy = HelperList();
  for (TInstallContainer* h : copy) {
    auto* helper = As<TFileRelated>(h);
    if (!helper) continue;
    auto* file = As<TCustomInstallFile>(helper);
    bool net = file && !forceLocal && (helper->Net() || forceNet);
    SavedArchive saved{helper, helper->AddToArchive(), helper->ArchiveFile(), helper->ArchiveFileType(), helper->Include()};
    if (!helper->Include() && includeAll) helper->SetInclude(true);
    try {
      if (net && helper->NetLocation()) {
        helper->SetAddToArchive(TlzhCommand::lzcOverwrite);
        helper->SetArchiveFileType(nullptr);
        helper->SetArchiveFile(archiveDir + "\\" + helper->NetPath() + "\\" + helper->Name() + ".1");
        file->SetNetArchiveMark(true);
      } else if (!net) {
        TCustomPathSpecifier* type = helper->ArchiveFileType();
        if (type && type->Is<TpsContainerArchiveFile>()) {
          helper->SetAddToArchive(TlzhCommand::lzcOnlyAdd);
        } else if (type && type->Is<TpsInstallSource>()) {
          std::string relative = helper->ArchiveFile();
          helper->SetArchiveFileType(nullptr);
          helper->SetArchiveFile(engineArchiveDir() + relative);
          helper->SetAddToArchive(TlzhCommand::lzcOverwrite);
        } else if (options.Contains(TCompressOption::coRelocateArchives)) {
          std::string full = helper->GetArchiveFile();
          size_t colon = full.find(':');
          // A path without a drive is relocated as a whole.
          std::string rest = colon == std::string::npos ? full : full.substr(colon + 1);
          if (!rest.empty() && rest.front() != '\\') rest.insert(rest.begin(), '\\');
          helper->SetArchiveFileType(nullptr);
          helper->SetArchiveFile(archiveDir + rest);
          helper->SetAddToArchive(TlzhCommand::lzcOverwrite);
        }
      } else {
        helper->SetAddToArchive(TlzhCommand::lzcOnlyAdd);
        helper->SetArchiveFileType(nullptr);
        if (file->HasOwnNetArchive())
          helper->SetArchiveFile(archiveDir + "\\" + helper->NetPath() + "\\" + helper->Name() + ".1");
        else
          helper->SetArchiveFile(netArchive);
        file->SetNetArchiveMark(true);
      }
      if (auto* c = As<TFileContainer>(helper)) c->Compress(options);
      else if (file) file->Compress();
    } catch (...) {
      saved.restore();
      throw;
    }
    saved.restore();
  }
  if (OnAfterProcess) OnAfterProcess(this);
  if (container_) container_->DoInformationEventControl(this, ev::OperationEnd, this);
}

}  // namespace kestrune
