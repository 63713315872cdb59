// The licence page.
#include "dialogs/ordlg_LicenseDlg.h"

#include "dialogs/form_layouts.h"
#include "dialogs/product_data.h"
#include "objects/engine_seam.h"
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
  // The script's licence text replaces the page's own; a script of another product
  // without one has no licence page.
  IInstallEngine* engine = CurrentEngine();
  std::vector<std::string> licence = engine ? engine->EngineLicenseText() : std::vector<std::string>{};
  if (!licence.empty()) {
    Agreement->Lines()->Clear();
    for (const std::string& line : licence) Agreement->Lines()->Add(line);
    Agreement->LinesChanged();
  } else if (!DemoShapedScript()) {
    skip_ = true;
  }
}

void TLicenseForm::PrepareForm() {
  btnZpet->SetVisible(!IsFirstPage());
  if (btnDalsi->Visible() && Visible() && btnDalsi->Enabled() && btnDalsi->CanFocus()) btnDalsi->SetFocus();
}

}  // namespace kestrune::dialogs
