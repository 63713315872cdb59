// The dialog manager: one per install moment (ManagerType). It answers the engine's
// component calls by running its wizard pages in a container window, feeding its
// during-copy forms, or showing the change-disk form. Also the registries of page and
// during-copy form classes, and FindDialogManager.
#pragma once
#include <memory>
#include <vector>

#include "translation/kstr_language.h"
#include "objects/cmp_TInstallContainer.h"
#include "platform/ui_canvas.h"

namespace kestrune {
class TFileStatusParameter;
class TDownloadStatusParameter;
}  // namespace kestrune

namespace kestrune::dialogs {

enum class TManagerType { dmBeforeInstall, dmAfterGoodInstall, dmAfterBadInstall, dmDuringCopyFiles, dmChangeDisk, dmReboot };
const EnumType& EnumTypeInfo(TManagerType);
enum class TKestruneDialogPosition {
  kdpCenterLeft, kdpCenter, kdpCenterRight, kdpBottomLeft, kdpBottomCenter, kdpBottomRight, kdpTopLeft, kdpTopCenter,
  kdpTopRight
};
const EnumType& EnumTypeInfo(TKestruneDialogPosition);

class TCustomBaseInstallDlg;
class TBaseInstallForm;
class TBaseDuringCopyForm;
class TBaseFormContainer;

// The top-left corner of a window of width w and height h placed at position with the
// offsets, on a screen of the given size whose windows have captions captionHeight high.
platform::ui::Point DialogPlacement(TKestruneDialogPosition position, int w, int h, int leftOffset, int topOffset,
                                    platform::ui::Size screen, int captionHeight);

class TDialogManager : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TDialogManager(TComponent* owner);
  ~TDialogManager() override;

  int32_t Height() const { return height_; }
  void SetHeight(int32_t v) { height_ = v; }
  int32_t Width() const { return width_; }
  void SetWidth(int32_t v) { width_ = v; }
  TManagerType ManagerType() const { return managerType_; }
  void SetManagerType(TManagerType v) { managerType_ = v; }
  TKestruneDialogPosition Position() const { return position_; }
  void SetPosition(TKestruneDialogPosition v) { position_ = v; }
  int32_t RelativeLeftOffset() const { return relativeLeftOffset_; }
  void SetRelativeLeftOffset(int32_t v) { relativeLeftOffset_ = v; }
  int32_t RelativeTopOffset() const { return relativeTopOffset_; }
  void SetRelativeTopOffset(int32_t v) { relativeTopOffset_ = v; }

  int RegisteredType() const override;
  void Notification(TComponent* component, TOperation operation) override;
  // Acts on the component calls of its own ManagerType (see the .cpp); others are ignored.
  void HandleMessage(TInstallContainer* sender, int componentCall, TPersistent* po) override;

  // Runs the page sequence modally; raises EAIUserAbort when the user cancelled. Shows
  // nothing when no page belongs to this manager.
  virtual void Execute();
  virtual void ShowChangeDiskForm(TPersistent* parameters);
  // Raises IException "Cannot add a NIL Dialog to the Dialog Manager %s" for null.
  virtual void AddDialog(TCustomBaseInstallDlg* dialog);
  virtual void RemoveDialog(TCustomBaseInstallDlg* dialog);
  const std::vector<TCustomBaseInstallDlg*>& Dialogs() const { return dialogs_; }

  // Creates the pages of the registered classes that belong here, in the container, and
  // sorts them by Order; returns their number.
  int LoadPages(TBaseFormContainer* container);

  // During-copy forms: opened by the first status message, closed (hidden) by -996.
  void UpdateDuringCopyForms(TFileStatusParameter* fileStatus, TDownloadStatusParameter* downloadStatus);
  void CreateDuringCopyForms();
  void CloseDuringCopyForms();
  const std::vector<TBaseDuringCopyForm*>& DuringCopyForms() const { return duringCopyForms_; }

 private:
  int32_t height_ = 395, width_ = 478;
  TManagerType managerType_ = TManagerType::dmBeforeInstall;
  TKestruneDialogPosition position_ = TKestruneDialogPosition::kdpCenter;
  int32_t relativeLeftOffset_ = 0, relativeTopOffset_ = 0;
  std::vector<TBaseDuringCopyForm*> duringCopyForms_;
  std::vector<TCustomBaseInstallDlg*> dialogs_;
};

// Registries of form classes. An entry holds a form class and an optional dialog.
struct TBIFEntry {
  const ClassInfo* FormClass = nullptr;
  TCustomBaseInstallDlg* Dialog = nullptr;
};
using TDCFEntry = TBIFEntry;

// Wizard pages (TBaseInstallForm descendants) and during-copy forms (TBaseDuringCopyForm
// descendants); each returns the new entry.
TBIFEntry* RegisterInstallForm(const ClassInfo& formClass, TCustomBaseInstallDlg* dialog);
TDCFEntry* RegisterDuringCopyForm(const ClassInfo& formClass, TCustomBaseInstallDlg* dialog);
// Change-disk forms (only the first is used); the kit itself registers none.
TBIFEntry* RegisterChangeDiskForm(const ClassInfo& formClass, TCustomBaseInstallDlg* dialog);
int InstallFormCount();
int DuringCopyFormCount();
// Raises "The BIFList is NIL" without a registry and "%d is an invalid index in the
// BIFList" for an index outside it.
TBIFEntry* GetInstallFormEntry(int index);
TDCFEntry* GetDuringCopyFormEntry(int index);
// Empties the registries (program end; tests).
void ReleaseFormRegistries();
// Forgets a dialog that goes, in every entry that names it.
void ForgetRegisteredDialog(TCustomBaseInstallDlg* dialog);

// The first dialog manager among the live install objects whose ManagerType is type and
// whose Container is the current engine; null when there is none.
TDialogManager* FindDialogManager(TManagerType type);
// The manager whose forms are being created or shown; null outside those moments.
TDialogManager* CurrentDialogManager();
void SetCurrentDialogManager(TDialogManager* manager);

}  // namespace kestrune::dialogs
