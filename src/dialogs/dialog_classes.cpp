// Registers the streamable classes of the wizard dialogs subsystem.
#include "dialogs/dialog_classes.h"

#include "dialogs/cmp_Rotate3DLabel.h"
#include "dialogs/cmp_TBackDrop.h"

namespace kestrune::dialogs {

void registerDialogClasses(ClassRegistry& registry) {
  registry.Register(TBackdrop::classInfo());
  registry.Register(TRotate3DLabel::classInfo());
}

}  // namespace kestrune::dialogs
