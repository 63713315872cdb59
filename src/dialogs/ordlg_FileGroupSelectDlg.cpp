// The component and destination page.
#include "dialogs/ordlg_FileGroupSelectDlg.h"

#include <algorithm>
#include <memory>

#include "dialogs/form_layouts.h"
#include "dialogs/ordlg_BrowseDlg.h"
#include "dialogs/ordlg_MessageDlg.h"
#include "dialogs/ordlg_WelcomeDlg.h"
#include "dialogs/product_data.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "paths/routines_ExpandPaths.h"
#include "platform/files.h"
#include "platform/system.h"
#include "routines/routines_Strings.h"
#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/sysutils.h"

namespace kestrune::dialogs {

namespace space {
int64_t KiloBytes(int64_t bytes) { return bytes / 1024; }
bool Enough(int64_t requiredKB, int64_t freeKB) { return requiredKB + 1000 < freeKB && requiredKB > 0; }
std::string Cell(int64_t kb) { return std::to_string(kb) + "     KB"; }
}  // namespace space

std::function<std::optional<uint64_t>(const std::string&)> TFileGroupSelectForm::FreeSpaceProbe =
    [](const std::string& directory) { return platform::freeDiskSpace(directory); };
std::function<int(const std::string&)> TFileGroupSelectForm::AskUnknownSpace = [](const std::string& question) {
  return ShowMessageDialog(question, TMessageDialogKind::mdWarning, mb::Yes | mb::No, 0);
};

const ClassInfo& TFileGroupSelectForm::classInfo() {
  static const ClassInfo info{"TFileGroupSelectForm", &TBaseInstallForm::classInfo(), create<TFileGroupSelectForm>, {}};
  return info;
}

TFileGroupSelectForm::TFileGroupSelectForm(TComponent* owner) : TBaseInstallForm(owner) {
  DeclareField("Label3", Label3);
  DeclareField("Label6", Label6);
  DeclareField("lblDiskA", lblDiskA);
  DeclareField("DirectoryGroupBox", DirectoryGroupBox);
  DeclareField("DirectoryLabel", DirectoryLabel);
  DeclareField("BrowseBtn", BrowseBtn);
  DeclareField("PlaceGrid", PlaceGrid);
  DeclareField("btnZpet", btnZpet);
  DeclareField("btnDalsi", btnDalsi);
  DeclareField("btnStorno", btnStorno);
  DeclareField("ThemeBitmap", ThemeBitmap);
  ReadLayout(layouts::TFileGroupSelectForm());
  SetDM(FindDialogManager(TManagerType::dmBeforeInstall));
  SetOrder(20);
  BecomeChildPage();
  BrowseBtn->OnClick = [this](TComponent*) { BrowseBtnClick(); };
  btnZpet->OnClick = [this](TComponent*) { PreviousPage(); };
  btnDalsi->OnClick = [this](TComponent*) { NextPage(); };
  btnStorno->OnClick = [this](TComponent*) { CancelWizard(); };
  FormCreate();
}

void TFileGroupSelectForm::FormCreate() {
  freeKB_ = 0;
  demo_ = DemoShapedScript();
  PlaceGrid->SetColWidths(0, 156);
  PlaceGrid->SetColWidths(1, 157);
  PlaceGrid->SetCells(0, 0, PageText("Volné místo na disku"));
  PlaceGrid->SetCells(1, 0, PageText("Potřebné místo"));
  CopyEngineTheme(ThemeBitmap);
  if (!demo_) {
    Label3->SetCaption(ProductName());
    lblDiskA->SetCaption(ProductLine());
    makeGroupChoices();
  }
}

std::string TFileGroupSelectForm::destination() const {
  IInstallEngine* engine = CurrentEngine();
  TFileContainer* root = engine ? engine->EngineContainer() : nullptr;
  if (!root) return {};
  return demo_ ? root->DestDir() : root->GetDestDir();
}

void TFileGroupSelectForm::makeGroupChoices() {
  IInstallEngine* engine = CurrentEngine();
  std::vector<TFileContainer*> groups = OptionalGroups(engine ? engine->EngineContainer() : nullptr);
  if (groups.empty()) return;
  // Between the destination box and the space grid; each activation shows the rows of the
  // groups in the install type then in force.
  const int top = DirectoryGroupBox->Top() + DirectoryGroupBox->Height() + 6;
  const int room = std::min(PlaceGrid->Parent()->Top() - 14 - top, 96);
  GroupsBox = new ui::TGroupBox(this);
  GroupsBox->SetName("GroupsBox");
  GroupsBox->SetCaption("Volitelné součásti");
  GroupsBox->SetBounds(DirectoryGroupBox->Left(), top, DirectoryGroupBox->Width(), room);
  GroupsBox->SetParent(DirectoryGroupBox->Parent());
  for (TFileContainer* g : groups) {
    auto* box = new ui::TCheckBox(this);
    box->SetCaption(g->GroupName());
    box->SetParent(GroupsBox);
    auto* size = new ui::TLabel(this);
    size->SetAlignment(ui::TAlignment::taRightJustify);
    size->SetParent(GroupsBox);
    choices_.push_back({g, box, size});
    box->SetChecked(g->Include());
    box->OnClick = [this, g, box](TComponent*) {
      g->SetInclude(box->Checked());
      fillSpace();
    };
  }
}

void TFileGroupSelectForm::fillGroupChoices() {
  if (!GroupsBox) return;
  IInstallEngine* engine = CurrentEngine();
  const TInstallType type = engine ? engine->EngineContainer()->CurrentInstallType() : TInstallType::itAlways;
  int shown = 0;
  for (const GroupChoice& c : choices_) shown += InInstallType(c.group, type) ? 1 : 0;
  GroupsBox->SetVisible(shown > 0);
  const int room = GroupsBox->Height() - 20;
  const int rowHeight = shown > 0 ? std::max(14, std::min(18, room / shown)) : 18;
  int y = 16;
  for (const GroupChoice& c : choices_) {
    // A group outside the install type, or one more than the box can hold, has no row.
    const bool show = InInstallType(c.group, type) && y + rowHeight <= room + 18;
    c.box->SetVisible(show);
    c.size->SetVisible(show);
    if (!show) continue;
    c.box->SetBounds(8, y, 220, rowHeight);
    c.size->SetBounds(230, y + 2, GroupsBox->Width() - 240, rowHeight - 2);
    // The size a group adds, whether it is ticked or not.
    const bool include = c.group->Include();
    c.group->SetInclude(true);
    c.size->SetCaption(std::to_string(space::KiloBytes(c.group->TotalSize(false))) + " KB");
    c.group->SetInclude(include);
    y += rowHeight;
  }
}

void TFileGroupSelectForm::PrepareForm() {
  btnZpet->SetVisible(!IsFirstPage());
  if (btnDalsi->Visible() && Visible() && btnDalsi->Enabled() && btnDalsi->CanFocus()) btnDalsi->SetFocus();
}

void TFileGroupSelectForm::ActivatePage() {
  FormActivate();
  TBaseInstallForm::ActivatePage();
}

void TFileGroupSelectForm::FormActivate() {
  IInstallEngine* engine = CurrentEngine();
  TFileContainer* root = engine ? engine->EngineContainer() : nullptr;
  DirectoryLabel->SetText(destination());
  if (!demo_) {
    fillGroupChoices();
    fillSpace();
    Label3->SetCaption(ProductName());
    lblDiskA->SetCaption(ProductLine());
    bool change = root && root->AllowChangeDir();
    DirectoryGroupBox->SetEnabled(change);
    DirectoryLabel->SetEnabled(change);
    BrowseBtn->SetEnabled(change);
    return;
  }
  fillSpace();
  TInstallContainer* full = ScriptObject("FullVersion");
  TInstallContainer* demo = ScriptObject("DemoVersion");
  bool fullIncluded = full && full->IsIncluded(), demoIncluded = demo && demo->IsIncluded();
  std::string line = "Instalace Borland Database Engine";
  if (fullIncluded) line = "Velmora - Verze: Light";
  if (demoIncluded) line = "Velmora - Demoverze";
  lblDiskA->SetCaption(line);
  bool product = fullIncluded || demoIncluded;
  DirectoryGroupBox->SetEnabled(product);
  DirectoryLabel->SetEnabled(product);
  BrowseBtn->SetEnabled(product);
  // The engine group's folder as resolved: its own DestDir is empty while its specifier
  // names the folder.
  if (!product)
    if (TInstallContainer* bde = ScriptObject("BDE")) DirectoryLabel->SetText(bde->GetDestDir());
}

void TFileGroupSelectForm::fillSpace() {
  IInstallEngine* engine = CurrentEngine();
  TFileContainer* root = engine ? engine->EngineContainer() : nullptr;
  // Sizes add up in 64 bits: a product past 2 GB must not wrap into a small or negative need.
  requiredKB_ = space::KiloBytes(root ? root->TotalSize(false) : 0);
  // The volume measured is the destination's (its nearest existing folder), not the
  // current directory's: the files go there. It is measured again on each activation, as
  // the destination may have changed; bytes are counted in 64 bits, so a large drive
  // shows its real free space instead of a wrapped one.
  std::string where = TOpenFolderDialog::NearestExistingDirectory(destination());
  if (where.empty()) where = platform::currentDirectory();
  std::optional<uint64_t> freeBytes = FreeSpaceProbe(where);
  if (freeBytes) {
    freeKB_ = static_cast<int64_t>(*freeBytes / 1024);
  } else {
    // The system cannot tell: the user decides once per page whether to go on regardless.
    if (!unknownSpaceAccepted_) {
      if (AskUnknownSpace(PageText("Nemohu zjistit volné místo na disku.Chcete pokračovat?")) != ui::mrYes) {
        AbortWizard();
        throw Exception(PageText("Nedostatek místa na disku"));
      }
      unknownSpaceAccepted_ = true;
    }
    freeKB_ = requiredKB_ + 2000;
  }
  PlaceGrid->SetCells(1, 1, space::Cell(requiredKB_));
  PlaceGrid->SetCells(0, 1, space::Cell(freeKB_));
  btnDalsi->SetEnabled(space::Enough(requiredKB_, freeKB_));
}

void TFileGroupSelectForm::BrowseBtnClick() {
  IInstallEngine* engine = CurrentEngine();
  TFileContainer* root = engine ? engine->EngineContainer() : nullptr;
  if (!root) return;
  auto dialog = std::make_unique<TOpenFolderDialog>(nullptr);
  const std::string start = destination();
  // The browser starts in the destination: a missing one is made for the time it is open.
  bool existed = !Trim(start).empty() && DirectoryExists(start);
  if (!existed) CreateDirectories(start);
  struct RemoveMade {
    bool made;
    std::string path;
    ~RemoveMade() {
      if (made) platform::removeDirectory(RemoveBackslash(path));
    }
  } removeMade{!existed, start};
  dialog->Directory = start;
  if (!dialog->Execute()) return;
  root->SetDestDirType(nullptr);
  root->SetDestDir(RemoveBackslash(dialog->Directory));
  DirectoryLabel->SetText(root->DestDir());
  fillSpace();
}

}  // namespace kestrune::dialogs
