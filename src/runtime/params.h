// The program's command-line parameters (ParamStr(0) is the program itself), set once by
// the program's entry point from the real command line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

void SetProgramParams(std::vector<std::string> params);
// Number of parameters after the program name.
int ParamCount();
// Parameter i (0 = the program's path); empty when out of range.
std::string ParamStr(int index);

// Splits a command line the way users of Windows setup programs expect: blanks and other
// control characters outside double quotes separate the arguments; a double quote opens
// or closes a quoted stretch and is removed; backslashes are ordinary characters, so
// "-sC:\Dist\" gives -sC:\Dist\ and a quote can never be part of an argument. "" alone is
// an empty argument. The first argument is the program as written on the line.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace kestrune
