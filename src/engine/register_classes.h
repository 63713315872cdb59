// Registers every class an install script or a page layout may name.
#pragma once
#include "runtime/classinfo.h"

namespace kestrune {

void registerKitClasses(ClassRegistry& registry);

}  // namespace kestrune
