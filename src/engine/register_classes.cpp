// Registers every class an install script or a page layout may name.
#include "engine/register_classes.h"

#include "dialogs/dialog_classes.h"
#include "engine/cmp_TInstall.h"
#include "objects/register_objects.h"
#include "ui/ui_classes.h"

namespace kestrune {

void registerKitClasses(ClassRegistry& registry) {
  ui::registerUiClasses(registry);
  dialogs::registerDialogClasses(registry);
  registerObjectClasses(registry);
  registerEngineClasses(registry);
}

}  // namespace kestrune
