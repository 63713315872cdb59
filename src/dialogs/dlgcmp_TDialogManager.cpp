// The dialog manager, the form registries and FindDialogManager.
#include "dialogs/dlgcmp_TDialogManager.h"

#include <algorithm>
#include <cmath>

#include "dialogs/dlgcmp_TCustomBaseInstallDlg.h"
#include "dialogs/ordlg_BaseForms.h"
#include "objects/cmp_TCustomInstallFile.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/component_calls.h"
#include "objects/engine_seam.h"
#include "objects/run_state.h"
#include "objects/file_status_parameter.h"
#include "objects/parameters.h"
#include "platform/ui_app.h"
#include "runtime/exceptions.h"
#include "runtime/process_messages.h"
#include "runtime/published.h"
#include "ui/application.h"

namespace kestrune::dialogs {

const EnumType& EnumTypeInfo(TManagerType) {
  static constexpr std::string_view values[] = {"dmBeforeInstall", "dmAfterGoodInstall", "dmAfterBadInstall",
      "dmDuringCopyFiles", "dmChangeDisk", "dmReboot"};
  static constexpr EnumType t{"TManagerType", values};
  return t;
}
const EnumType& EnumTypeInfo(TKestruneDialogPosition) {
  static constexpr std::string_view values[] = {"kdpCenterLeft", "kdpCenter", "kdpCenterRight", "kdpBottomLeft",
      "kdpBottomCenter", "kdpBottomRight", "kdpTopLeft", "kdpTopCenter", "kdpTopRight"};
  static constexpr EnumType t{"TKestruneDialogPosition", values};
  return t;
}

namespace {

struct Registries {
  std::unique_ptr<std::vector<std::unique_ptr<TBIFEntry>>> installForms, duringCopyForms, changeDiskForms;
};
Registries& registries() {
  static Registries r;
  return r;
}
TDialogManager* g_current = nullptr;
// The current manager is a run's: it goes back to none with the rest of the run state.
[[maybe_unused]] const bool kRunStateResetAdded = (AddRunStateReset([] { g_current = nullptr; }), true);

TBIFEntry* append(std::unique_ptr<std::vector<std::unique_ptr<TBIFEntry>>>& list, const ClassInfo& cls,
                  TCustomBaseInstallDlg* dialog) {
  if (!list) list = std::make_unique<std::vector<std::unique_ptr<TBIFEntry>>>();
  list->push_back(std::make_unique<TBIFEntry>(TBIFEntry{&cls, dialog}));
  return list->back().get();
}

TBIFEntry* entryAt(const std::unique_ptr<std::vector<std::unique_ptr<TBIFEntry>>>& list, int index) {
  if (!list) throw IException("The BIFList is NIL");
  if (index < 0 || index >= static_cast<int>(list->size())) throw IException("%d is an invalid index in the BIFList", {index});
  TBIFEntry* e = (*list)[index].get();
  if (!e || !e->FormClass) throw IException("The %d 'th entry in the BIFList is NIL", {index});
  return e;
}

// Creates a form of a registered class owned by owner.
template <class F>
F* createForm(const ClassInfo& cls, TComponent* owner) {
  if (!cls.factory) throw EComponentError(Format("Class %s cannot be created", {cls.name}));
  TComponent* c = cls.factory(owner);
  if (auto* f = dynamic_cast<F*>(c)) return f;
  delete c;
  throw EComponentError(Format("Class %s is not a form of the right kind", {cls.name}));
}

// Clears CurrentDialogManager on every way out.
struct CurrentManagerScope {
  explicit CurrentManagerScope(TDialogManager* m) { g_current = m; }
  ~CurrentManagerScope() { g_current = nullptr; }
};

}  // namespace

TBIFEntry* RegisterInstallForm(const ClassInfo& formClass, TCustomBaseInstallDlg* dialog) {
  return append(registries().installForms, formClass, dialog);
}
TDCFEntry* RegisterDuringCopyForm(const ClassInfo& formClass, TCustomBaseInstallDlg* dialog) {
  return append(registries().duringCopyForms, formClass, dialog);
}
TBIFEntry* RegisterChangeDiskForm(const ClassInfo& formClass, TCustomBaseInstallDlg* dialog) {
  return append(registries().changeDiskForms, formClass, dialog);
}
int InstallFormCount() { return registries().installForms ? static_cast<int>(registries().installForms->size()) : 0; }
int DuringCopyFormCount() {
  return registries().duringCopyForms ? static_cast<int>(registries().duringCopyForms->size()) : 0;
}
TBIFEntry* GetInstallFormEntry(int index) { return entryAt(registries().installForms, index); }
TDCFEntry* GetDuringCopyFormEntry(int index) { return entryAt(registries().duringCopyForms, index); }

void ReleaseFormRegistries() {
  registries().installForms.reset();
  registries().duringCopyForms.reset();
  registries().changeDiskForms.reset();
}

void ForgetRegisteredDialog(TCustomBaseInstallDlg* dialog) {
  for (auto* list : {&registries().installForms, &registries().duringCopyForms, &registries().changeDiskForms})
    if (*list)
      for (auto& e : **list)
        if (e->Dialog == dialog) e->Dialog = nullptr;
}

TDialogManager* CurrentDialogManager() { return g_current; }
void SetCurrentDialogManager(TDialogManager* manager) { g_current = manager; }

TDialogManager* FindDialogManager(TManagerType type) {
  IInstallEngine* engine = CurrentEngine();
  TInstallContainer* root = engine ? engine->EngineContainer() : nullptr;
  TInstallContainerList& all = InstallContainers();
  for (int i = 0; i < all.Count(); ++i) {
    auto* m = dynamic_cast<TDialogManager*>(all.Items(i));
    if (m && m->ManagerType() == type && root && m->Container() == root) return m;
  }
  return nullptr;
}

platform::ui::Point DialogPlacement(TKestruneDialogPosition position, int w, int h, int leftOffset, int topOffset,
                                    platform::ui::Size screen, int captionHeight) {
  using P = TKestruneDialogPosition;
  int x0 = static_cast<int>(std::lround(screen.cx * 0.5 - w * 0.5));
  int y0 = static_cast<int>(std::lround(screen.cy * 0.5 - h * 0.5));
  platform::ui::Point p;
  switch (position) {
    case P::kdpCenter: case P::kdpBottomCenter: case P::kdpTopCenter: p.x = x0 + leftOffset; break;
    case P::kdpCenterLeft: case P::kdpBottomLeft: case P::kdpTopLeft: p.x = leftOffset; break;
    case P::kdpCenterRight: case P::kdpBottomRight: case P::kdpTopRight: p.x = screen.cx - w - leftOffset; break;
  }
  switch (position) {
    case P::kdpCenterLeft: case P::kdpCenter: case P::kdpCenterRight: p.y = y0 + topOffset; break;
    case P::kdpTopLeft: case P::kdpTopCenter: case P::kdpTopRight: p.y = topOffset; break;
    case P::kdpBottomLeft: case P::kdpBottomCenter: case P::kdpBottomRight:
      p.y = screen.cy - captionHeight - h - topOffset;
      break;
  }
  return p;
}

const ClassInfo& TDialogManager::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container"),
      prop<&TDialogManager::Height, &TDialogManager::SetHeight>("Height").Default(395),
      prop<&TDialogManager::ManagerType, &TDialogManager::SetManagerType>("ManagerType").Default(0),
      prop<&TDialogManager::Position, &TDialogManager::SetPosition>("Position").Default(1),
      prop<&TDialogManager::RelativeLeftOffset, &TDialogManager::SetRelativeLeftOffset>("RelativeLeftOffset").Default(0),
      prop<&TDialogManager::RelativeTopOffset, &TDialogManager::SetRelativeTopOffset>("RelativeTopOffset").Default(0),
      prop<&TDialogManager::Width, &TDialogManager::SetWidth>("Width").Default(478)};
  static const ClassInfo info{"TDialogManager", &TInstallObject::classInfo(), create<TDialogManager>, props};
  return info;
}

