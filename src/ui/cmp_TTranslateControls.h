// The translated label and bit button: a label and a bit button that carry a global text
// number (GLID). A GLID above 0 selects the control's text in the target language; any
// non-zero GLID keeps the translator from translating the control's texts otherwise.
#pragma once
#include "ui/buttons.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

class TTranslateLabel : public TLabel {
  KESTRUNE_CLASS()
 public:
  using TLabel::TLabel;
  int32_t GLID() const { return glid_; }
  void SetGLID(int32_t v) { glid_ = v; }

 private:
  int32_t glid_ = 0;
};

class TTranslateBitBtn : public TBitBtn {
  KESTRUNE_CLASS()
 public:
  using TBitBtn::TBitBtn;
  int32_t GLID() const { return glid_; }
  void SetGLID(int32_t v) { glid_ = v; }

 private:
  int32_t glid_ = 0;
};

}  // namespace kestrune::ui
