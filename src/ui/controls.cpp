// Controls as components: bounds, alignment, fonts and colours, native windows, painting.
#include "ui/controls.h"

#include <algorithm>

#include "runtime/published.h"

namespace kestrune::ui {

using platform::ui::Canvas;
using platform::ui::Rect;

const EnumType& EnumTypeInfo(TAlign) {
  static constexpr std::string_view values[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
  static constexpr EnumType t{"TAlign", values};
  return t;
}

const EnumType& EnumTypeInfo(TAlignment) {
  static constexpr std::string_view values[] = {"taLeftJustify", "taRightJustify", "taCenter"};
  static constexpr EnumType t{"TAlignment", values};
  return t;
}

const ClassInfo& TControl::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TControl::Left, &TControl::SetLeft>("Left").AlwaysStored(),
      prop<&TControl::Top, &TControl::SetTop>("Top").AlwaysStored(),
      prop<&TControl::Width, &TControl::SetWidth>("Width").AlwaysStored(),
      prop<&TControl::Height, &TControl::SetHeight>("Height").AlwaysStored(),
      prop<&TControl::Align, &TControl::SetAlign>("Align").Default(0),
      prop<&TControl::Caption, &TControl::SetCaption>("Caption"),
      prop<&TControl::Color, &TControl::SetColor>("Color").Idents(ColorIdents()).Default(clBtnFace),
      prop<&TControl::Cursor, &TControl::SetCursor>("Cursor").Idents(CursorIdents()).Default(crDefault),
      prop<&TControl::Enabled, &TControl::SetEnabled>("Enabled").Default(1),
      prop<&TControl::Font>("Font").StoredIf([](const TPersistent& o) { return !static_cast<const TControl&>(o).ParentFont(); }),
      prop<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor").Default(0),
      prop<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont").Default(1),
      prop<&TControl::Visible, &TControl::SetVisible>("Visible").Default(1),
      eventProp("OnClick")};
  static const ClassInfo info{"TControl", &TComponent::classInfo(), nullptr, props};
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this] {
    if (!fontFromParent_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() { SetParent(nullptr); }

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
  Invalidate();
  RequestAlign();
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  RequestAlign();
}

void TControl::SetCaption(const std::string& v) {
  if (v == caption_) return;
  caption_ = v;
  TextChanged();
}

void TControl::SetColor(TColor v) {
  parentColor_ = false;
  if (v == color_) return;
  color_ = v;
  ColorChanged();
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v) ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  fontFromParent_ = true;
  font_->Assign(*parent_->Font());
  fontFromParent_ = false;
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_ || parent_->Color() == color_) return;
  color_ = parent_->Color();
  ColorChanged();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  if (!v) Invalidate();
  visible_ = v;
  VisibleChanged();
  RequestAlign();
}

void TControl::VisibleChanged() { Invalidate(); }

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  EnabledChanged();
  Invalidate();
}

void TControl::SetCursor(TCursor v) {
  if (v == cursor_) return;
  cursor_ = v;
  CursorChanged();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    Invalidate();
    TWinControl* old = parent_;
    parent_ = nullptr;
    old->RemoveControl(this);
  }
  if (parent) {
    parent_ = parent;
    parent->InsertControl(this);
  }
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::Invalidate() {
  if (parent_ && visible_) parent_->InvalidateRect(BoundsRect());
}

void TControl::Repaint() {
  Invalidate();
  if (parent_) parent_->Window().Update();
}

void TControl::RequestAlign() {
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

void TControl::Loaded() { TComponent::Loaded(); }

const ClassInfo& TGraphicControl::classInfo() {
  static const ClassInfo info{"TGraphicControl", &TControl::classInfo(), nullptr, {}};
  return info;
}

const ClassInfo& TWinControl::classInfo() {
  static const ClassInfo info{"TWinControl", &TControl::classInfo(), nullptr, {}};
  return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  SetParent(nullptr);
  // Children still placed on this control go with it.
  while (!controls_.empty()) delete controls_.back();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* control) {
  if (std::find(controls_.begin(), controls_.end(), control) != controls_.end()) return;
  controls_.push_back(control);
  control->ParentFontChanged();
  control->ParentColorChanged();
  if (auto* w = dynamic_cast<TWinControl*>(control); w && HandleAllocated()) w->HandleNeeded();
  control->Invalidate();
  control->RequestAlign();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (auto* w = dynamic_cast<TWinControl*>(control)) w->DestroyHandle();
  if (control->Align() != TAlign::alNone) AlignControls();
}

void TWinControl::HandleNeeded() {
  // handleMade_ also ends the walk where no window can exist (the headless build).
  if (window_.Exists() || handleMade_) return;
  if (Parent()) Parent()->HandleNeeded();
  CreateHandle();
}

platform::ui::WindowHandle TWinControl::Handle() {
  HandleNeeded();
  return window_.Handle();
}

void TWinControl::CreateParams(platform::ui::WindowParams& params) {
  params.parent = Parent() ? Parent()->Handle() : nullptr;
  params.child = Parent() != nullptr;
  params.caption = Caption();
  params.bounds = BoundsRect();
  params.visible = Visible();
  params.enabled = Enabled();
}

void TWinControl::CreateHandle() {
  handleMade_ = true;
  platform::ui::WindowParams params;
  CreateParams(params);
  window_.Create(params);
  window_.SetFont(Font()->Spec());
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
  AlignControls();
}

void TWinControl::DestroyHandle() {
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  window_.Destroy();
  handleMade_ = false;
}

void TWinControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (window_.Exists() && !fromWindow_) window_.SetBounds(BoundsRect());
  BoundsChanged();
  AlignControls();
  RequestAlign();
}

