// Registers the streamable classes of the wizard dialogs subsystem.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune::dialogs {

void registerDialogClasses(ClassRegistry& registry);
// Registers the wizard's page and during-copy form classes in the form registries, in
// the program's order (once; later calls do nothing).
void registerWizardForms();
// Makes one hidden form of each wizard class, owned by OWNER, in the order the setup
// program creates them at start: welcome, licence, copy progress, selection, failure,
// success. The dialog managers show fresh forms of their own.
void createStartForms(TComponent* owner);

}  // namespace kestrune::dialogs
