// TPersistent: Assign through AssignTo.
#include "runtime/persistent.h"

#include "runtime/exceptions.h"

namespace kestrune {

const ClassInfo& TPersistent::classInfo() {
  static const ClassInfo info{"TPersistent", nullptr, nullptr, {}};
  return info;
}

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError("Cannot assign a %s to a %s", {ClassName(), dest.ClassName()});
}

}  // namespace kestrune
