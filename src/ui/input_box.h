// The input box: a small modal form that asks for one line of text.
#pragma once
#include <string>

namespace kestrune::ui {

// Shows caption, prompt, an edit holding value, OK and "Storno". True, with value set to
// the edit's text, when the user confirmed; false leaves value as it was.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

}  // namespace kestrune::ui
