// Bit buttons: where glyph and caption go for each layout, and a kind's glyph drawn beside
// the caption without its accelerator mark.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/buttons.h"
#include "ui/recording_canvas.h"

namespace kestrune::ui {
namespace {

using platform::ui::Rect;
using platform::ui::Size;
using testing::Drawn;
using testing::RecordingCanvas;

TEST(BitBtn, GlyphAndCaptionAreCentredTogetherInEachLayout) {
  const Rect client{0, 0, 75, 33};
  const Size glyph{16, 16}, text{30, 13};
  GlyphPlacement left = PlaceGlyph(client, glyph, text, TButtonLayout::blGlyphLeft);
  EXPECT_EQ(left.glyph.x, (75 - 50) / 2);
  EXPECT_EQ(left.text.x, left.glyph.x + 16 + 4);
  EXPECT_EQ(left.glyph.y, (33 - 16) / 2);
  EXPECT_EQ(left.text.y, (33 - 13) / 2);
  GlyphPlacement right = PlaceGlyph(client, glyph, text, TButtonLayout::blGlyphRight);
  EXPECT_EQ(right.text.x, left.glyph.x);
  EXPECT_EQ(right.glyph.x, right.text.x + 30 + 4);
  GlyphPlacement top = PlaceGlyph({0, 0, 75, 60}, glyph, text, TButtonLayout::blGlyphTop);
  EXPECT_EQ(top.glyph.y, (60 - 33) / 2);
  EXPECT_EQ(top.text.y, top.glyph.y + 20);
  EXPECT_EQ(top.glyph.x, (75 - 16) / 2);
  EXPECT_EQ(top.text.x, (75 - 30) / 2);
  GlyphPlacement bottom = PlaceGlyph({0, 0, 75, 60}, glyph, text, TButtonLayout::blGlyphBottom);
  EXPECT_EQ(bottom.text.y, top.glyph.y);
  EXPECT_EQ(bottom.glyph.y, bottom.text.y + 17);
  // Without a caption the glyph alone is centred (no spacing).
  EXPECT_EQ(PlaceGlyph(client, glyph, {0, 0}, TButtonLayout::blGlyphLeft).glyph.x, (75 - 16) / 2);
}

TEST(BitBtn, KindGlyphIsDrawnOnTheLayoutsSideOfTheCaption) {
  TBitBtn button(nullptr);
  EXPECT_FALSE(button.HasGlyph());  // a custom button without a picture stays a system button
  button.SetCaption("&OK");
  button.SetKind(TBitBtnKind::bkOK);
  button.SetLayout(TButtonLayout::blGlyphRight);
  EXPECT_TRUE(button.HasGlyph());
  RecordingCanvas canvas({30, 13});
  platform::ui::ButtonDrawState state;
  state.bounds = {0, 0, 75, 33};
  button.DrawButton(canvas, state);
  auto text = std::find_if(canvas.drawn.begin(), canvas.drawn.end(), [](const Drawn& d) { return d.kind == Drawn::Text; });
  ASSERT_NE(text, canvas.drawn.end());
  EXPECT_EQ(text->text, "OK");
  int polygons = 0;
  for (const Drawn& d : canvas.drawn) {
    if (d.kind != Drawn::Polygon) continue;
    ++polygons;
    for (auto p : d.points) {
      EXPECT_GE(p.x, text->at.x + 30);
      EXPECT_LE(p.x, text->at.x + 30 + 4 + kKindGlyphSize);
    }
  }
  EXPECT_GT(polygons, 0);
  // Disabled: the glyph in grey.
  canvas.drawn.clear();
  state.disabled = true;
  button.DrawButton(canvas, state);
  for (const Drawn& d : canvas.drawn) {
    if (d.kind == Drawn::Polygon) {
      EXPECT_EQ(d.color, 0x808080u);
    }
  }
}

}  // namespace
}  // namespace kestrune::ui
