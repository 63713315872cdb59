// Registers the install object classes a script may name.
#include "objects/register_objects.h"

#include "objects/cmp_GrabCall.h"
#include "objects/cmp_TCustomNetInstallLocation.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TInstallFile.h"
#include "objects/cmp_TInstallFileGroup.h"
#include "objects/cmp_TPathSpecifier.h"
#include "objects/cmp_TUninstallEXE.h"

namespace kestrune {

void registerObjectClasses(ClassRegistry& registry) {
  registerPathSpecifierClasses(registry);
  registry.Register(TInstallFileGroup::classInfo());
  registry.Register(TGrabCall::classInfo());
  registry.Register(TInstallFile::classInfo());
  registry.Register(TUninstallEXE::classInfo());
  registerShellLinkClasses(registry);
  registerNetClasses(registry);
}

}  // namespace kestrune