int32_t TWinControl::ClientWidth() const {
  return window_.Exists() ? window_.ClientSize().cx : EstimatedClientSize().cx;
}

int32_t TWinControl::ClientHeight() const {
  return window_.Exists() ? window_.ClientSize().cy : EstimatedClientSize().cy;
}

void TWinControl::AlignControls() {
  if (aligning_ || IsLoading() || IsDestroying()) return;
  aligning_ = true;
  Rect r{0, 0, ClientWidth(), ClientHeight()};
  AdjustClientRect(r);
  for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != pass || !c->Visible()) continue;
      int w = c->Width(), h = c->Height();
      switch (pass) {
        case TAlign::alTop: c->SetBounds(r.left, r.top, r.Width(), h); r.top += h; break;
        case TAlign::alBottom: c->SetBounds(r.left, r.bottom - h, r.Width(), h); r.bottom -= h; break;
        case TAlign::alLeft: c->SetBounds(r.left, r.top, w, r.Height()); r.left += w; break;
        case TAlign::alRight: c->SetBounds(r.right - w, r.top, w, r.Height()); r.right -= w; break;
        case TAlign::alClient: c->SetBounds(r.left, r.top, r.Width(), r.Height()); break;
        case TAlign::alNone: break;
      }
    }
  }
  aligning_ = false;
}

void TWinControl::Invalidate() { window_.Invalidate(); }

void TWinControl::SetFocus() { window_.SetFocus(); }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::Repaint() {
  window_.Invalidate();
  window_.Update();
}

void TWinControl::InvalidateRect(const Rect& r) { window_.InvalidateRect(r); }

void TWinControl::Paint(Canvas& canvas) {
  canvas.FillRect(Rect{0, 0, ClientWidth(), ClientHeight()}, ColorToRGB(Color()));
}

void TWinControl::WindowPaint(Canvas& canvas) {
  Paint(canvas);
  for (TControl* c : controls_) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    canvas.PushOrigin({c->Left(), c->Top()}, Rect{0, 0, c->Width(), c->Height()});
    c->Paint(canvas);
    canvas.PopOrigin();
  }
}

void TWinControl::WindowResized() { AlignControls(); }

void TWinControl::WindowMoved(const Rect& b) {
  fromWindow_ = true;
  try {
    SetBounds(b.left, b.top, b.Width(), b.Height());
  } catch (...) {
    fromWindow_ = false;
    throw;
  }
  fromWindow_ = false;
}

int TWinControl::WindowCursor() { return Cursor(); }

void TWinControl::Loaded() {
  TControl::Loaded();
  AlignControls();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const {
  if (this == root) {
    TComponent::GetChildren(proc, root);
    return;
  }
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

void TWinControl::TextChanged() {
  window_.SetText(Caption());
  Invalidate();
}

void TWinControl::FontChanged() {
  window_.SetFont(Font()->Spec());
  for (TControl* c : controls_) c->ParentFontChanged();
  Invalidate();
}

void TWinControl::ColorChanged() {
  for (TControl* c : controls_) c->ParentColorChanged();
  Invalidate();
}

void TWinControl::VisibleChanged() { window_.SetVisible(Visible()); }

void TWinControl::EnabledChanged() { window_.SetEnabled(Enabled()); }

const ClassInfo& TCustomControl::classInfo() {
  static const ClassInfo info{"TCustomControl", &TWinControl::classInfo(), nullptr, {}};
  return info;
}

}  // namespace kestrune::ui
