// The program's command-line parameters and the split of a command line.
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

std::vector<std::string> SplitCommandLine(std::string_view line) {
  auto separator = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::vector<std::string> args;
  size_t i = 0;
  while (true) {
    while (i < line.size() && separator(line[i])) ++i;
    if (i == line.size()) break;
    std::string arg;
    bool quoted = false;
    for (; i < line.size() && (quoted || !separator(line[i])); ++i) {
      if (line[i] == '"') quoted = !quoted;
      else arg += line[i];
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace kestrune
