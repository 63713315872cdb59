// The reference of the classes a script may name, written from the class registry's
// metadata: each class, what it is for, and its published properties with type, values
// and default.
#pragma once
#include <ostream>
#include <string_view>

namespace kestrune {
class ClassRegistry;
struct ClassInfo;
}

namespace kestrune::tools {

// The whole reference in Markdown: the script's root class (the main form), every
// registered class, the base classes they inherit from and the classes of their owned
// sub-objects, each with the properties it declares. docs/reference.md is this output.
void PrintClassReference(const ClassRegistry& registry, const ClassInfo& root, std::ostream& out);

// One class with every property it has, inherited ones included (with the class that
// declares them). False when no documented class has that name.
bool PrintClass(const ClassRegistry& registry, const ClassInfo& root, std::string_view name, std::ostream& out);

}  // namespace kestrune::tools
