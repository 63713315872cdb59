// Loading an install script from a file into a main form.
#include "engine/script_loader.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/MainForm.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/params.h"
#include "runtime/text_form.h"

namespace kestrune::engine {

std::vector<uint8_t> ReadScriptFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"%s\"", {path});
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "TPF0", 4) == 0) return bytes;
  return ObjectTextToBinary(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::unique_ptr<TfrmMain> LoadScript(const std::vector<uint8_t>& stream) {
  SetProgramParams({platform::moduleFileName()});
  return std::make_unique<TfrmMain>(nullptr, stream);
}

}  // namespace kestrune::engine
