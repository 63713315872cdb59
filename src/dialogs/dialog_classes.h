// Registers the streamable classes of the wizard dialogs subsystem.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune::dialogs {

void registerDialogClasses(ClassRegistry& registry);

}  // namespace kestrune::dialogs
