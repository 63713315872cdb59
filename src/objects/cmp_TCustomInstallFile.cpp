// Install files: identifiers, the property check and its setters, paths, the archive
// location, and the registries of live files.
#include "objects/cmp_TCustomInstallFile.h"

#include <algorithm>
#include <array>

#include "archive/archive_format.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/engine_seam.h"
#include "platform/system.h"
#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"
#include "runtime/reader.h"
#include "runtime/sysutils.h"
#include "runtime/writer.h"

namespace kestrune {

namespace {

// The identifier table: how many live files carry each of the identifiers an archive
// indexes (archive_format::kUniqueIdSlots). A new file takes the lowest identifier no live file carries; a file whose
// identifier is read from the script gives up the one it was made with, so the script's
// identifiers are authoritative and files made later take the lowest numbers left free.
std::array<int, archive_format::kUniqueIdSlots>& identifiers() {
  static std::array<int, archive_format::kUniqueIdSlots> counts{};
  return counts;
}

bool validIdentifier(int32_t id) { return id >= 0 && id < archive_format::kUniqueIdSlots; }

void releaseIdentifier(int32_t id) {
  if (validIdentifier(id) && identifiers()[static_cast<size_t>(id)] > 0) --identifiers()[static_cast<size_t>(id)];
}

void takeIdentifier(int32_t id) {
  if (validIdentifier(id)) ++identifiers()[static_cast<size_t>(id)];
}

int32_t allocateIdentifier() {
  auto& counts = identifiers();
  for (int32_t i = 0; i < archive_format::kUniqueIdSlots; ++i) {
    if (counts[static_cast<size_t>(i)] == 0) {
      ++counts[static_cast<size_t>(i)];
      return i;
    }
  }
  // Every identifier is taken: the file shares 0, as an archive has no other to give.
  ++counts[0];
  return 0;
}

// The forced destinations of the DLL file types.
void forcedDestination(TInstallFileType type, TCustomPathSpecifier*& specifier, std::string& destDir) {
  switch (type) {
    case TInstallFileType::iftApplicationSpecificDLL:
      specifier = FindStandardSpecifier<TpsMainInstall>();
      destDir = "\\System";
      break;
    case TInstallFileType::iftVendorSharedDLL:
      specifier = FindStandardSpecifier<TpsCommonFiles>();
      destDir = "\\System";
      break;
    case TInstallFileType::iftSystemWideDLL:
      specifier = FindStandardSpecifier<TpsSystem>();
      destDir.clear();
      break;
    default: break;
  }
}

}  // namespace

const EnumType& EnumTypeInfo(TInstallFileType) {
  static constexpr std::string_view values[] = {"iftNormal", "iftJustADLL", "iftApplicationSpecificDLL",
      "iftVendorSharedDLL", "iftSystemWideDLL"};
  static constexpr EnumType t{"TInstallFileType", values};
  return t;
}

const EnumType& EnumTypeInfo(TInstallFileState) {
  static constexpr std::string_view values[] = {"ifsNone", "ifsCompress", "ifsInstall", "ifsCopying"};
  static constexpr EnumType t{"TInstallFileState", values};
  return t;
}

void TCustomInstallFileList::Add(TCustomInstallFile* item) {
  if (!item) throw IECustomInstallFileList("Cannot add a blank entry to the TCustomInstallFileList object");
  items_.push_back(item);
}

void TCustomInstallFileList::Remove(TCustomInstallFile* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
}

bool TCustomInstallFileList::Contains(const TCustomInstallFile* item) const {
  return std::find(items_.begin(), items_.end(), item) != items_.end();
}

const ClassInfo& TCustomInstallFile::classInfo() {
  static const ClassInfo info{"TCustomInstallFile", &TFileRelated::classInfo(), nullptr, {}};
  return info;
}

std::function<void(const std::string&, const std::string&)> TCustomInstallFile::MoveAfterReboot =
    [](const std::string& source, const std::string& target) { platform::moveFileAfterReboot(source, target); };

TCustomInstallFile::TCustomInstallFile(TComponent* owner) : TFileRelated(owner) {
  processable_ = true;
  net_ = false;
  InstallFiles().Add(this);
  uniqueID_ = allocateIdentifier();
}

TCustomInstallFile::TCustomInstallFile(TComponent* owner, const std::string& sourcePath) : TCustomInstallFile(owner) {
  SetIncludeFromDir(RemoveBackslash(ExtractFileDir(sourcePath)));
  SetFileName(ExtractFileName(sourcePath));
}

TCustomInstallFile::TCustomInstallFile(TComponent* owner, TInstallContainer* container, const std::string& sourcePath)
    : TCustomInstallFile(owner, sourcePath) {
  SetContainer(container);
}

TCustomInstallFile::~TCustomInstallFile() {
  InstallFiles().Remove(this);
  FailedRegistrations().Remove(this);
  releaseIdentifier(uniqueID_);
}

void TCustomInstallFile::SetUniqueID(int32_t value) {
  if (value == uniqueID_) return;
  releaseIdentifier(uniqueID_);
  uniqueID_ = value;
  takeIdentifier(value);
}

void TCustomInstallFile::DefineProperties(Filer& filer) {
  TFileRelated::DefineProperties(filer);
  filer.DefineProperty(
      "UniqueID", [this](Reader& r) { SetUniqueID(r.ReadInteger()); },
      [this](Writer& w) { w.WriteInteger(uniqueID_); }, true);
}

// ---- the property check ----

void TCustomInstallFile::CheckDestName(const std::string& destName) const {
  const bool plain = destName != "." && destName != ".." &&
                     std::none_of(destName.begin(), destName.end(), [](char c) {
                       return static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
                     });
  if (!plain)
    throw IECustomInstallFile("The DestName of the following TInstallFile component %s is not a plain file name: %s",
                              {Name(), destName});
}

void TCustomInstallFile::CheckProperties(TInstallContainer* container, std::string destName, std::string fileName,
                                         std::string includeFromDir, std::string destDir,
                                         TCustomPathSpecifier* destDirType, TInstallFileType fileType, bool activeX) {
  if (container && !container->Is<TFileContainer>())
    throw IECustomInstallFile(
        "The following TInstallFile component %s requires the Container property to be a component descended from the "
        "TFileContainer component",
        {Name()});
  const bool nameChanged = !SameText(fileName, fileName_);
  const bool dirChanged = includeFromDir != includeFromDir_;
  // A file without a name is not yet a file of the container: it cannot be a duplicate.
  if (auto* fc = As<TFileContainer>(container);
      fc && !Trim(fileName).empty() && (nameChanged || dirChanged || container != container_)) {
    std::string source = AddBackslash(includeFromDir) + fileName;
    TCustomInstallFile* other = fc->FindFile(source);
    if (other && other != this) throw IEfcDuplicateFile("There is already a file with the name :%s", {source});
  }
  if (fileName != fileName_ && !Trim(fileName).empty()) destName = fileName;
  CheckDestName(destName);

  const std::string ext = UpperCase(ExtractFileExt(fileName));
  if (nameChanged || dirChanged) {
    registerAsHelp_ = ext == ".HLP" || ext == ".CNT";
    if (ext == ".OCX") {
      activeX = true;
    } else {
      // The check asks the new source, not the current one.
      std::string savedDir = includeFromDir_, savedName = fileName_;
      includeFromDir_ = includeFromDir;
      fileName_ = fileName;
      try {
        activeX = IsSelfRegistering();
      } catch (const std::exception&) {
        activeX = false;
      }
      includeFromDir_ = savedDir;
      fileName_ = savedName;
    }
  }
  if (activeX && activeX != activeX_) fileType = TInstallFileType::iftSystemWideDLL;
  if (destDirType != destDirType_ && (ext == ".DLL" || ext == ".OCX" || ext == ".BLL" || ext == ".EXE") && destDirType) {
    if (destDirType->Is<TpsWindow>() || destDirType->Is<TpsBDEDLL>()) overwriteMode_ = TOverwriteType::owVersionDate;
    else if (destDirType->Is<TpsSystem>()) fileType = TInstallFileType::iftSystemWideDLL;
  }
  if (fileType != fileType_) {
    if (fileType != TInstallFileType::iftNormal) overwriteMode_ = TOverwriteType::owVersionDate;
    if (fileType == TInstallFileType::iftVendorSharedDLL || fileType == TInstallFileType::iftSystemWideDLL)
      updateDLLCounter_ = true;
  }
  TInstallContainer::SetDestDirType(destDirType);
  TFileRelated::SetContainer(container);
  // Setting a new container moves the file to the container's directory; the values of
  // this check come after it.
  TCustomPathSpecifier* specifier = destDirType_;
  forcedDestination(fileType, specifier, destDir);
  if (specifier != destDirType_) TInstallContainer::SetDestDirType(specifier);
  includeFromDir_ = includeFromDir;
  fileName_ = fileName;
  destDir_ = destDir;
  destName_ = destName;
  fileType_ = fileType;
  activeX_ = activeX;
}

void TCustomInstallFile::SetContainer(TInstallContainer* value) {
  if (IsLoading()) {
    TFileRelated::SetContainer(value);
    return;
  }
  // A new container gives the file the container's directory (unless the type forces one).
  std::string destDir = value != container_ ? std::string() : destDir_;
  CheckProperties(value, destName_, fileName_, includeFromDir_, destDir, destDirType_, fileType_, activeX_);
}

void TCustomInstallFile::SetDestDir(const std::string& value) {
  if (IsLoading()) {
    destDir_ = value;
    return;
  }
  CheckProperties(container_, destName_, fileName_, includeFromDir_, value, destDirType_, fileType_, activeX_);
}

void TCustomInstallFile::SetDestDirType(TCustomPathSpecifier* value) {
  if (IsLoading()) {
    TInstallContainer::SetDestDirType(value);
    return;
  }
  CheckProperties(container_, destName_, fileName_, includeFromDir_, destDir_, value, fileType_, activeX_);
}

void TCustomInstallFile::SetFileName(const std::string& value) {
  if (IsLoading()) {
    fileName_ = value;
    return;
  }
  CheckProperties(container_, destName_, value, includeFromDir_, destDir_, destDirType_, fileType_, activeX_);
}

void TCustomInstallFile::SetIncludeFromDir(const std::string& value) {
  if (IsLoading()) {
    includeFromDir_ = value;
    return;
  }
  CheckProperties(container_, destName_, fileName_, value, destDir_, destDirType_, fileType_, activeX_);
}

void TCustomInstallFile::SetDestName(const std::string& value) {
  if (IsLoading()) {
    destName_ = value;
    return;
  }
  CheckProperties(container_, value, fileName_, includeFromDir_, destDir_, destDirType_, fileType_, activeX_);
}

void TCustomInstallFile::SetFileType(TInstallFileType value) {
  if (IsLoading()) {
    fileType_ = value;
    return;
  }
  CheckProperties(container_, destName_, fileName_, includeFromDir_, destDir_, destDirType_, value, activeX_);
}

void TCustomInstallFile::SetActiveX(bool value) {
  if (IsLoading()) {
    activeX_ = value;
    return;
  }
  CheckProperties(container_, destName_, fileName_, includeFromDir_, destDir_, destDirType_, fileType_, value);
}

void TCustomInstallFile::SetState(TInstallFileState value) {
  struct Reset {
    TCustomInstallFile* f;
    ~Reset() { f->state_ = TInstallFileState::ifsNone; }
  } reset{this};
  switch (value) {
    case TInstallFileState::ifsCompress: Compress(); break;
    case TInstallFileState::ifsInstall: Process(); break;
    case TInstallFileState::ifsCopying: Copy(); break;
    case TInstallFileState::ifsNone: break;
  }
}

// ---- paths ----

std::string TCustomInstallFile::SourcePath() const { return AddBackslash(includeFromDir_.str()) + fileName_; }

std::string TCustomInstallFile::DestPath() const { return AddBackslash(GetDestDir()) + destName_; }

bool TCustomInstallFile::HasOwnNetArchive() const {
  return netLocation_ != nullptr || overwriteMode_ == TOverwriteType::owVersion ||
         overwriteMode_ == TOverwriteType::owDate || overwriteMode_ == TOverwriteType::owVersionDate;
}

std::string TCustomInstallFile::GetArchiveFile() const {
  IInstallEngine* engine = CurrentEngine();
  TDistributeType type = engine ? engine->EngineDistributeType() : TDistributeType::dtTraditional;
  bool netRun = type == TDistributeType::dtWeb || (type != TDistributeType::dtTraditional && net_);
  if (netRun && state_ == TInstallFileState::ifsInstall) {
    if (HasOwnNetArchive() && ArchiveIsLocal()) {
      if (!Trim(localArchiveFile_.str()).empty()) return localArchiveFile_;
      std::string found;
      if (FindLocalFile(found)) return found;
    } else if (auto* fc = As<TFileContainer>(container_); fc && fc->ArchiveIsLocal()) {
      return fc->GetLocalArchiveFile();
    }
  }
  return TFileRelated::GetArchiveFile();
}

void TCustomInstallFile::report(int eventID, TPersistent* po) {
  if (container_) container_->DoInformationEventControl(this, eventID, po);
}

void TCustomInstallFile::RaiseUserAbort() { throw EAIUserAbort(); }

}  // namespace kestrune
