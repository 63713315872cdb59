// Layout of aligned controls, parent fonts and colours, and painting of windowless
// children on their parent.
#include <gtest/gtest.h>

#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/recording_canvas.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {
namespace {

TEST(Controls, AlignedChildrenShareTheClientAreaInOrder) {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(0, 0, 400, 300);
  auto* top = new TPanel(&form);
  auto* bottom = new TPanel(&form);
  auto* left = new TPanel(&form);
  auto* right = new TPanel(&form);
  auto* client = new TPanel(&form);
  auto* free = new TPanel(&form);
  top->SetBounds(0, 0, 10, 30);
  bottom->SetBounds(0, 0, 10, 40);
  left->SetBounds(0, 0, 50, 10);
  right->SetBounds(0, 0, 60, 10);
  free->SetBounds(7, 8, 9, 10);
  for (TControl* c : std::initializer_list<TControl*>{client, right, left, bottom, top, free}) c->SetParent(&form);
  top->SetAlign(TAlign::alTop);
  bottom->SetAlign(TAlign::alBottom);
  left->SetAlign(TAlign::alLeft);
  right->SetAlign(TAlign::alRight);
  client->SetAlign(TAlign::alClient);
  EXPECT_EQ(top->BoundsRect(), (platform::ui::Rect{0, 0, 400, 30}));
  EXPECT_EQ(bottom->BoundsRect(), (platform::ui::Rect{0, 260, 400, 300}));
  EXPECT_EQ(left->BoundsRect(), (platform::ui::Rect{0, 30, 50, 260}));
  EXPECT_EQ(right->BoundsRect(), (platform::ui::Rect{340, 30, 400, 260}));
  EXPECT_EQ(client->BoundsRect(), (platform::ui::Rect{50, 30, 340, 260}));
  EXPECT_EQ(free->BoundsRect(), (platform::ui::Rect{7, 8, 16, 18}));
  // A hidden aligned control gives its room to the others.
  top->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), (platform::ui::Rect{50, 0, 340, 260}));
}

TEST(Controls, ChildrenFollowTheParentFontAndColourUntilGivenTheirOwn) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  auto* label = new TLabel(&form);
  panel->SetParent(&form);
  label->SetParent(panel);
  panel->SetParentColor(true);
  form.Font()->SetName("Arial");
  form.SetColor(clWhite);
  EXPECT_EQ(label->Font()->Name(), "Arial");
  EXPECT_EQ(panel->Color(), clWhite);
  label->Font()->SetHeight(-20);
  EXPECT_FALSE(label->ParentFont());
  form.Font()->SetName("Tahoma");
  EXPECT_EQ(panel->Font()->Name(), "Tahoma");
  EXPECT_EQ(label->Font()->Name(), "Arial");
  label->SetParentFont(true);
  EXPECT_EQ(label->Font()->Name(), "Tahoma");
  EXPECT_EQ(label->Font()->Height(), -11);
}

TEST(Controls, WindowlessChildrenPaintAfterTheParentAtTheirPlace) {
  TPanel panel(nullptr);
  panel.SetBounds(0, 0, 200, 100);
  panel.SetBevelOuter(TPanelBevel::bvNone);
  auto* label = new TCustomLabel(&panel);
  label->SetParent(&panel);
  label->SetBounds(30, 40, 100, 20);
  label->SetCaption("Text");
  label->SetTransparent(true);
  auto* hidden = new TCustomLabel(&panel);
  hidden->SetParent(&panel);
  hidden->SetVisible(false);
  testing::RecordingCanvas canvas({30, 13});
  struct Painter : TPanel {
    using TPanel::WindowPaint;
  };
  static_cast<Painter&>(static_cast<TPanel&>(panel)).WindowPaint(canvas);
  ASSERT_EQ(canvas.drawn.size(), 2u);
  EXPECT_EQ(canvas.drawn[0].kind, testing::Drawn::Fill);
  EXPECT_EQ(canvas.drawn[0].rect, (platform::ui::Rect{0, 0, 200, 100}));
  EXPECT_EQ(canvas.drawn[1].kind, testing::Drawn::Text);
  EXPECT_EQ(canvas.drawn[1].at, (platform::ui::Point{30, 40}));
  EXPECT_EQ(canvas.drawn[1].text, "Text");
}

TEST(Controls, DestroyingAParentDestroysItsControls) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  auto* label = new TLabel(&form);
  panel->SetParent(&form);
  label->SetParent(panel);
  EXPECT_EQ(form.ComponentCount(), 2);
  delete panel;
  EXPECT_EQ(form.ComponentCount(), 0);
}

}  // namespace
}  // namespace kestrune::ui
