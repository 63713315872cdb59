// Labels: windowless controls that draw a caption in their font.
#pragma once
#include "ui/controls.h"

namespace kestrune::ui {

class TCustomLabel : public TGraphicControl {
  KESTRUNE_CLASS()
 public:
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment v);
  // Stored for the stream; the label keeps its bounds (no measuring without a window).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  void Paint(platform::ui::Canvas& canvas) override;

 protected:
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true;
  bool transparent_ = false;
  bool wordWrap_ = false;
};

class TLabel : public TCustomLabel {
  KESTRUNE_CLASS()
 public:
  using TCustomLabel::TCustomLabel;
};

}  // namespace kestrune::ui
