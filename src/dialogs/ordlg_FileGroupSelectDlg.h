// The component and destination page: what will be installed, where to (with a browse
// button), and the free and the needed disk space; "Další" only with room to spare.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/ordlg_BaseForms.h"
#include "ui/cmp_TTranslateControls.h"
#include "ui/grids.h"

namespace kestrune {
class TFileContainer;
}

namespace kestrune::dialogs {

// The page's space rules, in KB (1024 bytes, truncated toward zero).
namespace space {
int64_t KiloBytes(int64_t bytes);
// More than 1000 KB beyond the need, and at least 1 KB needed.
bool Enough(int64_t requiredKB, int64_t freeKB);
// A grid cell: the number, five blanks, "KB".
std::string Cell(int64_t kb);
}  // namespace space

class TFileGroupSelectForm : public TBaseInstallForm {
  KESTRUNE_CLASS()
 public:
  explicit TFileGroupSelectForm(TComponent* owner);

  ui::TLabel *Label3 = nullptr, *lblDiskA = nullptr;
  ui::TTranslateLabel* Label6 = nullptr;
  ui::TGroupBox* DirectoryGroupBox = nullptr;
  ui::TEdit* DirectoryLabel = nullptr;
  ui::TTranslateBitBtn *BrowseBtn = nullptr, *btnZpet = nullptr, *btnDalsi = nullptr, *btnStorno = nullptr;
  ui::TStringGrid* PlaceGrid = nullptr;
  ui::TImage* ThemeBitmap = nullptr;

  // Free space of the volume that holds the directory, in bytes; nothing when the system
  // cannot tell. Replaceable for tests.
  static std::function<std::optional<uint64_t>(const std::string& directory)> FreeSpaceProbe;
  // Asks whether to go on without knowing the free space; returns the modal result.
  // Replaceable for tests.
  static std::function<int(const std::string& question)> AskUnknownSpace;

  void PrepareForm() override;
  void ActivatePage() override;
  bool SkipPage() const override { return false; }

  void FormCreate();
  // Fills the destination, the space figures and what is installed.
  void FormActivate();
  void BrowseBtnClick();

  int64_t FreeSpaceKB() const { return freeKB_; }
  int64_t RequiredKB() const { return requiredKB_; }

  // A script of another product: its optional groups, each a tick box (its Include) with
  // its size, in a box made by the page; none for the demo's script.
  ui::TGroupBox* GroupsBox = nullptr;
  struct GroupChoice {
    TFileContainer* group;
    ui::TCheckBox* box;
    ui::TLabel* size;
  };
  const std::vector<GroupChoice>& GroupChoices() const { return choices_; }

 private:
  void fillSpace();
  void makeGroupChoices();
  void fillGroupChoices();
  // The destination as shown: the demo's page shows the engine's DestDir as it is, any
  // other script's the resolved folder.
  std::string destination() const;
  std::vector<GroupChoice> choices_;
  bool demo_ = true;
  int64_t freeKB_ = 0, requiredKB_ = 0;
  bool unknownSpaceAccepted_ = false;
};

}  // namespace kestrune::dialogs
