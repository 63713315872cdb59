// TRotate3DLabel painting (positions, 3D offsets, rotated font, opaque mode) and the
// setter rules of TLabelStyle.
#include <gtest/gtest.h>

#include <cmath>

#include "dialogs/cmp_Rotate3DLabel.h"
#include "ui/recording_canvas.h"

namespace kestrune::dialogs {
namespace {

using testing::Drawn;
using testing::RecordingCanvas;

// A label of 536 x 65 with a text extent of 100 x 20, as on the main window.
struct LabelFixture : ::testing::Test {
  TRotate3DLabel label{nullptr};
  RecordingCanvas canvas{{100, 20}};
  void SetUp() override {
    label.SetBounds(0, 0, 536, 65);
    label.SetCaption("Zarvotill");
  }
  std::vector<Drawn> texts() {
    std::vector<Drawn> t;
    for (const Drawn& d : canvas.drawn)
      if (d.kind == Drawn::Text) t.push_back(d);
    return t;
  }
};

TEST_F(LabelFixture, NewLabelIsTransparentRaisedArialBold) {
  EXPECT_TRUE(label.MyTransparent());
  EXPECT_TRUE(label.Transparent());
  EXPECT_FALSE(label.AutoSize());
  EXPECT_FALSE(label.ParentFont());
  EXPECT_EQ(label.Font()->Name(), "Arial");
  EXPECT_TRUE(label.Font()->Style().Contains(ui::TFontStyle::fsBold));
  EXPECT_EQ(label.LabelStyle()->AStyle3D(), T3DEffectShort::A3dRaised);
  EXPECT_FALSE(label.LabelStyle()->AShadeLTSet());
}

TEST_F(LabelFixture, RaisedAtAngleZeroDrawsHighlightShadeThenText) {
  label.Font()->SetColor(0x123456);
  label.Paint(canvas);
  auto t = texts();
  ASSERT_EQ(t.size(), 3u);
  // Left alignment: x = 0; y = cy - trunc(h/2) = 32 - 10.
  EXPECT_EQ(t[0].at, (platform::ui::Point{-1, 21}));
  EXPECT_EQ(t[0].color, 0xFFFFFFu);
  EXPECT_EQ(t[1].at, (platform::ui::Point{1, 23}));
  EXPECT_EQ(t[1].color, 0x808080u);
  EXPECT_EQ(t[2].at, (platform::ui::Point{0, 22}));
  EXPECT_EQ(t[2].color, 0x123456u);
  ASSERT_EQ(canvas.fonts.size(), 1u);
  EXPECT_EQ(canvas.fonts[0].escapement, 0);
  EXPECT_EQ(canvas.fonts[0].outPrecision, 7);
  EXPECT_EQ(canvas.fonts[0].name, "Arial");
}

TEST_F(LabelFixture, PositionsFollowAlignmentAndAngle) {
  struct Case { ui::TAlignment align; int angle; int x, y; } cases[] = {
      {ui::TAlignment::taRightJustify, 0, 436, 22},
      {ui::TAlignment::taCenter, 0, 268 - 50, 22},
      // 90 degrees: c = 0, s = 1: x = cx - 0 - 10, y = 50 + cy - 0.
      {ui::TAlignment::taCenter, 90, 258, 82},
      // 30 degrees: c = 0.866, s = sin(30 * pi/180) = 0.49999999999999994, so trunc(10 * s) = 4 and
      // trunc(50 * s) = 24: x = 268 - trunc(43.30) - 4, y = 24 + 32 - trunc(8.66).
      {ui::TAlignment::taCenter, 30, 268 - 43 - 4, 24 + 32 - 8},
      // 200 degrees: c = -0.940, s = -0.342; trunc cuts toward zero.
      {ui::TAlignment::taCenter, 200, 268 + 46 + 3, -17 + 32 + 9},
  };
  label.LabelStyle()->SetAStyle3D(T3DEffectShort::A3dNormal);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.angle);
    canvas.drawn.clear();
    canvas.fonts.clear();
    label.SetAlignment(k.align);
    label.LabelStyle()->SetAngle(k.angle);
    label.Paint(canvas);
    auto t = texts();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].at, (platform::ui::Point{k.x, k.y}));
    EXPECT_EQ(canvas.fonts.at(0).escapement, k.angle * 10);
  }
}

TEST_F(LabelFixture, RecessedAndShadowedOffsets) {
  label.LabelStyle()->SetAStyle3D(T3DEffectShort::A3dResit);
  label.Paint(canvas);
  auto t = texts();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].at, (platform::ui::Point{1, 23}));   // highlight +1
  EXPECT_EQ(t[1].at, (platform::ui::Point{-1, 21}));  // shade -1
  canvas.drawn.clear();
  label.LabelStyle()->SetAStyle3D(T3DEffectShort::A3dShadowed);
  label.Paint(canvas);
  t = texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].at, (platform::ui::Point{5, 17}));  // offsets 5, -5 in the shade colour
  EXPECT_EQ(t[0].color, 0x808080u);
  EXPECT_EQ(t[1].at, (platform::ui::Point{0, 22}));
}

