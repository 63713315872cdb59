// Entry of the setup program: the application, the main form read from the embedded
// install script (its engine decides what this start does), then the message loop. The
// exit code tells how it ended (engine/exit_codes.h, README).
#include <exception>
#include <string>

#include "dialogs/dialog_classes.h"
#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/exit_codes.h"
#include "engine/register_classes.h"
#include "objects/run_log.h"
#include "objects/run_state.h"
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
    // The program's own split of the raw command line: "-sC:\Dist\" keeps its backslash.
    SetProgramParams(platform::commandLineArguments());
    // Under -q no window, not even the message of an error in reading the script.
    SetQuietRun(TCustomInstall::QuietRequested());
    registerKitClasses(ClassRegistry::Global());
    // A restart asked for at the end of a run ends the session, which may end this program
    // before its message loop does: it still ends with the code of its run.
    SetSessionEndExitCode([] { return engine::ExitCodeAfterRun(currentInstall()); });
    // The wizard's pages, in the order the dialog managers find them.
    dialogs::registerWizardForms();
    // The engine's default theme picture is the program's bitmap resource.
    SetThemeBitmapLoader([] { return platform::loadBitmapResource("INSTALLTHEME1").value_or(std::vector<uint8_t>{}); });
    // The main form first: reading it creates the script, whose engine's Loaded runs
    // before any other form exists.
    application.CreateForm<engine::TfrmMain>();
    // Without an engine nothing would ever start or end the run: the window would stay.
    if (!currentInstall())
      throw EComponentError("The install script of this setup program has no TInstall component: there is nothing to install.");
    // Then one hidden form of each wizard class, owned by the application.
    dialogs::createStartForms(&application);
    application.Run();
  } catch (const EAbort&) {
    return engine::kExitUserAbort;
  } catch (const std::exception& e) {
    RunLog(std::string("Error: ") + e.what());
    application.ShowException(e);
    return engine::ExitCodeOfStartError(e);
  }
  return engine::ExitCodeAfterRun(currentInstall());
}
