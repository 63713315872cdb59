// Published property lists shared by the install object classes.
#include "objects/published_props.h"

namespace kestrune {

std::vector<PropInfo> InstallObjectProps() { return {kInstallObjectProps.begin(), kInstallObjectProps.end()}; }

std::vector<PropInfo> FileRelatedProps(bool withNet) {
  if (withNet) {
    constexpr auto table = FileRelatedPropTable<true>();
    return {table.begin(), table.end()};
  }
  constexpr auto table = FileRelatedPropTable<false>();
  return {table.begin(), table.end()};
}

std::vector<PropInfo> FileContainerProps() { return {kFileContainerProps.begin(), kFileContainerProps.end()}; }

}  // namespace kestrune
