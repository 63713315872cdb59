// The welcome page.
#include "dialogs/ordlg_WelcomeDlg.h"

#include <algorithm>
#include <set>
#include <string>

#include "dialogs/form_layouts.h"
#include "dialogs/product_data.h"
#include "objects/cmp_TCustomInstallShellLink.h"
#include "objects/cmp_TCustomShellLinkGroup.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "objects/run_state.h"
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
  demo_ = DemoShapedScript();
  if (!demo_) {
    fillProduct();
    CopyEngineTheme(ThemeBitmap);
    return;
  }
  // "Pouze BDE" would leave nothing to install in a script without the engine group.
  if (CurrentEngine() && !ScriptObject("BDE") && rgpTypInstalace->Items()->Count() == 3) {
    rgpTypInstalace->Items()->Delete(2);
    rgpTypInstalace->ItemsChanged();
  }
  if (SelectedInstallType == 0) rgpTypInstalace->SetItemIndex(0);
  SelectedInstallType = rgpTypInstalace->ItemIndex();
  CopyEngineTheme(ThemeBitmap);
}

void TWelcomeForm::fillProduct() {
  Label3->SetCaption(ProductName());
  lblDiskA->SetCaption(ProductLine());
  IInstallEngine* engine = CurrentEngine();
  TFileContainer* root = engine ? engine->EngineContainer() : nullptr;
  offered_ = OfferedInstallTypes(root);
  // The items show the type in force; making the page (as every manager's run does for a
  // moment) changes nothing.
  filling_ = true;
  rgpTypInstalace->Items()->Clear();
  int current = -1;
  for (size_t i = 0; i < offered_.size(); ++i) {
    rgpTypInstalace->Items()->Add(InstallTypeText(offered_[i]));
    if (root && offered_[i] == root->CurrentInstallType()) current = static_cast<int>(i);
  }
  rgpTypInstalace->SetColumns(offered_.empty() ? 1 : static_cast<int32_t>(std::min<size_t>(offered_.size(), 3)));
  rgpTypInstalace->ItemsChanged();
  rgpTypInstalace->SetItemIndex(current);
  filling_ = false;
  // One way to install or none is no choice.
  rgpTypInstalace->SetVisible(offered_.size() > 1);
  if (current < 0 && !offered_.empty() && offered_.size() > 1) rgpTypInstalace->SetItemIndex(0);
}

namespace {

// The engine's install objects that "Pouze BDE" left out, by name, so that a product type
// chosen afterwards takes back exactly these.
std::set<std::string>& leftOutForEngineOnly() {
  static std::set<std::string> names;
  return names;
}

// The type chosen and the objects left out go back with the rest of a run's state.
[[maybe_unused]] const bool kRunStateResetAdded = (AddRunStateReset([] {
                                                     SelectedInstallType = 0;
                                                     leftOutForEngineOnly().clear();
                                                   }),
                                                   true);

// "Pouze BDE" installs the database engine group alone: every other install object of the
// engine (product groups and files, the uninstaller, shortcuts) is left out; the dialog
// managers and other helpers stay. The product types take those objects back.
void includeProductObjects(TInstallContainer* root, const TInstallContainer* bde, bool include) {
  std::set<std::string>& leftOut = leftOutForEngineOnly();
  if (include) {
    for (const std::string& name : leftOut)
      if (TInstallContainer* object = ScriptObject(name.c_str())) object->SetInclude(true);
    leftOut.clear();
    return;
  }
  for (TInstallContainer* h : root->HelperList()) {
    if (h == bde || !h->Include()) continue;
    if (!dynamic_cast<TFileRelated*>(h) && !dynamic_cast<TCustomShellLinkGroup*>(h) &&
        !dynamic_cast<TCustomInstallShellLink*>(h))
      continue;
    h->SetInclude(false);
    if (!h->Name().empty()) leftOut.insert(h->Name());
  }
}

}  // namespace

void TWelcomeForm::rgpTypInstalaceClick() {
  if (filling_) return;
  int index = rgpTypInstalace->ItemIndex();
  SelectedInstallType = index;
  IInstallEngine* engine = CurrentEngine();
  TInstallContainer* root = engine ? engine->EngineContainer() : nullptr;
  if (!demo_) {
    if (root && index >= 0 && static_cast<size_t>(index) < offered_.size()) root->SetCurrentInstallType(offered_[index]);
    return;
  }
  TInstallContainer* bde = ScriptObject("BDE");
  if (root && index >= 0 && index <= 2) includeProductObjects(root, bde, index != 2);
  TInstallContainer* full = ScriptObject("FullVersion");
  TInstallContainer* demo = ScriptObject("DemoVersion");
  if (full) full->SetInclude(index == 0);
  if (demo) demo->SetInclude(index == 1);
  if (!root) return;
  // The two editions' folders belong to the product whose script has the edition groups.
  // The page is also made once at program start for any script; one without those groups
  // keeps the destination it gives (else its files would land in the editions' folder).
  if (index != 2 && !full && !demo) return;
  if (index == 0) root->SetDestDir(kFullVersionDir);
  else if (index == 1) root->SetDestDir(kDemoVersionDir);
  // The engine group's folder as resolved: its own DestDir is empty while its specifier
  // (psBDEDLL) names the folder, and an empty destination would put the rest of the run
  // beside the current directory.
  else if (index == 2 && bde) root->SetDestDir(bde->GetDestDir());
}

void TWelcomeForm::PrepareForm() {
  if (btnDalsi->Visible() && Visible() && btnDalsi->CanFocus()) btnDalsi->SetFocus();
}

}  // namespace kestrune::dialogs
