// Registers the toolkit's streamable controls.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune::ui {

void registerUiClasses(ClassRegistry& registry);

}  // namespace kestrune::ui
