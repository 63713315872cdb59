// Value names of the install objects' enumerations.
#include "objects/install_types.h"

namespace kestrune {

const EnumType& EnumTypeInfo(TInstallType) {
  static constexpr std::string_view values[] = {"itFull", "itDefault", "itCompact", "itAlways", "itCustom"};
  static constexpr EnumType t{"TInstallType", values};
  return t;
}

const EnumType& EnumTypeInfo(TlzhCommand) {
  static constexpr std::string_view values[] = {"lzcOverwrite", "lzcOnlyAdd"};
  static constexpr EnumType t{"TlzhCommand", values};
  return t;
}

const EnumType& EnumTypeInfo(TDistributeType) {
  static constexpr std::string_view values[] = {"dtTraditional", "dtWeb", "dtTraditionalNet"};
  static constexpr EnumType t{"TDistributeType", values};
  return t;
}

}  // namespace kestrune
