// Registers the toolkit's streamable controls.
#include "ui/ui_classes.h"

#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

void registerUiClasses(ClassRegistry& registry) {
  registry.Register(TPanel::classInfo());
  registry.Register(TLabel::classInfo());
  registry.Register(TForm::classInfo());
}

}  // namespace kestrune::ui
