// Registers every class an install script or a page layout may name.
#include "engine/register_classes.h"

#include "dbengine/cmp_TInstallBDE.h"
#include "dialogs/dialog_classes.h"
#include "engine/cmp_TInstall.h"
#include "engine/engine_Build.h"
#include "objects/register_objects.h"
#include "runtime/seams.h"
#include "translation/cmp_TTranslator.h"
#include "ui/ui_classes.h"

namespace kestrune {

namespace {

// The database engine group reaches the kit directory and the engine's pre-setup files
// through these.
TStrings* currentPresetupFiles() {
  auto* engine = dynamic_cast<TCustomInstall*>(CurrentEngine());
  return engine ? engine->PresetupFiles() : nullptr;
}

}  // namespace

void registerKitClasses(ClassRegistry& registry) {
  SetKitDirectoryLookup(&FindKitDirectory);
  SetPresetupFilesLookup(&currentPresetupFiles);
  ui::registerUiClasses(registry);
  dialogs::registerDialogClasses(registry);
  translation::registerTranslationClasses(registry);
  registerObjectClasses(registry);
  registerDBEngineClasses(registry);
  registerEngineClasses(registry);
}

}  // namespace kestrune
