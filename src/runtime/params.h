// The program's command-line parameters (ParamStr(0) is the program itself), set once by
// the program's entry point from the real command line.
#pragma once
#include <string>
#include <vector>

namespace kestrune {

void SetProgramParams(std::vector<std::string> params);
// Number of parameters after the program name.
int ParamCount();
// Parameter i (0 = the program's path); empty when out of range.
std::string ParamStr(int index);

}  // namespace kestrune
