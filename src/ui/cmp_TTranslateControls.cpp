// The translated label and bit button.
#include "ui/cmp_TTranslateControls.h"

#include "runtime/published.h"

namespace kestrune::ui {

const ClassInfo& TTranslateLabel::classInfo() {
  static const ClassInfo info{"TTranslateLabel", &TLabel::classInfo(), create<TTranslateLabel>,
                              {prop<&TTranslateLabel::GLID, &TTranslateLabel::SetGLID>("GLID").AlwaysStored()}};
  return info;
}

const ClassInfo& TTranslateBitBtn::classInfo() {
  static const ClassInfo info{"TTranslateBitBtn", &TBitBtn::classInfo(), create<TTranslateBitBtn>,
                              {prop<&TTranslateBitBtn::GLID, &TTranslateBitBtn::SetGLID>("GLID").AlwaysStored()}};
  return info;
}

}  // namespace kestrune::ui
