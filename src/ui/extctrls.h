// Panels: windowed containers with bevels and a centred caption.
#pragma once
#include "ui/controls.h"

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

}  // namespace kestrune::ui
