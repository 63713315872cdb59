// Loading an install script from a file into a main form.
#include "engine/script_loader.h"

#include <cstring>

#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/system.h"
#include "runtime/exceptions.h"
#include "runtime/params.h"
#include "runtime/text_form.h"

namespace kestrune::engine {

std::vector<uint8_t> ReadScriptFile(const std::string& path) {
  if (platform::directoryExists(path))
    throw EFOpenError("Cannot open file \"%s\": it is a directory, not a script file", {path});
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::readWholeFile(path);
  } catch (const platform::PlatformError& e) {
    throw EFOpenError("Cannot open file \"%s\": %s", {path, e.Message()});
  }
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "TPF0", 4) == 0) return bytes;
  return ObjectTextToBinary(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::unique_ptr<TfrmMain> LoadScript(const std::vector<uint8_t>& stream) {
  SetProgramParams({platform::moduleFileName()});
  return std::make_unique<TfrmMain>(nullptr, stream);
}

TCustomInstall* FindEngine(const TfrmMain& form) {
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (auto* engine = As<TCustomInstall>(form.Components(i))) return engine;
  return nullptr;
}

}  // namespace kestrune::engine
