// Fuzzes the uninstaller's reading of its raw command line: whatever the line, the product
// name is a piece of it without blanks at either end, "/Q" is seen only when the line
// holds it, and the program's own path (quoted or not) never leaks into the name when the
// line starts with it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objects/routines_Uninstall.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const std::string kSelf = "C:\\Program Files\\Some Product\\uninstall.exe";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrune;
  const std::string line(reinterpret_cast<const char*>(data), size);
  auto namesSelf = [](const std::string& word) { return word == kSelf || word == "\"" + kSelf + "\""; };
  const UninstallCommand command = ParseUninstallCommandLine(line, namesSelf);
  const std::string& p = command.product;
  check(p.size() <= line.size());
  check(p.empty() || (p.front() != ' ' && p.front() != '\t' && p.back() != ' ' && p.back() != '\t'));
  check(p.empty() || line.find(p) != std::string::npos);
  check(!command.quiet || line.find("/Q") != std::string::npos || line.find("/q") != std::string::npos);
  // The same line behind the program's path, quoted and unquoted, names the same product.
  if (line.find('"') == std::string::npos && !line.empty() && line[0] != ' ' && line[0] != '\t') {
    const UninstallCommand quoted = ParseUninstallCommandLine("\"" + kSelf + "\" " + line, namesSelf);
    const UninstallCommand plain = ParseUninstallCommandLine(kSelf + " " + line, namesSelf);
    check(quoted.product == plain.product && quoted.quiet == plain.quiet);
  }
  return 0;
}
