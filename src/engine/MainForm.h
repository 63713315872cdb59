// TfrmMain: the installer's main window. It owns every component of the install script,
// which is its own component stream, and is the window the engine hooks to start the run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "dialogs/cmp_Rotate3DLabel.h"
#include "dialogs/cmp_TBackDrop.h"
#include "ui/forms.h"

namespace kestrune::engine {

// Name of the RCDATA resource of the setup program that holds the main form's stream
// (the install script).
inline constexpr char kMainFormResource[] = "TFRMMAIN";

// The largest install script a program carrying it compressed may inflate (about 130,000
// install files); a member that states or holds more is refused as damaged.
inline constexpr size_t kMaxMainFormStream = 64u << 20;

// The main form's stream embedded in the running program. A stream stored raw is read
// where the program's image has it (no copy: a script of thousands of files is megabytes);
// one stored as a gzip member (how setup.exe and make-setup's programs carry it) is
// inflated into this object, which holds it until it is destroyed.
class EmbeddedStream {
 public:
  std::span<const uint8_t> bytes() const { return inflated_.empty() ? image_ : std::span<const uint8_t>(inflated_); }

 private:
  friend EmbeddedStream MainFormStreamOf(std::span<const uint8_t> resource);
  std::span<const uint8_t> image_;
  std::vector<uint8_t> inflated_;
};

// Raises EReadError when the program carries no script or its compressed script is
// damaged or inflates beyond kMaxMainFormStream.
EmbeddedStream MainFormStream();
// The same for the bytes of a TFRMMAIN resource.
EmbeddedStream MainFormStreamOf(std::span<const uint8_t> resource);

class TfrmMain : public ui::TForm {
  KESTRUNE_CLASS()
 public:
  // Creates the form from the install script embedded in the program.
  explicit TfrmMain(TComponent* owner);
  // Creates the form from the given stream. Reading errors propagate; the form and what
  // it read so far are then destroyed.
  TfrmMain(TComponent* owner, std::span<const uint8_t> stream);

  // Fields set while the stream is read.
  dialogs::TBackdrop* BackDrop = nullptr;
  dialogs::TRotate3DLabel* ProductLabel = nullptr;

 private:
  void declareFields();
};

}  // namespace kestrune::engine
