// Registers the streamable classes of the wizard dialogs subsystem.
#include "dialogs/dialog_classes.h"

#include "dialogs/cmp_Rotate3DLabel.h"
#include "dialogs/cmp_TBackDrop.h"
#include "dialogs/dlgcmp_TDialogManager.h"
#include "dialogs/ordlg_CompletionDlgs.h"
#include "dialogs/ordlg_CopyFileDlg.h"
#include "dialogs/ordlg_FileGroupSelectDlg.h"
#include "dialogs/ordlg_InstallStatusDlg.h"
#include "dialogs/ordlg_LicenseDlg.h"
#include "dialogs/ordlg_WelcomeDlg.h"

namespace kestrune::dialogs {

void registerDialogClasses(ClassRegistry& registry) {
  registry.Register(TBackdrop::classInfo());
  registry.Register(TRotate3DLabel::classInfo());
  registry.Register(TDialogManager::classInfo());
  registry.Register(TInstallStatusDlg::classInfo());
}

void registerWizardForms() {
  // Once per program: the registries keep their entries until the program ends.
  if (InstallFormCount() > 0) return;
  // The program's order: the component selection page comes between the copy progress
  // form and the failure page.
  RegisterInstallForm(TGoodInstallForm::classInfo(), nullptr);
  RegisterInstallForm(TWelcomeForm::classInfo(), nullptr);
  RegisterInstallForm(TLicenseForm::classInfo(), nullptr);
  RegisterDuringCopyForm(TCopyFileForm::classInfo(), nullptr);
  RegisterInstallForm(TFileGroupSelectForm::classInfo(), nullptr);
  RegisterInstallForm(TBadInstallForm::classInfo(), nullptr);
}

void createStartForms(TComponent* owner) {
  for (const ClassInfo* cls : {&TWelcomeForm::classInfo(), &TLicenseForm::classInfo(), &TCopyFileForm::classInfo(),
                               &TFileGroupSelectForm::classInfo(), &TBadInstallForm::classInfo(),
                               &TGoodInstallForm::classInfo()})
    cls->factory(owner);
}

}  // namespace kestrune::dialogs
