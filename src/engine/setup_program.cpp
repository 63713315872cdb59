// The start of the setup program.
#include "engine/setup_program.h"

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

namespace kestrune::engine {

namespace {

TCustomInstall* currentInstall() { return dynamic_cast<TCustomInstall*>(CurrentEngine()); }

}  // namespace

int RunSetupProgram(const std::function<void(TCustomInstall& install)>& attach) {
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
    SetSessionEndExitCode([] { return ExitCodeAfterRun(currentInstall()); });
    // The wizard's pages, in the order the dialog managers find them.
    dialogs::registerWizardForms();
    // The engine's default theme picture is the program's bitmap resource.
    SetThemeBitmapLoader([] { return platform::loadBitmapResource("INSTALLTHEME1").value_or(std::vector<uint8_t>{}); });
    // The main form first: reading it creates the script, whose engine's Loaded runs
    // before any other form exists.
    application.CreateForm<TfrmMain>();
    // Without an engine nothing would ever start or end the run: the window would stay.
    TCustomInstall* install = currentInstall();
    if (!install)
      throw EComponentError("The install script of this setup program has no TInstall component: there is nothing to install.");
    if (attach) attach(*install);
    // Then one hidden form of each wizard class, owned by the application.
    dialogs::createStartForms(&application);
    application.Run();
  } catch (const EAbort&) {
    return kExitUserAbort;
  } catch (const std::exception& e) {
    RunLog(std::string("Error: ") + e.what());
    application.ShowException(e);
    return ExitCodeOfStartError(e);
  }
  return ExitCodeAfterRun(currentInstall());
}

}  // namespace kestrune::engine
