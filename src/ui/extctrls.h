// Panels (windowed containers with bevels and a centred caption), radio groups, images
// and bevels.
#pragma once
#include <memory>

#include "runtime/picture.h"
#include "runtime/strings.h"
#include "ui/controls.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
const EnumType& EnumTypeInfo(TPanelBevel);
enum class TBorderStyle { bsNone, bsSingle };
const EnumType& EnumTypeInfo(TBorderStyle);

class TCustomPanel : public TCustomControl {
  KESTRUNE_CLASS()
 public:
  explicit TCustomPanel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel v);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel v);
  int32_t BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int32_t v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  int32_t BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int32_t v);
  bool Locked() const { return locked_; }
  void SetLocked(bool v) { locked_ = v; }
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool v) { fullRepaint_ = v; }
  void Paint(platform::ui::Canvas& canvas) override;

 protected:
  void AdjustClientRect(platform::ui::Rect& r) const override;

 private:
  TAlignment alignment_ = TAlignment::taCenter;
  TPanelBevel bevelInner_ = TPanelBevel::bvNone;
  TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
  int32_t bevelWidth_ = 1;
  TBorderStyle borderStyle_ = TBorderStyle::bsNone;
  int32_t borderWidth_ = 0;
  bool locked_ = false;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  KESTRUNE_CLASS()
 public:
  using TCustomPanel::TCustomPanel;
};

// A group box of radio buttons, one per item, in Columns columns. Setting ItemIndex
// outside stream reading checks that item and fires OnClick, as a click does.
class TRadioGroup : public TCustomGroupBox {
  KESTRUNE_CLASS()
 public:
  explicit TRadioGroup(TComponent* owner);
  ~TRadioGroup() override;
  TStrings* Items() const { return items_.get(); }
  // Rebuilds the buttons after Items changed.
  void ItemsChanged();
  int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int32_t v);
  int32_t Columns() const { return columns_; }
  void SetColumns(int32_t v);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TRadioButton* Buttons(int index) const { return buttons_.at(index); }
  void Loaded() override;

 protected:
  void BoundsChanged() override { arrangeButtons(); }

 private:
  void arrangeButtons();
  void buttonClicked(int index);
  std::unique_ptr<TStringList> items_;
  std::vector<TRadioButton*> buttons_;
  int32_t itemIndex_ = -1;
  int32_t columns_ = 1;
  bool updating_ = false;
};

// A picture painted on the parent: at its natural size in the top-left corner, centred,
// or stretched over the control.
class TImage : public TGraphicControl {
  KESTRUNE_CLASS()
 public:
  explicit TImage(TComponent* owner);
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const TPicture& v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; }
  // Where the picture lands inside the control.
  platform::ui::Rect PictureRect() const;
  void Paint(platform::ui::Canvas& canvas) override;

  // A system icon shown instead of the picture (its id; 0 for none).
  int32_t SystemIcon = 0;

 private:
  std::unique_ptr<TPicture> picture_;
  bool center_ = false, stretch_ = false, transparent_ = false, autoSize_ = false;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
const EnumType& EnumTypeInfo(TBevelShape);
enum class TBevelStyle { bsLowered, bsRaised };
const EnumType& EnumTypeInfo(TBevelStyle);

// An etched line or frame.
class TBevel : public TGraphicControl {
  KESTRUNE_CLASS()
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);
  void Paint(platform::ui::Canvas& canvas) override;

 private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

}  // namespace kestrune::ui
