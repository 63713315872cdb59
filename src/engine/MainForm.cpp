// TfrmMain: created from the embedded install script.
#include "engine/MainForm.h"

#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"

namespace kestrune::engine {

std::vector<uint8_t> LoadMainFormStream() {
  std::optional<std::vector<uint8_t>> bytes = platform::ui::LoadRcData(kMainFormResource);
  if (!bytes) throw EReadError("Resource %s not found", {kMainFormResource});
  return *bytes;
}

const ClassInfo& TfrmMain::classInfo() {
  static const ClassInfo info{"TfrmMain", &ui::TForm::classInfo(), nullptr, {}};
  return info;
}

TfrmMain::TfrmMain(TComponent* owner) : TfrmMain(owner, LoadMainFormStream()) {}

TfrmMain::TfrmMain(TComponent* owner, const std::vector<uint8_t>& stream) : ui::TForm(owner) {
  declareFields();
  ReadFormStream(stream);
}

void TfrmMain::declareFields() {
  DeclareField("BackDrop", BackDrop);
  DeclareField("ProductLabel", ProductLabel);
}

}  // namespace kestrune::engine
