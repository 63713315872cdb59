// Bit buttons.
#include "ui/buttons.h"

#include "runtime/published.h"

namespace kestrune::ui {

const EnumType& EnumTypeInfo(TButtonLayout) {
  static const EnumType t{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
  return t;
}
const EnumType& EnumTypeInfo(TBitBtnKind) {
  static const EnumType t{"TBitBtnKind", {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
                                          "bkRetry", "bkIgnore", "bkAll"}};
  return t;
}

const ClassInfo& TBitBtn::classInfo() {
  static const ClassInfo info{"TBitBtn", &TButton::classInfo(), create<TBitBtn>,
                              {prop<&TBitBtn::Glyph>("Glyph"), prop<&TBitBtn::Kind, &TBitBtn::SetKind>("Kind").Default(0),
                               prop<&TBitBtn::Layout, &TBitBtn::SetLayout>("Layout").Default(0),
                               prop<&TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs>("NumGlyphs").Default(1)}};
  return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TPicture>()) {}

}  // namespace kestrune::ui
