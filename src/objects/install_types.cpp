// Value names of the install objects' enumerations.
#include "objects/install_types.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TInstallType) {
  static const EnumType t{"TInstallType", {"itFull", "itDefault", "itCompact", "itAlways", "itCustom"}};
  return t;
}

const EnumType& EnumTypeInfo(TlzhCommand) {
  static const EnumType t{"TlzhCommand", {"lzcOverwrite", "lzcOnlyAdd"}};
  return t;
}

const EnumType& EnumTypeInfo(TDistributeType) {
  static const EnumType t{"TDistributeType", {"dtTraditional", "dtWeb", "dtTraditionalNet"}};
  return t;
}

}  // namespace kestrune
