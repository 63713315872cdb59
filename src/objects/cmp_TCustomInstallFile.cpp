// The base of install files and the registries of live files.
#include "objects/cmp_TCustomInstallFile.h"

#include <algorithm>

#include "routines/routines_Strings.h"
#include "routines/routines_System.h"
#include "runtime/exceptions.h"

namespace kestrune {

TCustomInstallFileList& InstallFiles() {
  static TCustomInstallFileList list;
  return list;
}

TCustomInstallFileList& FailedRegistrations() {
  static TCustomInstallFileList list;
  return list;
}

void TCustomInstallFileList::Add(TCustomInstallFile* item) {
  if (!item) throw IECustomInstallFileList("Cannot add a blank entry to the TCustomInstallFileList object");
  items_.push_back(item);
}

void TCustomInstallFileList::Remove(TCustomInstallFile* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
}

const ClassInfo& TCustomInstallFile::classInfo() {
  static const ClassInfo info{"TCustomInstallFile", &TFileRelated::classInfo(), nullptr, {}};
  return info;
}

TCustomInstallFile::TCustomInstallFile(TComponent* owner) : TFileRelated(owner) {
  net_ = false;
  InstallFiles().Add(this);
}

TCustomInstallFile::~TCustomInstallFile() {
  InstallFiles().Remove(this);
  FailedRegistrations().Remove(this);
}

std::string TCustomInstallFile::SourcePath() const { return AddBackslash(includeFromDir_) + fileName_; }

std::string TCustomInstallFile::DestPath() const { return AddBackslash(GetDestDir()) + destName_; }

bool TCustomInstallFile::HasOwnNetArchive() const { return netLocation_ != nullptr; }

}  // namespace kestrune
