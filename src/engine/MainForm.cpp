// TfrmMain: created from the embedded install script.
#include "engine/MainForm.h"

#include <algorithm>

#include "platform/gzip.h"
#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "ui/application.h"

namespace kestrune::engine {

EmbeddedStream MainFormStream() {
  std::optional<std::span<const uint8_t>> bytes = platform::ui::LoadRcData(kMainFormResource);
  if (!bytes) throw EReadError("Resource %s not found", {kMainFormResource});
  return MainFormStreamOf(*bytes);
}

EmbeddedStream MainFormStreamOf(std::span<const uint8_t> resource) {
  EmbeddedStream stream;
  if (!platform::IsGzipMember(resource)) {
    // Programs made before the script was stored compressed, and test programs.
    stream.image_ = resource;
    return stream;
  }
  std::optional<std::vector<uint8_t>> inflated = platform::InflateGzipMember(resource, kMaxMainFormStream);
  if (!inflated || inflated->empty())
    throw EReadError("Resource %s is damaged: not one complete gzip member of at most 64 MiB", {kMainFormResource});
  stream.inflated_ = std::move(*inflated);
  return stream;
}

const ClassInfo& TfrmMain::classInfo() {
  static const ClassInfo info{"TfrmMain", &ui::TForm::classInfo(), nullptr, {}};
  return info;
}

TfrmMain::TfrmMain(TComponent* owner) : TfrmMain(owner, MainFormStream().bytes()) {}

TfrmMain::TfrmMain(TComponent* owner, std::span<const uint8_t> stream) : ui::TForm(owner) {
  declareFields();
  ReadFormStream(stream);
  // A script that gives the main window no size gets one: 640 x 480 (less on a smaller
  // screen), centred, instead of a window of no size at the screen's corner. An unattended
  // run shows no window and does not ask the screen's size (under Wine that connects to
  // the display: megabytes).
  if ((Width() <= 0 || Height() <= 0) && !ui::Quiet()) {
    const platform::ui::Size screen = platform::ui::ScreenSize();
    const int32_t width = std::min<int32_t>(640, screen.cx), height = std::min<int32_t>(480, screen.cy);
    SetBounds((screen.cx - width) / 2, (screen.cy - height) / 2, width, height);
  }
}

void TfrmMain::declareFields() {
  DeclareField("BackDrop", BackDrop);
  DeclareField("ProductLabel", ProductLabel);
}

}  // namespace kestrune::engine
