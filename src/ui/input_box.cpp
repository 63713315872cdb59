// The input box.
#include "ui/input_box.h"

#include <memory>

#include "platform/ui_app.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  auto form = std::make_unique<TForm>(Application);
  form->SetBorderStyle(TFormBorderStyle::bsDialog);
  form->SetBorderIcons({TBorderIcon::biSystemMenu});
  form->SetCaption(caption);
  form->SetBounds(0, 0, 400, 300);
  form->SetClientWidth(300);
  form->SetClientHeight(104);
  platform::ui::Size screen = platform::ui::ScreenSize();
  form->SetBounds(screen.cx / 2 - form->Width() / 2, screen.cy / 2 - form->Height() / 2, form->Width(), form->Height());
  auto* label = new TLabel(form.get());
  label->SetName("Prompt");
  label->SetParent(form.get());
  label->SetCaption(prompt);
  label->SetBounds(8, 8, 284, 16);
  auto* edit = new TEdit(form.get());
  edit->SetName("Value");
  edit->SetParent(form.get());
  edit->SetText(value);
  edit->SetBounds(8, 28, 284, 22);
  const struct {
    const char* name;
    const char* caption;
    TModalResult result;
    int left;
  } buttons[] = {{"OK", "OK", mrOk, 136}, {"Cancel", "Storno", mrCancel, 216}};
  for (const auto& b : buttons) {
    auto* button = new TButton(form.get());
    button->SetName(b.name);
    button->SetCaption(b.caption);
    button->SetModalResult(b.result);
    button->SetDefault(b.result == mrOk);
    button->SetCancel(b.result == mrCancel);
    button->SetParent(form.get());
    button->SetBounds(b.left, 66, 75, 25);
  }
  edit->SetFocus();
  if (form->ShowModal() != mrOk) return false;
  value = edit->Text();
  return true;
}

}  // namespace kestrune::ui
