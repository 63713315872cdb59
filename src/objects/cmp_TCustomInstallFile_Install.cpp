// Install files: the install step, compress and copy, the archive information, the archive
// engine's handlers and the uninstall lines.
#include <memory>
#include <optional>

#include "archive/archive_names.h"
#include "archive/cmp_TKstrCompress.h"
#include "archive/cmp_TVersion.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/run_log.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/file_status_parameter.h"
#include "objects/parameters.h"
#include "objects/uninstall_entry.h"
#include "platform/files.h"
#include "routines/routines_Registry.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/seams.h"
#include "runtime/sysutils.h"

namespace kestrune {

namespace {

const char* const kDestBlank =
    "Cannot compress,copy, or install the following file because it's destination directory is blank. File is :%s";
const char* const kArchiveBlank =
    "Cannot either compress or decompress the following file because it's archive file property is blank. File is :%s";

TDistributeType distributeType() {
  IInstallEngine* engine = CurrentEngine();
  return engine ? engine->EngineDistributeType() : TDistributeType::dtTraditional;
}

// The handlers an operation hooks on an archive engine, removed however it ends: the
// engine outlives the file, and a later operation must not call into this one.
class ArchiveHandlersScope {
 public:
  explicit ArchiveHandlersScope(TKstrCompress& engine) : engine_(engine) {}
  ~ArchiveHandlersScope() {
    engine_.OnAborted = nullptr;
    engine_.OnNewDisk = nullptr;
    engine_.OnStatus = nullptr;
    engine_.OnReplace = nullptr;
    engine_.OnBeforeExtracting = nullptr;
    engine_.DestFileName.clear();
    engine_.SkipCurrent = false;
    engine_.ReplaceExisting = false;
  }

