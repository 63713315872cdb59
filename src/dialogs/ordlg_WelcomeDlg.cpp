// The welcome page.
#include "dialogs/ordlg_WelcomeDlg.h"

#include "dialogs/form_layouts.h"
#include "objects/engine_seam.h"
#include "objects/cmp_TFileContainer.h"
#include "runtime/published.h"
#include "ui/application.h"

namespace kestrune::dialogs {

int SelectedInstallType = 0;

TInstallContainer* ScriptObject(const char* name) {
  ui::TCustomForm* main = ui::Application ? ui::Application->MainForm() : nullptr;
  return main ? dynamic_cast<TInstallContainer*>(main->FindComponent(name)) : nullptr;
}

const ClassInfo& TWelcomeForm::classInfo() {
  static const ClassInfo info{"TWelcomeForm", &TBaseInstallForm::classInfo(), create<TWelcomeForm>, {}};
  return info;
}

TWelcomeForm::TWelcomeForm(TComponent* owner) : TBaseInstallForm(owner) {
  DeclareField("Label1", Label1);
  DeclareField("Label2", Label2);
  DeclareField("Label3", Label3);
  DeclareField("Label6", Label6);
  DeclareField("Label7", Label7);
  DeclareField("lblDiskA", lblDiskA);
  DeclareField("rgpTypInstalace", rgpTypInstalace);
  DeclareField("btnDalsi", btnDalsi);
  DeclareField("btnStorno", btnStorno);
  DeclareField("ThemeBitmap", ThemeBitmap);
  ReadLayout(layouts::TWelcomeForm());
  SetDM(FindDialogManager(TManagerType::dmBeforeInstall));
  SetOrder(1);
  BecomeChildPage();
  rgpTypInstalace->OnClick = [this](TComponent*) { rgpTypInstalaceClick(); };
  btnDalsi->OnClick = [this](TComponent*) { btnDalsiClick(); };
  btnStorno->OnClick = [this](TComponent*) { btnStornoClick(); };
  FormCreate();
}

void TWelcomeForm::FormCreate() {
  if (SelectedInstallType == 0) rgpTypInstalace->SetItemIndex(0);
  SelectedInstallType = rgpTypInstalace->ItemIndex();
  CopyEngineTheme(ThemeBitmap);
}

void TWelcomeForm::rgpTypInstalaceClick() {
  int index = rgpTypInstalace->ItemIndex();
  SelectedInstallType = index;
  TInstallContainer* full = ScriptObject("FullVersion");
  TInstallContainer* demo = ScriptObject("DemoVersion");
  if (full) full->SetInclude(index == 0);
  if (demo) demo->SetInclude(index == 1);
  IInstallEngine* engine = CurrentEngine();
  TInstallContainer* root = engine ? engine->EngineContainer() : nullptr;
  if (!root) return;
  if (index == 0) root->SetDestDir(kFullVersionDir);
  else if (index == 1) root->SetDestDir(kDemoVersionDir);
  else if (index == 2)
    if (TInstallContainer* bde = ScriptObject("BDE")) root->SetDestDir(bde->DestDir());
}

void TWelcomeForm::PrepareForm() {
  if (btnDalsi->Visible() && Visible() && btnDalsi->CanFocus()) btnDalsi->SetFocus();
}

}  // namespace kestrune::dialogs
