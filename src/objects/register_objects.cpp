// Registers the install object classes a script may name.
#include "objects/register_objects.h"

#include "objects/cmp_GrabCall.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"

namespace kestrune {

void registerObjectClasses(ClassRegistry& registry) {
  registerPathSpecifierClasses(registry);
  registry.Register(TInstallFileGroup::classInfo());
  registry.Register(TGrabCall::classInfo());
  registry.Register(TInstallFile::classInfo());
}

}  // namespace kestrune