 private:
  TKstrCompress& engine_;
};

}  // namespace

// ---- the install step ----

void TCustomInstallFile::ProcessHelpers() {
  needsReboot_ = false;
  countedBefore_ = false;
  finalDestName_.clear();
  installIt_ = false;
  try {
    report(ev::FileInstallStart, this);
    if (OnBeforeInstall) OnBeforeInstall(this);
  } catch (const EAbort&) {
    report(ev::FileSkipped, this);
    return;
  }
  if (Trim(GetDestDir()).empty()) throw IECustomInstallFile(kDestBlank, {Name()});
  // A loaded script has not been through the property check.
  CheckDestName(destName_);

  const std::string dest = DestPath();
  // The shared archive engine keeps the names of the folder it extracts into during a run.
  existedBefore_ = SharedArchiveEngine().DestinationExists(dest);
  // A missing destination is always written: the version rules compare two files, and an
  // unversioned file must not be kept from a place where nothing is.
  bool install = true;
  const char* keptBecause = "";
  if (existedBefore_) {
    // A destination that cannot be compared is installed over (see TOverwriteDecision).
    const TOverwriteDecision decision = IsFileNewerByData(fileVersion_, dest, overwriteMode_, fileDate_);
    install = decision == TOverwriteDecision::CouldNotCompare || decision == TOverwriteDecision::Overwrite;
    if (decision == TOverwriteDecision::KeepEqual) keptBecause = " (the file there has the same version or date)";
    if (decision == TOverwriteDecision::KeepNewer) keptBecause = " (the file there is newer, or the overwrite rule keeps it)";
  }
  if (install) {
    try {
      releaseDestination(existedBefore_);
    } catch (const EAbort&) {
      install = false;
      installIt_ = false;
      keptBecause = " (its replacement was cancelled)";
    }
  }
  if (!install) {
    RunLog("Kept: " + dest + keptBecause);
    report(ev::FileKept, this);
    PostInstallSteps();
    if (OnAfterInstall) OnAfterInstall(this);
    report(ev::FileInstalled, this);
    TInstallContainer::ProcessHelpers();
    return;
  }
  installFromArchive();
}

void TCustomInstallFile::installFromArchive() {
  std::string found;
  if (FindLocalFile(found)) localArchiveFile_ = found;

  const TDistributeType type = distributeType();
  TKstrCompress& shared = SharedArchiveEngine();
  std::unique_ptr<TKstrCompress> own;
  const bool downloaded = type != TDistributeType::dtTraditional && (net_ || type == TDistributeType::dtWeb);
  if (downloaded) {
    if (HasOwnNetArchive()) {
      DownloadArchive();
    } else if (auto* fc = As<TFileContainer>(container_); fc && !fc->ArchiveIsLocal()) {
      fc->DownloadArchive();
    }
    own = std::make_unique<TKstrCompress>(nullptr);
  } else {
    // The shared engine keeps the archive that carries an offset (the self-extracting
    // program); an engine at offset 0 serves any archive and keeps its header table
    // cached for the next file of the same archive.
    const std::string archive = GetArchiveFile();
    if (!SameText(archive, shared.CompressedFile()) && shared.Offset() != 0) own = std::make_unique<TKstrCompress>(nullptr);
  }
  TKstrCompress& engine = own ? *own : shared;

  // Closes the step in every case; a failure of the closing call wins only when the step
  // itself succeeded.
  auto close = [&]() {
    if (own && own->Abort()) shared.SetAbort(true);
    state_ = TInstallFileState::ifsNone;
    try {
      CallExternalComponents(this, cc::OperationEnd, nullptr);
    } catch (...) {
      shared.SetAbort(true);
      throw;
    }
  };
  try {
    extractWith(engine);
  } catch (...) {
    try {
      close();
    } catch (...) {
    }
    if (downloaded && !failureSparesDownload()) {
      // A downloaded archive that could not be installed from (a member that fails its
      // size or zlib check, an unreadable header table) is no copy for a later run to
      // use: it goes, and the next run downloads the archive again.
      own.reset();
      if (HasOwnNetArchive()) ForgetLocalFile();
      else if (auto* fc = As<TFileContainer>(container_)) fc->ForgetLocalFile();
    }
    throw;
  }
  close();
  RunLog((needsReboot_ ? "Replaced after the restart: " : "Installed: ") + DestPath());
}

// Whether the exception being handled leaves a downloaded archive worth keeping: a full
// disk and the user's abort say nothing against it.
bool TCustomInstallFile::failureSparesDownload() {
  try {
    throw;
  } catch (const EkcDiskFull&) {
    return true;
  } catch (const EkcAborted&) {
    return true;
  } catch (const EAbort&) {
    return true;
  } catch (const EAIUserAbort&) {
    return true;
  } catch (...) {
  }
  return false;
}

void TCustomInstallFile::extractWith(TKstrCompress& engine) {
  state_ = TInstallFileState::ifsInstall;
  const std::string destDir = GetDestDir();
  {
    ArchiveHandlersScope handlers(engine);
    platform::forceDirectories(destDir);
    const std::string archive = GetArchiveFile();
    if (Trim(archive).empty()) throw IECustomInstallFile(kArchiveBlank, {fileName_});
    engine.SetCompressedFile(archive);
    engine.SetExtractDirectory(destDir);
    engine.DestFileName = destName_;
    engine.SkipCurrent = false;
    // The step has decided: the file it found is replaced once the new one is complete
    // (a file in use is not: the new one waits under a numbered name).
    engine.ReplaceExisting = existedBefore_ && !needsReboot_;
    engine.SetOverwrite(overwriteMode_);
    engine.OnReplace = nullptr;
    engine.OnBeforeExtracting = nullptr;
    engine.OnAborted = [this](TComponent*) { RaiseUserAbort(); };
    engine.OnNewDisk = [this, &engine](TComponent*, int disk, std::string& directory) {
      directory = NewDiskHandler(engine, disk);
    };
    engine.OnStatus = [this, &engine](TComponent*, TlzhFileStats& stats) { StatusHandler(engine, stats); };
    TStringList names;
    names.Add(SourcePath());
    engine.SetFilesToProcess(names);
    engine.ExtractFiles();
  }
  // A file that waits for the restart under a numbered name is known by its final name
  // from here on: the uninstall list, the shared-DLL counter and the help registry name
  // the file that will be there after the restart.
  if (needsReboot_ && !finalDestName_.empty()) destName_ = finalDestName_;
  PostInstallSteps();
  if (OnAfterInstall) OnAfterInstall(this);
  report(ev::FileInstalled, this);
  TInstallContainer::ProcessHelpers();
}

// ---- the archive engine's handlers ----

std::string TCustomInstallFile::NewDiskHandler(TKstrCompress& engine, int disk) {
  SetTag(0);
  TDiskParameter param;
  param.NewDisk = disk;
  param.Path = RemoveBackslash(ExtractFileDir(GetArchiveFile()));
  TList list{this, &param};
  struct ResetTag {
    TCustomInstallFile* f;
    ~ResetTag() { f->SetTag(0); }
  } resetTag{this};
  if (OnNewDisk) {
    std::string path = param.Path;
    OnNewDisk(this, disk, path);
    param.Path = path;
  }
  CallExternalComponents(this, cc::NewDisk, &list);
  report(ev::NewDisk, &list);
  if (!OnNewDisk && Tag() == 0) {
    const bool ok = AskForDisk(Format(TranslateMessage("Please insert disk #%d"), {disk}));
    if (!ok) {
      // Cancel ends the extraction now rather than asking again for the same disk.
      engine.SetAbort(true);
      throw EkcAborted();
    }
  }
  return RemoveBackslash(param.Path);
}

void TCustomInstallFile::StatusHandler(TKstrCompress&, TlzhFileStats& stats) {
  TFileStatusParameter param;
  param.BytesDone = static_cast<int32_t>(stats.FileDone);
  param.FilePercentDone = stats.FilePercent;
  param.FileName = fileName_;
  param.Status = stats;
  param.TotalBytesDone = static_cast<int32_t>(stats.TotalDone);
  param.TotalPercentDone = stats.TotalPercent;
  TList list{this, &param};
  if (OnStatus) OnStatus(this, stats.FilePercent, stats.TotalPercent);
  CallExternalComponents(this, cc::FileProgress, &param);
  switch (state_) {
    case TInstallFileState::ifsCompress: report(ev::CompressProgress, &list); break;
    case TInstallFileState::ifsInstall: report(ev::InstallProgress, &list); break;
    case TInstallFileState::ifsCopying: report(ev::CopyProgress, &list); break;
    case TInstallFileState::ifsNone: break;
  }
}

// ---- compress and copy ----

namespace {

// Runs a compress or copy step: a silent abort ends it quietly; State returns to ifsNone
// and the operation is closed with component call -996 however it ends.
template <class F>
void runFileOperation(TCustomInstallFile& file, TInstallFileState& state, TInstallFileState operation, F&& body) {
  state = operation;
  try {
    body();
  } catch (const EAbort&) {
  } catch (...) {
    state = TInstallFileState::ifsNone;
    try {
      file.CallExternalComponents(&file, cc::OperationEnd, nullptr);
    } catch (...) {
    }
    throw;
  }
  state = TInstallFileState::ifsNone;
  file.CallExternalComponents(&file, cc::OperationEnd, nullptr);
}

}  // namespace

void TCustomInstallFile::Compress() {
  runFileOperation(*this, state_, TInstallFileState::ifsCompress, [this] {
    if (OnBeforeCompress) OnBeforeCompress(this);
    report(ev::CompressStart, this);
    const std::string archive = GetArchiveFile();
    if (Trim(archive).empty()) throw IECustomInstallFile(kArchiveBlank, {fileName_});
    if (!Include()) return;
    const std::string dir = ExtractFileDir(archive);
    if (!dir.empty()) platform::forceDirectories(dir);
    TKstrCompress& engine = SharedArchiveEngine();
    {
      ArchiveHandlersScope handlers(engine);
      engine.SetCompressedFile(archive);
      engine.OnAborted = [this](TComponent*) { RaiseUserAbort(); };
      engine.OnStatus = [this, &engine](TComponent*, TlzhFileStats& stats) { StatusHandler(engine, stats); };
      TStringList names;
      names.Add(SourcePath());
      engine.SetFilesToProcess(names);
      engine.CompressFiles(addToArchive_ == TlzhCommand::lzcOnlyAdd, uniqueID_);
    }
    // The archive engine read the version on the handle it compressed from (the build's
    // walk read only the size and date before).
    const TFileHeaders& headers = engine.Headers();
    if (headers.Count() > 0 && headers.FileHeaders(headers.Count() - 1).UniqueID() == uniqueID_)
      fileVersion_ = headers.FileHeaders(headers.Count() - 1).FileVersion().substr(0, 20);
    compressedMark_ = 2;
    lastArchiveFile_ = engine.CompressedFile();
    if (OnAfterCompress) OnAfterCompress(this);
    report(ev::CompressEnd, this);
  });
}

void TCustomInstallFile::Copy() {
  runFileOperation(*this, state_, TInstallFileState::ifsCopying, [this] {
    if (OnBeforeCopy) OnBeforeCopy(this);
    report(ev::CopyStart, this);
    if (!Include()) return;
    if (Trim(GetDestDir()).empty()) throw IECustomInstallFile(kDestBlank, {Name()});
    platform::forceDirectories(GetDestDir());
    TKstrCompress& engine = SharedArchiveEngine();
    {
      ArchiveHandlersScope handlers(engine);
      engine.SetOverwrite(overwriteMode_);
      engine.OnStatus = [this, &engine](TComponent*, TlzhFileStats& stats) { StatusHandler(engine, stats); };
      engine.CopyUncompressed(SourcePath(), DestPath());
    }
    if (OnAfterCopy) OnAfterCopy(this);
    report(ev::CopyEnd, this);
  });
}

// ---- archive information ----

void TCustomInstallFile::ReadInfoFromArchive() {
  IInstallEngine* engine = CurrentEngine();
  if (engine && engine->EngineInstalling() && infoRead_) return;
  const TDistributeType type = distributeType();
  if (type == TDistributeType::dtTraditional || (type == TDistributeType::dtTraditionalNet && !net_)) {
    readInfoFrom(GetArchiveFile());
    return;
  }
  if (HasOwnNetArchive() && ArchiveIsLocal()) {
    std::string path = localArchiveFile_;
    if (Trim(path).empty()) FindLocalFile(path);
    readInfoFrom(path);
    return;
  }
  auto* fc = As<TFileContainer>(container_);
  if (!fc)
    throw IECustomInstallFile(
        "%s cannot perform ReadInfoFromArchive because either no container is assigned or the container is not "
        "TFileContainer",
        {Name()});
  if (fc->ArchiveIsLocal())
    readInfoFrom(Trim(fc->LocalArchiveFile()).empty() ? fc->GetLocalArchiveFile() : fc->LocalArchiveFile());
}

void TCustomInstallFile::readInfoFrom(const std::string& archive) {
  if (Trim(archive).empty()) throw IECustomInstallFile(kArchiveBlank, {fileName_});
  TKstrCompress& shared = SharedArchiveEngine();
  std::unique_ptr<TKstrCompress> temporary;
  TKstrCompress* engine = &shared;
  if (!SameText(archive, shared.CompressedFile())) {
    if (shared.Offset() != 0) {
      temporary = std::make_unique<TKstrCompress>(nullptr);
      engine = temporary.get();
    }
    engine->SetCompressedFile(archive);
  }
  // IndexOfUniqueID answers 0 also for an identifier no member carries: the member found
  // must really carry this file's identifier.
  const int index = engine->IndexOfUniqueID(uniqueID_);
  if (index < 0 || index >= engine->Headers().Count()) return;
  const TFileHeader& header = engine->Headers().FileHeaders(index);
  if (header.UniqueID() != uniqueID_) return;
  packedSize_ = header.CompressedSize();
  fileDate_ = header.FileDate();
  size_ = header.OriginalSize();
  fileVersion_ = header.FileVersion().substr(0, 20);
  infoRead_ = true;
}

namespace {
// Whether a container above the file is compressing: the build's walk, whose Compress of
// each file takes the version from the member it writes.
bool inBuildWalk(const TInstallContainer* container) {
  for (const auto* c = As<TFileContainer>(container); c; c = As<TFileContainer>(c->Container()))
    if (c->OperationState() == TOperationState::osCompress) return true;
  return false;
}
}  // namespace

// Size and date are read without opening the file (under Wine no server call); the version
// reader opens it to tell a program file from another, except in the build's walk, where
// the archive engine reads the version on the handle it compresses from: the build opens
// each file once.
void TCustomInstallFile::ReadInfoFromFile() {
  const std::string source = SourceFileOnDisk(SourcePath());
  const auto facts = platform::fileSizeAndDate(source);
  if (!facts)
    throw IECustomInstallFile("Could not open or find the following file when trying to read the Size, Date, and Version :%s",
                              {source});
  fileDate_ = facts->date;
  size_ = static_cast<int32_t>(facts->size);
  if (!inBuildWalk(container_)) fileVersion_ = ModuleVersionResource().FileVersionOf(source).substr(0, 20);
}

// ---- uninstall lines ----

// A file the step kept (or skipped) is listed all the same; only one it wrote, or a shared
// file another product had counted already, is recorded as written, so that uninstalling
// leaves a file that was there before.
void TCustomInstallFile::WriteUninstallInfo(const std::string& key) {
  const bool written = installIt_ || countedBefore_;
  if (activeX_) {
    const bool exe = UpperCase(ExtractFileExt(fileName_)) == ".EXE";
    AppendUninstallActiveXLine(key, DestPath(), exe, written);
    return;
  }
  AppendUninstallFileLine(key, DestPath(), written);
}

void TCustomInstallFile::CompleteAfterReboot() {
  if (activeX_) RegisterActiveX();
}

}  // namespace kestrune
