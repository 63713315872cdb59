// Entry of the setup program: the application, the main form read from the embedded
// install script (its engine decides what this start does), then the message loop.
#include <exception>

#include "dialogs/dialog_classes.h"
#include "engine/MainForm.h"
#include "runtime/classinfo.h"
#include "ui/application.h"
#include "ui/ui_classes.h"

using namespace kestrune;

namespace {

// Every class the install script or a form may name.
void registerClasses(ClassRegistry& registry) {
  ui::registerUiClasses(registry);
  dialogs::registerDialogClasses(registry);
}

}  // namespace

int main() {
  ui::TApplication application;
  try {
    application.Initialize();
    application.SetTitle("Instalační program");
    registerClasses(ClassRegistry::Global());
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
