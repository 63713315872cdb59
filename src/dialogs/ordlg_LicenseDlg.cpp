// The licence page.
#include "dialogs/ordlg_LicenseDlg.h"

#include "dialogs/form_layouts.h"
#include "runtime/published.h"

namespace kestrune::dialogs {

const ClassInfo& TLicenseForm::classInfo() {
  static const ClassInfo info{"TLicenseForm", &TBaseInstallForm::classInfo(), create<TLicenseForm>, {}};
  return info;
}

TLicenseForm::TLicenseForm(TComponent* owner) : TBaseInstallForm(owner) {
  DeclareField("Label1", Label1);
  DeclareField("Label2", Label2);
  DeclareField("Agreement", Agreement);
  DeclareField("chbYes", chbYes);
  DeclareField("btnZpet", btnZpet);
  DeclareField("btnDalsi", btnDalsi);
  DeclareField("btnStorno", btnStorno);
  DeclareField("ThemeBitmap", ThemeBitmap);
  ReadLayout(layouts::TLicenseForm());
  SetDM(FindDialogManager(TManagerType::dmBeforeInstall));
  SetOrder(20);
  BecomeChildPage();
  chbYes->OnClick = [this](TComponent*) { chbYesClick(); };
  btnZpet->OnClick = [this](TComponent*) { PreviousPage(); };
  btnDalsi->OnClick = [this](TComponent*) { NextPage(); };
  btnStorno->OnClick = [this](TComponent*) { CancelWizard(); };
  CopyEngineTheme(ThemeBitmap);
}

void TLicenseForm::PrepareForm() {
  btnZpet->SetVisible(!IsFirstPage());
  if (btnDalsi->Visible() && Visible() && btnDalsi->Enabled() && btnDalsi->CanFocus()) btnDalsi->SetFocus();
}

}  // namespace kestrune::dialogs
