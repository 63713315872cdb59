// Bit buttons: push buttons that may carry a glyph. The caption is the button's window
// text; the glyph is stored with the form (drawing it is left to a later owner-drawn
// button).
#pragma once
#include <memory>

#include "runtime/picture.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
const EnumType& EnumTypeInfo(TButtonLayout);
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
const EnumType& EnumTypeInfo(TBitBtnKind);

class TBitBtn : public TButton {
  KESTRUNE_CLASS()
 public:
  explicit TBitBtn(TComponent* owner);
  TPicture* Glyph() const { return glyph_.get(); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v) { layout_ = v; }
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v) { kind_ = v; }
  int32_t NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int32_t v) { numGlyphs_ = v; }

 private:
  std::unique_ptr<TPicture> glyph_;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  TBitBtnKind kind_ = TBitBtnKind::bkCustom;
  int32_t numGlyphs_ = 1;
};

}  // namespace kestrune::ui