TDialogManager::TDialogManager(TComponent* owner) : TInstallObject(owner) {}

TDialogManager::~TDialogManager() {
  if (g_current == this) g_current = nullptr;
  for (TBaseDuringCopyForm* f : duringCopyForms_) f->RemoveFreeNotification(this);
  for (TCustomBaseInstallDlg* d : dialogs_) d->RemoveFreeNotification(this);
}

int TDialogManager::RegisteredType() const { return rt::Dialog; }

void TDialogManager::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (auto* d = dynamic_cast<TCustomBaseInstallDlg*>(component)) RemoveDialog(d);
  auto& forms = duringCopyForms_;
  forms.erase(std::remove(forms.begin(), forms.end(), component), forms.end());
}

void TDialogManager::HandleMessage(TInstallContainer* sender, int componentCall, TPersistent* po) {
  TInstallObject::HandleMessage(sender, componentCall, po);
  auto mine = [this](TManagerType t) { return managerType_ == t; };
  switch (componentCall) {
    case cc::BeforeInstallDialogs:
      if (mine(TManagerType::dmBeforeInstall)) Execute();
      break;
    case cc::GoodEnding:
      if (mine(TManagerType::dmAfterGoodInstall)) Execute();
      break;
    case cc::BadEnding:
      if (mine(TManagerType::dmAfterBadInstall)) Execute();
      break;
    case cc::Reboot:
      if (mine(TManagerType::dmReboot)) Execute();
      break;
    case cc::FileProgress:
      if (!mine(TManagerType::dmDuringCopyFiles)) break;
      if (!po) throw IException("%s got a nil PO parameter", {Name()});
      if (auto* status = dynamic_cast<TFileStatusParameter*>(po)) UpdateDuringCopyForms(status, nullptr);
      else throw IException("The PO object passed to %s is not a TFileStatusParameter object", {Name()});
      break;
    case cc::DownloadProgress:
      if (!mine(TManagerType::dmDuringCopyFiles)) break;
      if (!po) throw IException("%s got a nil PO parameter", {Name()});
      if (auto* status = dynamic_cast<TDownloadStatusParameter*>(po)) UpdateDuringCopyForms(nullptr, status);
      else throw IException("The PO object passed to %s is not a TDownloadStatusParameter object", {Name()});
      break;
    case cc::OperationEnd:
      if (mine(TManagerType::dmDuringCopyFiles)) CloseDuringCopyForms();
      break;
    case cc::NewDisk:
      if (mine(TManagerType::dmChangeDisk)) ShowChangeDiskForm(po);
      break;
    default:
      break;
  }
}

