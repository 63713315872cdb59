// The translated label and bit button.
#include "ui/cmp_TTranslateControls.h"

#include "runtime/published.h"

namespace kestrune::ui {

const ClassInfo& TTranslateLabel::classInfo() {
  static constexpr PropInfo props[] = {prop<&TTranslateLabel::GLID, &TTranslateLabel::SetGLID>("GLID").AlwaysStored()};
  static const ClassInfo info{"TTranslateLabel", &TLabel::classInfo(), create<TTranslateLabel>, props};
  return info;
}

const ClassInfo& TTranslateBitBtn::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TTranslateBitBtn::GLID, &TTranslateBitBtn::SetGLID>("GLID").AlwaysStored()};
  static const ClassInfo info{"TTranslateBitBtn", &TBitBtn::classInfo(), create<TTranslateBitBtn>, props};
  return info;
}

}  // namespace kestrune::ui
