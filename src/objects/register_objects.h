// Registers the install object classes a script may name.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune {

void registerObjectClasses(ClassRegistry& registry);

}  // namespace kestrune
