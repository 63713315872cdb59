// Bit buttons: push buttons that may carry a glyph. The caption is the button's window
// text. A button with a glyph to show (its Kind's, or the Glyph picture of a custom one)
// is drawn by the toolkit: face, glyph and caption placed by Layout, focus frame; one
// without stays the system's own push button.
#pragma once
#include <memory>

#include "runtime/picture.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
const EnumType& EnumTypeInfo(TButtonLayout);
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
const EnumType& EnumTypeInfo(TBitBtnKind);

// Where the glyph and the caption go in a button's client rectangle: the two centred
// together along the layout's direction, `spacing` pixels apart.
struct GlyphPlacement {
  platform::ui::Point glyph, text;
};
GlyphPlacement PlaceGlyph(const platform::ui::Rect& client, platform::ui::Size glyph, platform::ui::Size text,
                          TButtonLayout layout, int spacing = 4);

// Draws the stock glyph of a kind (a 16 x 16 picture: check mark, cross, question mark,
// door, ...) with its top-left corner at `at`; nothing for bkCustom.
void DrawKindGlyph(platform::ui::Canvas& canvas, platform::ui::Point at, TBitBtnKind kind, bool disabled);
inline constexpr int kKindGlyphSize = 16;

class TBitBtn : public TButton {
  KESTRUNE_CLASS()
 public:
  explicit TBitBtn(TComponent* owner);
  TPicture* Glyph() const { return glyph_.get(); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v);
  int32_t NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int32_t v);
  // A glyph is shown: the kind's, or the picture of a custom button.
  bool HasGlyph() const;
  // Draws the button as the system asks an owner-drawn one to be drawn.
  void DrawButton(platform::ui::Canvas& canvas, const platform::ui::ButtonDrawState& state);

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void Loaded() override;
  bool WindowDrawButton(platform::ui::Canvas& canvas, const platform::ui::ButtonDrawState& state) override;

 private:
  platform::ui::Size glyphSize() const;
  std::unique_ptr<TPicture> glyph_;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  TBitBtnKind kind_ = TBitBtnKind::bkCustom;
  int32_t numGlyphs_ = 1;
};

}  // namespace kestrune::ui
