// What the wizard's pages show of the product. A script shaped like the demo's (it has a
// group named FullVersion, DemoVersion or BDE; and pages made without an engine) keeps the pages' own texts and the demo's
// install types; any other script shows its own data: the engine's Information (product
// name, description line, version, company), its licence text, the install types it
// declares and the groups it lets the user choose.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "objects/install_types.h"

namespace kestrune {
class TFileContainer;
}

namespace kestrune::dialogs {

bool DemoShapedScript();

// A text of the pages, written in Czech as the pages are designed, in the main
// translator's language (unchanged without a translator or without a translation).
std::string PageText(std::string_view czech);

std::string ProductName();
// The line under the product name: the script's description, else its version.
std::string ProductLine();

// The install types a script offers on the welcome page: those of the engine's
// InstallTypes that include something to install, in the order full, typical, compact,
// custom. The page text (Czech design) of each.
std::vector<TInstallType> OfferedInstallTypes(TFileContainer* root);
std::string InstallTypeText(TInstallType type);

// The groups the user may tick on or off: the engine's own file groups with AllowChoice.
std::vector<TFileContainer*> OptionalGroups(TFileContainer* root);
// The install type test of an object, its Include flag left aside.
bool InInstallType(const TFileContainer* object, TInstallType type);

}  // namespace kestrune::dialogs
