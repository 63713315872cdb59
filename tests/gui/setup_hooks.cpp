// The setup program with two engine events that a script cannot attach (a script's event
// names are not bound to code), for the GUI tests of the paths they change:
//   OnUserAbort asks "Opravdu chcete instalaci ukončit?" in the kit's message dialog; "Ne"
//     refuses the abort, "Ano" allows it;
//   OnBeforeReboot records the restart asked for ("restart requested" on stdout) and
//     refuses it, so that a test sees the restart chosen on the success page without the
//     Wine session really restarting.
// Otherwise it starts as the setup program does (programs/setup/main.cpp).
#include <cstdio>
#include <exception>

#include "dialogs/dialog_classes.h"
#include "dialogs/ordlg_MessageDlg.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/exit_codes.h"
#include "engine/register_classes.h"
#include "platform/system.h"
#include "runtime/classinfo.h"
#include "runtime/exceptions.h"
#include "runtime/params.h"
#include "runtime/seams.h"
#include "ui/application.h"

using namespace kestrune;

namespace {

TCustomInstall* currentInstall() { return dynamic_cast<TCustomInstall*>(CurrentEngine()); }

}  // namespace

int main() {
  ui::TApplication application;
  try {
    application.Initialize();
    application.SetTitle("Instalační program");
    SetProgramParams(platform::commandLineArguments());
    registerKitClasses(ClassRegistry::Global());
    dialogs::registerWizardForms();
    SetThemeBitmapLoader([] { return platform::loadBitmapResource("INSTALLTHEME1").value_or(std::vector<uint8_t>{}); });
    application.CreateForm<engine::TfrmMain>();
    TCustomInstall* install = currentInstall();
    if (!install) throw EComponentError("The install script of this setup program has no TInstall component.");
    install->OnUserAbort = [](TComponent*, bool& allowed) {
      allowed = dialogs::ShowMessageDialog("Opravdu chcete instalaci ukončit?", dialogs::TMessageDialogKind::mdConfirmation,
                                           dialogs::mb::Yes | dialogs::mb::No, 0) == ui::mrYes;
    };
    install->OnBeforeReboot = [](TComponent*, bool& reboot) {
      std::puts("restart requested");
      std::fflush(stdout);
      reboot = false;
    };
    dialogs::createStartForms(&application);
    application.Run();
  } catch (const EAbort&) {
    return engine::kExitUserAbort;
  } catch (const std::exception& e) {
    application.ShowException(e);
    return engine::ExitCodeOfStartError(e);
  }
  return engine::ExitCodeAfterRun(currentInstall());
}
