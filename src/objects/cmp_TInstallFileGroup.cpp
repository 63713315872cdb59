// File groups and the published properties of file containers.
#include "objects/cmp_TInstallFileGroup.h"

#include "archive/archive_names.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/published_props.h"
#include "platform/files.h"
#include "runtime/format.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TInstallFileGroup::classInfo() {
  static constexpr auto props = JoinProps(
      kInstallObjectProps, FileRelatedPropTable<false>(), kFileContainerProps,
      std::array{prop<&TFileContainer::GroupName, &TFileContainer::SetGroupName>("GroupName").DefaultStr("Unnamed File Group")});
  static const ClassInfo info{"TInstallFileGroup", &TFileContainer::classInfo(), create<TInstallFileGroup>, props};
  return info;
}

TInstallFileGroup::TInstallFileGroup(TComponent* owner) : TFileContainer(owner) {
  groupName_ = "Unnamed File Group";
}

TInstallFileGroup::TInstallFileGroup(TComponent* owner, TInstallContainer* container) : TInstallFileGroup(owner) {
  if (!container) return;
  groupName_ = "Group #" + std::to_string(container->FileContainerCount());
  SetContainer(container);
}

void TInstallFileGroup::RemoveMissingFiles() {
  for (int i = FileCount() - 1; i >= 0; --i) {
    TCustomInstallFile* file = Files(i);
    if (!platform::fileExists(SourceFileOnDisk(file->SourcePath()))) {
      RemoveHelper(file);
      delete file;
    }
  }
}

}  // namespace kestrune
