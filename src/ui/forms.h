// Forms: top-level windows that are the roots of component streams, with activation,
// closing, modal showing and the named fields that reading a stream fills.
#pragma once
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace kestrune::ui {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
const EnumType& EnumTypeInfo(TFormBorderStyle);
enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
const EnumType& EnumTypeInfo(TBorderIcon);
using TBorderIcons = TSet<TBorderIcon>;
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                       poMainFormCenter, poOwnerFormCenter };
const EnumType& EnumTypeInfo(TPosition);
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
const EnumType& EnumTypeInfo(TWindowState);
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int32_t;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7;

class TCustomForm : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  bool IsFormOrDataModule() const override { return true; }

  // Reads a component stream into this form: its properties, its components and their
  // fields (see Reader::ReadRootComponent for the errors).
  void ReadFormStream(std::span<const uint8_t> stream);

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v) { borderStyle_ = v; }
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v) { borderIcons_ = v; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int32_t v) { pixelsPerInch_ = v; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool v) { scaled_ = v; }
  int32_t GetClientWidth() const { return ClientWidth(); }
  int32_t GetClientHeight() const { return ClientHeight(); }
  void SetClientWidth(int32_t v) { SetWidth(Width() - ClientWidth() + v); }
  void SetClientHeight(int32_t v) { SetHeight(Height() - ClientHeight() + v); }

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  void Show();
  void Hide();
  // Asks CloseQuery and OnClose; a modal form ends with mrCancel, the main form ends the
  // application, others hide (or go, with caFree).
  void Close();
  virtual bool CloseQuery();
  // Shows the form modally: every other form is disabled until ModalResult is set (or
  // the application terminates: mrCancel). Raises EInvalidOperation for a visible form.
  TModalResult ShowModal();
  // OnActivate from the message loop, as the first activation of the shown form runs it,
  // for a form that is never shown (the main form of an unattended run).
  void ActivateUnseen();
  bool IsModal() const { return modal_; }
  // Destroys the form once the messages now pending are handled.
  void Release();
  bool Active() const { return window_.IsActive(); }

  // The component a field of that name was set to, else the owned component of that name.
  TComponent* FieldByName(const std::string& name) const;
  void SetNamedField(const std::string& name, TComponent* component) override;
  void Notification(TComponent* component, TOperation operation) override;

  // Every live form, in creation order.
  static const std::vector<TCustomForm*>& Forms();

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnDestroy;
  std::function<void(TComponent* Sender, TCloseAction& Action)> OnClose;
  std::function<void(TComponent* Sender, bool& CanClose)> OnCloseQuery;

 protected:
  // Binds a field to a component name: reading the stream sets it, removing the
  // component clears it.
  template <class T>
  void DeclareField(const std::string& name, T*& field) {
    fields_.push_back({name, [&field] { return static_cast<TComponent*>(field); },
                       [&field](TComponent* c) { field = dynamic_cast<T*>(c); }});
  }
  virtual void Activate();
  virtual void Deactivate();

  void CreateParams(platform::ui::WindowParams& params) override;
  platform::ui::Size EstimatedClientSize() const override;
  void VisibleChanged() override;
  void WindowActivated(bool active) override;
  void WindowPosted(int code) override;
  void WindowCloseRequested() override;
  // Return presses the focused push button or else the default one; Escape the cancel one.
  bool WindowDialogKey(int key) override;

 private:
  struct Field {
    std::string name;
    std::function<TComponent*()> get;
    std::function<void(TComponent*)> set;
  };
  void closeModal();
  std::vector<Field> fields_;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TBorderIcons borderIcons_{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize};
  TPosition position_ = TPosition::poDesigned;
  TWindowState windowState_ = TWindowState::wsNormal;
  int32_t pixelsPerInch_ = 96;
  bool scaled_ = true;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
};

class TForm : public TCustomForm {
  KESTRUNE_CLASS()
 public:
  using TCustomForm::TCustomForm;
};

}  // namespace kestrune::ui
