// TRotate3DLabel: a caption drawn at any angle with a recessed, raised or shadowed 3D
// effect, and TLabelStyle, its 3D settings.
#pragma once
#include <functional>
#include <memory>

#include "ui/stdctrls.h"

namespace kestrune::dialogs {

using ui::TColor;

enum class T3DEffectShort { A3dNormal, A3dResit, A3dRaised, A3dShadowed };
const EnumType& EnumTypeInfo(T3DEffectShort);

class TLabelStyle : public TPersistent {
  KESTRUNE_CLASS()
 public:
  int32_t Angle() const { return angle_; }
  // Values outside 0..359 become 0.
  void SetAngle(int32_t v);
  T3DEffectShort AStyle3D() const { return style3D_; }
  void SetAStyle3D(T3DEffectShort v);
  TColor AShadeRightBottom() const { return shadeRightBottom_; }
  void SetAShadeRightBottom(TColor v);
  TColor AShadeLeftTop() const { return shadeLeftTop_; }
  // Ignored while AShadeLTSet locks the highlight.
  void SetAShadeLeftTop(TColor v);
  bool AShadeLTSet() const { return shadeLTSet_; }
  // True saves the highlight colour and locks it to white; False restores the saved one.
  void SetAShadeLTSet(bool v);
  int32_t AHShadeOffSet() const { return hShadeOffset_; }
  void SetAHShadeOffSet(int32_t v);
  int32_t AVShadeOffSet() const { return vShadeOffset_; }
  void SetAVShadeOffSet(int32_t v);
  TColor SavedLeftTop() const { return savedLeftTop_; }

  // Copies all seven properties and fires OnChange.
  void Assign(const TPersistent& source) override;

  std::function<void(TLabelStyle* Sender)> OnChange;

 private:
  void changed();
  int32_t angle_ = 0;
  T3DEffectShort style3D_ = T3DEffectShort::A3dRaised;
  TColor shadeRightBottom_ = 8421504;
  TColor shadeLeftTop_ = 16777215;
  bool shadeLTSet_ = false;
  int32_t hShadeOffset_ = 5;
  int32_t vShadeOffset_ = -5;
  TColor savedLeftTop_ = 16777215;
};

class TRotate3DLabel : public ui::TCustomLabel {
  KESTRUNE_CLASS()
 public:
  explicit TRotate3DLabel(TComponent* owner);
  ~TRotate3DLabel() override;

  TLabelStyle* LabelStyle() const { return labelStyle_.get(); }
  // Copies the style and repaints.
  void SetLabelStyle(const TLabelStyle* style);
  bool MyTransparent() const { return myTransparent_; }
  void SetMyTransparent(bool v);
  // Tag -1 marks the main label; setting it on one resets it on the previous one.
  int32_t GetTag() const { return Tag(); }
  void SetTag(int32_t tag);
  static TRotate3DLabel* MainLabel();

  // Copies caption, style, font, Align, bounds and MyTransparent from another label.
  void Assign(const TPersistent& source) override;
  void Paint(platform::ui::Canvas& canvas) override;

 private:
  std::unique_ptr<TLabelStyle> labelStyle_;
  bool myTransparent_ = true;
  double degToRad_;
  double cos_ = 1.0;
  double sin_ = 0.0;
};

}  // namespace kestrune::dialogs
