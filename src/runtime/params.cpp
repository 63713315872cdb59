// The program's command-line parameters.
#include "runtime/params.h"

namespace kestrune {

namespace {
std::vector<std::string>& params() {
  static std::vector<std::string> p;
  return p;
}
}  // namespace

void SetProgramParams(std::vector<std::string> p) { params() = std::move(p); }
int ParamCount() { return params().empty() ? 0 : static_cast<int>(params().size()) - 1; }
std::string ParamStr(int index) {
  return index >= 0 && index < static_cast<int>(params().size()) ? params()[index] : std::string();
}

}  // namespace kestrune
