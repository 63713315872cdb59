// The localized message dialog.
#include "dialogs/ordlg_MessageDlg.h"

#include <algorithm>
#include <memory>

#include "dialogs/product_data.h"
#include "platform/ui_app.h"
#include "ui/application.h"
#include "ui/extctrls.h"
#include "ui/stdctrls.h"

namespace kestrune::dialogs {

namespace {

struct ButtonInfo {
  const char* name;
  const char* caption;
  int modalResult;
};
const ButtonInfo kButtons[] = {{"Yes", "&Ano", 6},          {"No", "&Ne", 7},
                               {"OK", "OK", 1},             {"Cancel", "Storno", 2},
                               {"Abort", "&Přerušit", 3},   {"Retry", "Znovu", 4},
                               {"Ignore", "&Ignorovat", 5}, {"All", "&Vše", 8},
                               {"NoToAll", "Ne pro všechny", 9}, {"YesToAll", "Ano pro všechny", 10},
                               {"Help", "Help", 0}};
const char* const kCaptions[] = {"Varování", "Chyba", "Informace", "Potvrzení"};
const int kIcons[] = {32515, 32513, 32516, 32514};

// The demo's dialogs keep their Czech captions and buttons; another product's speak the
// main translator's language.
std::string dialogText(const char* czech) { return DemoShapedScript() ? std::string(czech) : PageText(czech); }

// a * b div c with the product at full width.
int scale(int a, int b, int c) { return static_cast<int>(static_cast<int64_t>(a) * b / c); }

}  // namespace

ui::TForm* CreateMessageDialog(const std::string& message, TMessageDialogKind kind, TMessageDialogButtons buttons) {
  auto form = std::make_unique<ui::TForm>(ui::Application);
  form->SetBorderStyle(ui::TFormBorderStyle::bsDialog);
  form->SetBorderIcons({ui::TBorderIcon::biSystemMenu});
  platform::ui::FontSpec font = form->Font()->Spec();
  platform::ui::Size letters =
      platform::ui::MeasureText(font, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 0, false);
  int aw = letters.cx / 52, ah = letters.cy;
  int hMargin = scale(8, aw, 4), vMargin = scale(8, ah, 8), hSpacing = scale(10, aw, 4), vSpacing = scale(10, ah, 8);
  int buttonWidth = scale(50, aw, 4), buttonHeight = scale(14, ah, 8), buttonSpacing = scale(4, aw, 4);
  platform::ui::Size screen = platform::ui::ScreenSize();
  platform::ui::Size text = platform::ui::MeasureText(font, message, screen.cx / 2, true);
  bool hasIcon = kind != TMessageDialogKind::mdCustom;
  int iconTextWidth = text.cx + (hasIcon ? 32 + hSpacing : 0);
  int iconTextHeight = hasIcon ? std::max(text.cy, 32) : text.cy;
  int count = 0;
  for (int i = 0; i < 11; ++i) count += (buttons >> i) & 1;
  int groupWidth = count > 0 ? count * buttonWidth + (count - 1) * buttonSpacing : 0;
  int clientWidth = std::max(iconTextWidth, groupWidth) + 2 * hMargin;
  int clientHeight = iconTextHeight + buttonHeight + vSpacing + 2 * vMargin;
  // Some size first, so that the frame around the client area can be told before the
  // window exists.
  form->SetBounds(0, 0, 400, 300);
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(clientHeight);
  form->SetBounds(screen.cx / 2 - form->Width() / 2, screen.cy / 2 - form->Height() / 2, form->Width(), form->Height());
  int k = static_cast<int>(kind);
  form->SetCaption(hasIcon ? dialogText(kCaptions[k]) : (ui::Application ? ui::Application->Title() : std::string()));
  if (hasIcon) {
    auto* image = new ui::TImage(form.get());
    image->SetName("Image");
    image->SetParent(form.get());
    image->SetBounds(hMargin, vMargin, 32, 32);
    image->SystemIcon = kIcons[k];
  }
  auto* label = new ui::TLabel(form.get());
  label->SetName("Message");
  label->SetWordWrap(true);
  label->SetParent(form.get());
  label->SetCaption(message);
  label->SetBounds(iconTextWidth - text.cx + hMargin, vMargin, text.cx, text.cy);
  int defaultBit = (buttons & mb::OK) ? 2 : (buttons & mb::Yes) ? 0 : 5;
  int cancelBit = (buttons & mb::Cancel) ? 3 : (buttons & mb::No) ? 1 : 2;
  int x = (clientWidth - groupWidth) / 2;
  for (int i = 0; i < 11; ++i) {
    if (!((buttons >> i) & 1)) continue;
    auto* b = new ui::TButton(form.get());
    b->SetName(kButtons[i].name);
    b->SetCaption(dialogText(kButtons[i].caption));
    b->SetModalResult(kButtons[i].modalResult);
    b->SetDefault(i == defaultBit);
    b->SetCancel(i == cancelBit);
    b->SetParent(form.get());
    b->SetBounds(x, iconTextHeight + vMargin + vSpacing, buttonWidth, buttonHeight);
    x += buttonWidth + buttonSpacing;
  }
  return form.release();
}

int ShowMessageDialogAt(const std::string& message, TMessageDialogKind kind, TMessageDialogButtons buttons,
                        int helpContext, int x, int y) {
  // Unattended: the answer that changes nothing, as the application's message boxes give.
  if (ui::Quiet()) {
    if (buttons & mb::Cancel) return ui::mrCancel;
    if (buttons & mb::No) return ui::mrNo;
    if (buttons & mb::Abort) return ui::mrAbort;
    return ui::mrOk;
  }
  std::unique_ptr<ui::TForm> form(CreateMessageDialog(message, kind, buttons));
  (void)helpContext;  // the kit ships no help file
  if (x >= 0) form->SetLeft(x);
  if (y >= 0) form->SetTop(y);
  return form->ShowModal();
}

int ShowMessageDialog(const std::string& message, TMessageDialogKind kind, TMessageDialogButtons buttons, int helpContext) {
  return ShowMessageDialogAt(message, kind, buttons, helpContext, -1, -1);
}

}  // namespace kestrune::dialogs
