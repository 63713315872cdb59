// TBackdrop: a panel that paints a two-colour gradient in one of eight directions.
#pragma once
#include "ui/extctrls.h"

namespace kestrune::dialogs {

using ui::TColor;

enum class TDirection { bdUp, bdDown, bdLeft, bdRight, bdHorzIn, bdHorzOut, bdVertIn, bdVertOut };
const EnumType& EnumTypeInfo(TDirection);

class TBackdrop : public ui::TCustomPanel {
  KESTRUNE_CLASS()
 public:
  explicit TBackdrop(TComponent* owner);
  ~TBackdrop() override;

  TDirection Direction() const { return direction_; }
  void SetDirection(TDirection v);
  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor v);
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor v);
  // Tag -1 marks the main backdrop; setting it on one resets it on the previous one.
  int32_t GetTag() const { return Tag(); }
  void SetTag(int32_t tag);
  static TBackdrop* MainBackdrop();

  // Copies Direction, EndColor, StartColor and Align from another backdrop.
  void Assign(const TPersistent& source) override;
  // Paints only the gradient over the whole client area.
  void Paint(platform::ui::Canvas& canvas) override;

  // Fills a width x height area with bands from one colour to the other: 256 bands, or
  // 128 mirrored pairs when symmetric; rows when across is false, columns when true.
  static void PaintGradient(platform::ui::Canvas& canvas, int width, int height, TColor from, TColor to,
                            bool symmetric, bool across);

 private:
  TDirection direction_ = TDirection::bdUp;
  TColor startColor_ = 16711680;
  TColor endColor_ = 0;
};

}  // namespace kestrune::dialogs