TEST_F(LabelFixture, OpaqueFillsAWiderRectangleAndTurnsTheEffectOffForGood) {
  label.SetColor(ui::clRed);
  label.SetMyTransparent(false);
  label.Paint(canvas);
  ASSERT_EQ(canvas.drawn.size(), 2u);
  const Drawn& poly = canvas.drawn[0];
  ASSERT_EQ(poly.kind, Drawn::Polygon);
  EXPECT_EQ(poly.color, 0x0000FFu);
  // w = 110, h = 27 around the centre (268, 32).
  std::vector<platform::ui::Point> expected{{268 - 55, 32 - 13}, {268 + 55, 32 - 13}, {268 + 55, 32 + 13}, {268 - 55, 32 + 13}};
  EXPECT_EQ(poly.points, expected);
  EXPECT_EQ(canvas.drawn[1].kind, Drawn::Text);
  EXPECT_EQ(label.LabelStyle()->AStyle3D(), T3DEffectShort::A3dNormal);
  label.SetMyTransparent(true);
  canvas.drawn.clear();
  label.Paint(canvas);
  EXPECT_EQ(texts().size(), 1u);  // still flat
  EXPECT_EQ(label.Color(), ui::clRed);
}

TEST(LabelStyle, SetterRulesAndChangeNotices) {
  TLabelStyle s;
  int changes = 0;
  s.OnChange = [&](TLabelStyle*) { ++changes; };
  s.SetAngle(360);
  EXPECT_EQ(s.Angle(), 0);
  s.SetAngle(45);
  s.SetAngle(-1);
  EXPECT_EQ(s.Angle(), 0);
  EXPECT_EQ(changes, 2);

  changes = 0;
  s.SetAHShadeOffSet(7);  // not shadowed: stored silently
  s.SetAVShadeOffSet(-7);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(s.AHShadeOffSet(), 7);
  s.SetAStyle3D(T3DEffectShort::A3dShadowed);
  s.SetAHShadeOffSet(3);
  EXPECT_EQ(changes, 2);

  // The highlight lock saves the colour, forces white and gives it back.
  s.SetAStyle3D(T3DEffectShort::A3dRaised);
  s.SetAShadeLeftTop(ui::clYellow);
  changes = 0;
  s.SetAShadeLTSet(true);
  EXPECT_EQ(s.AShadeLeftTop(), ui::clWhite);
  EXPECT_EQ(changes, 1);
  s.SetAShadeLeftTop(ui::clRed);  // ignored while locked
  s.SetAShadeLTSet(true);         // locking again keeps the saved colour
  EXPECT_EQ(s.AShadeLeftTop(), ui::clWhite);
  s.SetAShadeLTSet(false);
  EXPECT_EQ(s.AShadeLeftTop(), ui::clYellow);
  EXPECT_EQ(changes, 1);  // unlocking does not notify

  TLabelStyle copy;
  int copied = 0;
  copy.OnChange = [&](TLabelStyle*) { ++copied; };
  copy.Assign(s);
  EXPECT_EQ(copied, 1);
  EXPECT_EQ(copy.AShadeLeftTop(), ui::clYellow);
  EXPECT_EQ(copy.AHShadeOffSet(), 3);
  EXPECT_EQ(copy.AVShadeOffSet(), -7);
}

TEST(Rotate3DLabel, AssignCopiesCaptionStyleFontAlignBoundsAndTransparency) {
  TRotate3DLabel a(nullptr), b(nullptr);
  a.SetCaption("Zarvotill");
  a.LabelStyle()->SetAngle(90);
  a.Font()->SetHeight(-27);
  a.SetAlign(ui::TAlign::alTop);
  a.SetBounds(1, 2, 300, 65);
  a.SetMyTransparent(false);
  b.Assign(a);
  EXPECT_EQ(b.Caption(), "Zarvotill");
  EXPECT_EQ(b.LabelStyle()->Angle(), 90);
  EXPECT_EQ(b.Font()->Height(), -27);
  EXPECT_EQ(b.Align(), ui::TAlign::alTop);
  EXPECT_EQ(b.BoundsRect(), (platform::ui::Rect{1, 2, 301, 67}));
  EXPECT_FALSE(b.MyTransparent());
}

TEST(Rotate3DLabel, TagMinusOneMarksOneMainLabel) {
  TRotate3DLabel a(nullptr);
  a.SetTag(-1);
  {
    TRotate3DLabel b(nullptr);
    b.SetTag(-1);
    EXPECT_EQ(a.Tag(), 0);
    EXPECT_EQ(TRotate3DLabel::MainLabel(), &b);
  }
  EXPECT_EQ(TRotate3DLabel::MainLabel(), nullptr);
}

}  // namespace
}  // namespace kestrune::dialogs
