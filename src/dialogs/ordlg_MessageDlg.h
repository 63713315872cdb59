// The kit's own message dialog: Czech captions and button texts, sized from the average
// character size of the dialog font; returns the modal result of the pressed button.
#pragma once
#include <cstdint>
#include <string>

#include "ui/forms.h"

namespace kestrune::dialogs {

enum class TMessageDialogKind { mdWarning, mdError, mdInformation, mdConfirmation, mdCustom };

// Buttons: bit i stands for button i (Yes, No, OK, Cancel, Abort, Retry, Ignore, All,
// NoToAll, YesToAll, Help).
using TMessageDialogButtons = uint32_t;
namespace mb {
inline constexpr TMessageDialogButtons Yes = 1u << 0, No = 1u << 1, OK = 1u << 2, Cancel = 1u << 3, Abort = 1u << 4,
                                       Retry = 1u << 5, Ignore = 1u << 6, All = 1u << 7, NoToAll = 1u << 8,
                                       YesToAll = 1u << 9, Help = 1u << 10;
}

// The form of the dialog, owned by the application, placed in the middle of the screen.
ui::TForm* CreateMessageDialog(const std::string& message, TMessageDialogKind kind, TMessageDialogButtons buttons);
// Shows it modally at (x, y) where they are not negative; frees it in every case.
int ShowMessageDialogAt(const std::string& message, TMessageDialogKind kind, TMessageDialogButtons buttons,
                        int helpContext, int x, int y);
int ShowMessageDialog(const std::string& message, TMessageDialogKind kind, TMessageDialogButtons buttons,
                      int helpContext);

}  // namespace kestrune::dialogs
