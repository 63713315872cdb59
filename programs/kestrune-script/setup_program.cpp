// The kit's setup program made to carry a given install script.
#include "setup_program.h"

#include <cstring>

#include "../common/tool_files.h"
#include "engine/MainForm.h"
#include "platform/portable_pe_resources.h"
#include "runtime/exceptions.h"

namespace kestrune::tools {

namespace {

// A program file: the DOS header's "MZ" and, where it points, the "PE" signature.
bool isWindowsProgram(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  uint32_t pe = 0;
  for (int i = 3; i >= 0; --i) pe = (pe << 8) | bytes[0x3C + i];
  return pe <= bytes.size() - 4 && std::memcmp(bytes.data() + pe, "PE\0\0", 4) == 0;
}

}  // namespace

std::vector<uint8_t> SetupProgramWithScript(const std::string& setupPath, const std::vector<uint8_t>& stream) {
  const std::vector<uint8_t> program = ReadInputFile(setupPath);
  if (!isWindowsProgram(program)) throw EFOpenError("\"%s\" is not a Windows program", {setupPath});
  // A program without a script is not the kit's setup program: it would carry the script
  // to no use.
  bool carriesScript = false;
  try {
    carriesScript = platform::pe::FindRcData(program, engine::kMainFormResource).has_value();
  } catch (const platform::pe::ResourceLayoutError&) {
  }
  if (!carriesScript) throw EFOpenError("\"%s\" is not a setup program of the kit: it carries no install script", {setupPath});
  try {
    return platform::pe::WithRcData(program, engine::kMainFormResource, stream);
  } catch (const platform::pe::ResourceLayoutError& e) {
    throw EWriteError("Cannot put the script into a copy of \"%s\": %s", {setupPath, std::string(e.what())});
  }
}

}  // namespace kestrune::tools
