// The install object tree of a loaded script as tab-separated lines.
#pragma once
#include <ostream>

namespace kestrune::engine {
class TfrmMain;
}

namespace kestrune::tools {

// One line per install object in processing order, indented by depth: name, class,
// RegisteredType, Order, IsIncluded, destination and, for file-related objects, archive.
void PrintTree(const engine::TfrmMain& form, std::ostream& out);

}  // namespace kestrune::tools
