// Expansion of %-meta variables in texts the script author writes (shortcut parameters).
#pragma once
#include <string>
#include <string_view>

namespace kestrune {

class TInstallContainer;

// Expands %a (the component's destination), %c (its container's destination), %i (the
// engine's destination) and the directory variables; "%%" stands for "%". Raises
// EAICannotExpandContainerDirMV or EAICannotExpandInstallDirMV when a variable cannot be
// given; the first error ends the expansion.
std::string ExpandMetaVariables(std::string_view text, const TInstallContainer* component);

}  // namespace kestrune
