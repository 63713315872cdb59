// What each class a script may meet is for, one sentence each, for the class reference.
#pragma once
#include <string_view>

namespace kestrune {
struct ClassInfo;
}

namespace kestrune::tools {

// The purpose of the class of that name; null for a class without one (the reference
// then says "(no description)", which its test refuses).
const char* ClassPurpose(std::string_view className);

// What a property of owner (or of its ancestors) is for; null when the reference has no
// words for it.
const char* PropertyPurpose(const ClassInfo& owner, std::string_view property);

}  // namespace kestrune::tools
