// The completion pages.
#include "dialogs/ordlg_CompletionDlgs.h"

#include "dialogs/form_layouts.h"
#include "dialogs/ordlg_MessageDlg.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "dialogs/product_data.h"
#include "runtime/format.h"
#include "objects/engine_seam.h"
#include "runtime/published.h"
#include "ui/application.h"

namespace kestrune::dialogs {

const ClassInfo& TCompletionForm::classInfo() {
  static const ClassInfo info{"TCompletionForm", &TBaseInstallForm::classInfo(), nullptr, {}};
  return info;
}

TCompletionForm::TCompletionForm(TComponent* owner) : TBaseInstallForm(owner) {
  DeclareField("ProceedBtn", ProceedBtn);
  DeclareField("FinishBtn", FinishBtn);
  DeclareField("ThemeBitmap", ThemeBitmap);
}

void TCompletionForm::Setup(const std::vector<uint8_t>& layout, TManagerType type) {
  ReadLayout(layout);
  SetDM(FindDialogManager(type));
  SetOrder(10);
  BecomeChildPage();
  CopyEngineTheme(ThemeBitmap);
}

void TCompletionForm::PrepareForm() {
  FinishBtn->Window().BringToFront();
  if (FinishBtn->Visible() && Visible() && FinishBtn->CanFocus()) FinishBtn->SetFocus();
}

const ClassInfo& TGoodInstallForm::classInfo() {
  static const ClassInfo info{"TGoodInstallForm", &TCompletionForm::classInfo(), create<TGoodInstallForm>, {}};
  return info;
}

TGoodInstallForm::TGoodInstallForm(TComponent* owner) : TCompletionForm(owner) {
  DeclareField("Label1", Label1);
  DeclareField("Label2", Label2);
  DeclareField("RG", RG);
  Setup(layouts::TGoodInstallForm(), TManagerType::dmAfterGoodInstall);
  OnShow = [this](TComponent*) { FormShow(); };
  FinishBtn->OnClick = [this](TComponent*) { FinishBtnClick(); };
}

bool TGoodInstallForm::ProductInstalled() {
  if (!DemoShapedScript()) {
    IInstallEngine* engine = CurrentEngine();
    return engine && engine->EngineRestartNeeded();
  }
  TInstallContainer* full = ScriptObject("FullVersion");
  TInstallContainer* demo = ScriptObject("DemoVersion");
  return (full && full->Include()) || (demo && demo->Include());
}

void TGoodInstallForm::FormShow() {
  // The page's texts are translated before it is shown; the product's name goes in after.
  if (!DemoShapedScript())
    Label1->SetCaption(Format(PageText("Program %s byl úspěšně nainstalován. Tlačítkem DOKONČIT dokončíte instalaci."),
                              {ProductName()}));
  bool product = ProductInstalled();
  RG->SetVisible(product);
  RG->SetItemIndex(product ? 0 : 1);
}

void TGoodInstallForm::FinishBtnClick() {
  bool reboot = RG->ItemIndex() == 0;
  if (IInstallEngine* engine = CurrentEngine()) engine->EngineSetRebootChoice(reboot);
  if (ProductInstalled() && !reboot)
    ShowMessageDialog(PageText("Program nebude fungovat správně dokud nerestartujete počítač."),
                      TMessageDialogKind::mdWarning, mb::OK, 0);
  NextPage();
}

const ClassInfo& TBadInstallForm::classInfo() {
  static const ClassInfo info{"TBadInstallForm", &TCompletionForm::classInfo(), create<TBadInstallForm>, {}};
  return info;
}

TBadInstallForm::TBadInstallForm(TComponent* owner) : TCompletionForm(owner) {
  DeclareField("TopLabel", TopLabel);
  Setup(layouts::TBadInstallForm(), TManagerType::dmAfterBadInstall);
  OnShow = [this](TComponent*) { FormShow(); };
  FinishBtn->OnClick = [this](TComponent*) { FinishBtnClick(); };
}

void TBadInstallForm::FormShow() {
  if (!DemoShapedScript())
    TopLabel->SetCaption(Format(PageText("Program %s nebyl správně nainstalován a zřejmě nebude pracovat správně. Prosím "
                                         "ukončete instalátor, restartujte počítač a spusťte instalaci znovu. Pokud problémy "
                                         "přetrvají, obraťte se na výrobce programu."),
                                {ProductName()}));
}

void TBadInstallForm::FinishBtnClick() {
  if (ui::Application) ui::Application->Terminate();
}

}  // namespace kestrune::dialogs
