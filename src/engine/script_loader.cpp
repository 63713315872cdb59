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

namespace {

std::vector<uint8_t> readScript(const std::string& path, std::vector<TextFormMark>* marks) {
  if (platform::directoryExists(path))
    throw EFOpenError("Cannot open file \"%s\": it is a directory, not a script file", {path});
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::readWholeFile(path);
  } catch (const platform::PlatformError& e) {
    throw EFOpenError("Cannot open file \"%s\": %s", {path, e.Message()});
  }
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "TPF0", 4) == 0) return bytes;
  return ObjectTextToBinary(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), marks);
}

}  // namespace

std::vector<uint8_t> ReadScriptFile(const std::string& path) { return readScript(path, nullptr); }

ScriptFile OpenScriptFile(const std::string& path) {
  ScriptFile script;
  script.path = path;
  script.stream = readScript(path, &script.marks);
  return script;
}

std::unique_ptr<TfrmMain> LoadScript(const ScriptFile& script) {
  try {
    return LoadScript(script.stream);
  } catch (Exception& e) {
    if (e.StreamOffset() < 0) throw;
    if (const TextFormMark* mark = FindTextFormMark(script.marks, e.StreamOffset())) {
      std::string message = Format("Line %d, column %d: %s", {mark->line, mark->column, e.Message()});
      if (!mark->object.empty() && dynamic_cast<const EClassNotFound*>(&e))
        message += Format(" (object %s)", {mark->object});
      e.SetMessage(message);
    }
    throw;
  }
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
