// Gradient bands of TBackdrop: colours, rows and columns, directions, rounding.
#include <gtest/gtest.h>

#include "dialogs/cmp_TBackDrop.h"
#include "ui/recording_canvas.h"

namespace kestrune::dialogs {
namespace {

using testing::Drawn;
using testing::RecordingCanvas;

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  struct Case { int a, b, c, expected; } cases[] = {
      {1, 357, 256, 1},   {2, 357, 256, 3},    {128, 357, 256, 179}, {1, 1, 2, 1},  {-1, 1, 2, -1},
      {1, -1, 2, -1},     {-1, -1, 2, 1},      {3, -255, 255, -3},   {127, -255, 127, -255},
      {5, 7, 0, -1},      {65536, 65536, 1, -1}, {7, 3, -2, -11},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << k.a << "*" << k.b << "/" << k.c);
    EXPECT_EQ(ui::MulDiv(k.a, k.b, k.c), k.expected);
  }
}

// The fills of a gradient of size width x height, in drawing order.
std::vector<Drawn> paint(int width, int height, TColor from, TColor to, bool symmetric, bool across) {
  RecordingCanvas canvas;
  TBackdrop::PaintGradient(canvas, width, height, from, to, symmetric, across);
  return canvas.drawn;
}

TEST(Backdrop, TopDownBandsFollowMulDivOfTheHeight) {
  auto fills = paint(536, 357, 16711680, 0, false, false);
  ASSERT_EQ(fills.size(), 256u);
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    const Drawn& d = fills[i];
    EXPECT_EQ(d.rect, (platform::ui::Rect{0, ui::MulDiv(i, 357, 256), 536, ui::MulDiv(i + 1, 357, 256)}));
    EXPECT_EQ(d.color, static_cast<platform::ui::ColorRef>(255 - i) << 16);
  }
  // Every row is covered exactly once.
  EXPECT_EQ(fills.front().rect.top, 0);
  EXPECT_EQ(fills.back().rect.bottom, 357);
  for (int i = 1; i < 256; ++i) EXPECT_EQ(fills[i].rect.top, fills[i - 1].rect.bottom);
}

TEST(Backdrop, HorzInWithWhiteAndBlackIsBlackAtTheEdgesAndWhiteInTheMiddle) {
  auto fills = paint(100, 256, ui::clBlack, ui::clWhite, true, false);  // bdHorzIn: From = EndColor
  ASSERT_EQ(fills.size(), 256u);  // 128 pairs
  for (int i = 0; i < 128; ++i) {
    SCOPED_TRACE(i);
    const Drawn& band = fills[2 * i];
    const Drawn& mirror = fills[2 * i + 1];
    EXPECT_EQ(band.color, mirror.color);
    EXPECT_EQ(band.rect.top, i);
    EXPECT_EQ(mirror.rect.top, 255 - i);
    int v = ui::MulDiv(i, 255, 127);
    EXPECT_EQ(band.color, static_cast<platform::ui::ColorRef>(v | v << 8 | v << 16));
  }
  EXPECT_EQ(fills[0].color, 0u);
  EXPECT_EQ(fills[254].color, 0xFFFFFFu);
}

TEST(Backdrop, DirectionsChooseColoursSymmetryAndAxis) {
  struct Case { TDirection dir; bool startFirst, symmetric, across; } cases[] = {
      {TDirection::bdUp, true, false, false},     {TDirection::bdDown, false, false, false},
      {TDirection::bdLeft, true, false, true},    {TDirection::bdRight, false, false, true},
      {TDirection::bdHorzIn, false, true, false}, {TDirection::bdHorzOut, true, true, false},
      {TDirection::bdVertIn, true, true, true},   {TDirection::bdVertOut, false, true, true},
  };
  const TColor start = 0x0000FF, end = 0x00FF00;
  for (const Case& k : cases) {
    SCOPED_TRACE(EnumTypeInfo(TDirection{}).values[static_cast<int>(k.dir)]);
    TBackdrop b(nullptr);
    b.SetBounds(0, 0, 300, 200);
    b.SetStartColor(start);
    b.SetEndColor(end);
    b.SetDirection(k.dir);
    RecordingCanvas canvas;
    b.Paint(canvas);
    ASSERT_EQ(canvas.drawn.size(), 256u);
    const Drawn& first = canvas.drawn.front();
    EXPECT_EQ(first.color, static_cast<platform::ui::ColorRef>(k.startFirst ? start : end));
    if (k.across) EXPECT_EQ(first.rect, (platform::ui::Rect{0, 0, ui::MulDiv(1, 300, 256), 200}));
    else EXPECT_EQ(first.rect, (platform::ui::Rect{0, 0, 300, ui::MulDiv(1, 200, 256)}));
    // Symmetric gradients reach the other colour in the middle, others at the far edge.
    const Drawn& last = k.symmetric ? canvas.drawn[254] : canvas.drawn[255];
    EXPECT_EQ(last.color, static_cast<platform::ui::ColorRef>(k.startFirst ? end : start));
  }
}

TEST(Backdrop, AssignCopiesGradientAndAlignment) {
  TBackdrop a(nullptr), b(nullptr);
  a.SetDirection(TDirection::bdVertOut);
  a.SetStartColor(ui::clRed);
  a.SetEndColor(ui::clBtnFace);
  a.SetAlign(ui::TAlign::alTop);
  b.Assign(a);
  EXPECT_EQ(b.Direction(), TDirection::bdVertOut);
  EXPECT_EQ(b.StartColor(), ui::clRed);
  EXPECT_EQ(b.EndColor(), ui::clBtnFace);
  EXPECT_EQ(b.Align(), ui::TAlign::alTop);
}

TEST(Backdrop, SystemColoursAreResolvedBeforeSplitting) {
  auto fills = paint(10, 256, ui::clWindowText, ui::clWindowText, false, false);
  EXPECT_EQ(fills.front().color, ui::ColorToRGB(ui::clWindowText));
  EXPECT_EQ(fills.front().color & 0xFF000000u, 0u);
}

TEST(MainInstance, TagMinusOneMovesToTheLatestInstance) {
  TBackdrop a(nullptr), b(nullptr);
  a.SetTag(-1);
  EXPECT_EQ(TBackdrop::MainBackdrop(), &a);
  b.SetTag(-1);
  EXPECT_EQ(a.Tag(), 0);
  EXPECT_EQ(b.Tag(), -1);
  EXPECT_EQ(TBackdrop::MainBackdrop(), &b);
  a.SetTag(5);
  EXPECT_EQ(b.Tag(), -1);
}

}  // namespace
}  // namespace kestrune::dialogs
