// File groups: named, describable sets of install files and further groups.
#pragma once
#include "objects/cmp_TFileContainer.h"

namespace kestrune {

class TInstallFileGroup : public TFileContainer {
  KESTRUNE_CLASS()
 public:
  explicit TInstallFileGroup(TComponent* owner);
  // A group made inside a container (as an authoring tool makes one): its GroupName is
  // "Group #" and the number of file containers the container holds at that moment.
  TInstallFileGroup(TComponent* owner, TInstallContainer* container);
  // Removes and destroys, last first, every install file whose source does not exist.
  virtual void RemoveMissingFiles();
};

}  // namespace kestrune
