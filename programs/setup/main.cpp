// Entry of the setup program: the application, the main form read from the embedded
// install script (its engine decides what this start does), then the message loop.
#include <exception>

#include "engine/MainForm.h"
#include "engine/cmp_TInstall.h"
#include "engine/register_classes.h"
#include "platform/system.h"
#include "runtime/classinfo.h"
#include "runtime/params.h"
#include "ui/application.h"

using namespace kestrune;

int main() {
  ui::TApplication application;
  try {
    application.Initialize();
    application.SetTitle("Instalační program");
    SetProgramParams(platform::commandLineArguments());
    registerKitClasses(ClassRegistry::Global());
    // The engine's default theme picture is the program's bitmap resource.
    TCustomInstall::ThemeBitmapLoader = [] {
      return platform::loadBitmapResource("INSTALLTHEME1").value_or(std::vector<uint8_t>{});
    };
    // The main form first: reading it creates the script, whose engine's Loaded runs
    // before any other form exists. The wizard forms follow in this order:
    // WelcomeForm, LicenseForm, CopyFileForm, FileGroupSelectForm, BadInstallForm,
    // GoodInstallForm.
    application.CreateForm<engine::TfrmMain>();
    application.Run();
  } catch (const std::exception& e) {
    application.ShowException(e);
    return 1;
  }
  return 0;
}
