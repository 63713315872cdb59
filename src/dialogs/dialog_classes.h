// Registers the streamable classes of the wizard dialogs subsystem.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune::dialogs {

void registerDialogClasses(ClassRegistry& registry);
// Registers the wizard's page and during-copy form classes in the form registries, in
// the program's order (once; later calls do nothing).
void registerWizardForms();

}  // namespace kestrune::dialogs