void TDialogManager::Execute() {
  // An unattended run skips the pages: what they would set keeps the script's defaults
  // (the install type chosen at loading, the groups' Include, the destination), and an
  // agreement counts as accepted.
  if (ui::Quiet()) return;
  CurrentManagerScope scope(this);
  std::unique_ptr<TBaseFormContainer> container(new TBaseFormContainer(ui::Application));
  container->SetPosition(ui::TPosition::poDesigned);
  container->SetHeight(height_);
  container->SetWidth(width_);
  container->PlaceDialog(position_, relativeLeftOffset_, relativeTopOffset_);
  if (LoadPages(container.get()) == 0) return;
  if (container->ShowModal() == ui::mrAbort) throw EAIUserAbort();
  if (ui::Application && ui::Application->MainForm()) ui::Application->MainForm()->Repaint();
  ProcessMessages();
}

int TDialogManager::LoadPages(TBaseFormContainer* container) {
  if (!g_current) throw IException("The current dialog manager is not defined");
  std::vector<TBaseInstallForm*>& pages = container->PageList();
  pages.clear();
  for (int i = 0; i < InstallFormCount(); ++i) {
    TBIFEntry* entry = GetInstallFormEntry(i);
    TCustomBaseInstallDlg* dialog = entry->Dialog;
    if (dialog && (dialog->DialogManager() != g_current || !dialog->CanShow())) continue;
    auto* page = createForm<TBaseInstallForm>(*entry->FormClass, container);
    if (!dialog && page->DM() != g_current) {
      container->RemoveComponent(page);
      delete page;
      continue;
    }
    page->SetDC(dialog);
    if (dialog) {
      page->Container = dialog->Container();
      page->SetOrder(dialog->Order);
      dialog->SetForm(page);
      dialog->AssignDialogProperties();
    }
    container->Tabs->Tabs()->Add(page->Caption());
    platform::ui::Rect r = container->DisplayPanel->BoundsRect();
    page->SetBounds(r.left, r.top, r.Width(), r.Height());
    page->ApplyLanguage();
    // The container shows one page at a time (ShowPage): the others stay hidden, so
    // that only the current page's buttons can be found and pressed.
    page->HandleNeeded();
    pages.push_back(page);
  }
  // A selection sort that exchanges whenever a later page has a strictly smaller Order.
  for (size_t i = 0; i < pages.size(); ++i)
    for (size_t j = i + 1; j < pages.size(); ++j)
      if (pages[j]->Order() < pages[i]->Order()) std::swap(pages[i], pages[j]);
  return static_cast<int>(pages.size());
}

