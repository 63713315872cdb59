// The setup program with two engine events that a script cannot attach (a script's event
// names are not bound to code), for the GUI tests of the paths they change:
//   OnUserAbort asks "Opravdu chcete instalaci ukončit?" in the kit's message dialog; "Ne"
//     refuses the abort, "Ano" allows it;
//   OnBeforeReboot records the restart asked for ("restart requested" on stdout) and
//     refuses it, so that a test sees the restart chosen on the success page without the
//     Wine session really restarting.
// Otherwise it is the setup program's own start (engine/setup_program.h).
#include <cstdio>

#include "dialogs/ordlg_MessageDlg.h"
#include "engine/cmp_TInstall.h"
#include "engine/setup_program.h"

using namespace kestrune;

int main() {
  return engine::RunSetupProgram([](TCustomInstall& install) {
    install.OnUserAbort = [](TComponent*, bool& allowed) {
      allowed = dialogs::ShowMessageDialog("Opravdu chcete instalaci ukončit?", dialogs::TMessageDialogKind::mdConfirmation,
                                           dialogs::mb::Yes | dialogs::mb::No, 0) == ui::mrYes;
    };
    install.OnBeforeReboot = [](TComponent*, bool& reboot) {
      std::puts("restart requested");
      std::fflush(stdout);
      reboot = false;
    };
  });
}
