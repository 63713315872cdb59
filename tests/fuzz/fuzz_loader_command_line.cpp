// Fuzzes the loader's reading of its raw command line: whatever the line, the log switch
// it passes on is a whole word of the line starting with -l (quotes removed, so it cannot
// break out of the quotes the loader puts around it), -q and the help are seen only when
// the line has such a word, and quoting a word does not change what it means.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/loader_command_line.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

namespace lc = kestrune::loader_command_line;

lc::Switches<char> read(const std::string& line) {
  lc::Switches<char> s;
  lc::Read(line.c_str(), s);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string args(reinterpret_cast<const char*>(data), size);
  args = args.substr(0, args.find('\0'));
  const std::string line = "\"C:\\Dist\\setup.exe\" " + args;
  const lc::Switches<char> s = read(line);
  const std::string log(s.log);
  if (!log.empty()) {
    check(log.size() >= 2 && log[0] == '-' && (log[1] == 'l' || log[1] == 'L'));
    check(log.find('"') == std::string::npos);
    check(log.size() < static_cast<size_t>(lc::kWordCapacity));
  }
  check(!s.quiet || args.find("-q") != std::string::npos || args.find("-Q") != std::string::npos ||
        args.find("\"q") != std::string::npos || args.find("\"Q") != std::string::npos);
  // Without quotes in the arguments, every word quoted means the same.
  if (args.find('"') == std::string::npos && args.find('\t') == std::string::npos) {
    std::string quoted;
    size_t at = 0;
    while (at < args.size()) {
      size_t end = args.find(' ', at);
      if (end == std::string::npos) end = args.size();
      if (end > at) quoted += "\"" + args.substr(at, end - at) + "\" ";
      at = end + 1;
    }
    const lc::Switches<char> q = read("C:\\Dist\\setup.exe " + quoted);
    check(q.quiet == s.quiet && q.help == s.help && q.toDisk == s.toDisk && std::string(q.log) == log);
  }
  return 0;
}