void TDialogManager::UpdateDuringCopyForms(TFileStatusParameter* fileStatus, TDownloadStatusParameter* downloadStatus) {
  if (ui::Quiet()) return;
  if (duringCopyForms_.empty()) CreateDuringCopyForms();
  std::vector<TBaseDuringCopyForm*> forms = duringCopyForms_;
  for (TBaseDuringCopyForm* f : forms) f->UpdateStatus(fileStatus, downloadStatus);
}

void TDialogManager::CreateDuringCopyForms() {
  for (int i = 0; i < DuringCopyFormCount(); ++i) {
    TDCFEntry* entry = GetDuringCopyFormEntry(i);
    auto* form = createForm<TBaseDuringCopyForm>(*entry->FormClass, ui::Application);
    if (form->DM() != this) {
      delete form;
      continue;
    }
    if (TCustomBaseInstallDlg* dialog = entry->Dialog) {
      dialog->SetForm(form);
      platform::ui::Point at = DialogPlacement(dialog->DialogPosition, dialog->DialogWidth, dialog->DialogHeight,
                                               dialog->RelativeLeftOffset, dialog->RelativeTopOffset,
                                               platform::ui::ScreenSize(), platform::ui::CaptionHeight());
      form->SetBounds(at.x, at.y, dialog->DialogWidth, dialog->DialogHeight);
    }
    form->PrepareForm();
    form->ApplyLanguage();
    form->Show();
    form->FreeNotification(this);
    duringCopyForms_.push_back(form);
  }
}

void TDialogManager::CloseDuringCopyForms() {
  std::vector<TBaseDuringCopyForm*> forms;
  forms.swap(duringCopyForms_);
  // Closed forms are hidden and then released: nothing uses them again, and a new set
  // made by a later status message takes the same component names. The names go at once:
  // a release waits for the message loop, and a run that copies in two phases (the
  // database engine group, then the product) asks for the new set before that.
  for (TBaseDuringCopyForm* f : forms) {
    f->RemoveFreeNotification(this);
    f->Hide();
    f->SetName("");
    f->Release();
  }
}

void TDialogManager::ShowChangeDiskForm(TPersistent* parameters) {
  auto& list = registries().changeDiskForms;
  // Unattended, the file's own question for the disk answers Cancel.
  if (!list || list->empty() || ui::Quiet()) return;
  CurrentManagerScope scope(this);
  std::unique_ptr<TBaseInstallForm> form(createForm<TBaseInstallForm>(*(*list)[0]->FormClass, ui::Application));
  if (form->DM() != this) return;
  if (!parameters) throw IException("The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form");
  auto* items = dynamic_cast<TList*>(parameters);
  if (!items) throw IException("TChangeDiskDlg--PO is not a TList object");
  if (items->Count() < 2) throw IException("TChangeDiskDlg--Not engouh parameters for status event");
  auto* file = dynamic_cast<TCustomInstallFile*>(items->Items(0));
  if (!file) throw Exception("TChangeDiskDlg says bad first parameter");
  auto* disk = dynamic_cast<TDiskParameter*>(items->Items(1));
  if (!disk) throw Exception("TChangeDiskDlg says bad second parameter");
  file->SetTag(1);
  form->DiskParameter = disk;
  form->PrepareForm();
  form->ApplyLanguage();
  if (form->ShowModal() == ui::mrAbort) throw EAIUserAbort();
}

void TDialogManager::AddDialog(TCustomBaseInstallDlg* dialog) {
  if (!dialog) throw IException("Cannot add a NIL Dialog to the Dialog Manager %s", {Name()});
  dialogs_.push_back(dialog);
  dialog->FreeNotification(this);
}

void TDialogManager::RemoveDialog(TCustomBaseInstallDlg* dialog) {
  auto it = std::find(dialogs_.begin(), dialogs_.end(), dialog);
  if (it != dialogs_.end()) dialogs_.erase(it);
}

}  // namespace kestrune::dialogs
