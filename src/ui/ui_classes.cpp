// Registers the toolkit's streamable controls.
#include "ui/ui_classes.h"

#include "ui/buttons.h"
#include "ui/cmp_TTranslateControls.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/grids.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

namespace kestrune::ui {

void registerUiClasses(ClassRegistry& registry) {
  registry.Register(TPanel::classInfo());
  registry.Register(TLabel::classInfo());
  registry.Register(TForm::classInfo());
  for (const ClassInfo* info :
       {&TButton::classInfo(), &TBitBtn::classInfo(), &TCheckBox::classInfo(), &TRadioButton::classInfo(),
        &TGroupBox::classInfo(), &TRadioGroup::classInfo(), &TEdit::classInfo(), &TImage::classInfo(), &TBevel::classInfo(),
        &TProgressBar::classInfo(), &TRichEdit::classInfo(), &TTabControl::classInfo(), &TStringGrid::classInfo(),
        &TTranslateLabel::classInfo(), &TTranslateBitBtn::classInfo()})
    registry.Register(*info);
}

}  // namespace kestrune::ui
