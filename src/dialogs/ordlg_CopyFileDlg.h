// The copy progress form: the current file or download and two progress bars, shown
// modeless while files are copied.
#pragma once
#include "dialogs/ordlg_BaseForms.h"
#include "ui/cmp_TTranslateControls.h"

namespace kestrune::dialogs {

class TCopyFileForm : public TBaseDuringCopyForm {
  KESTRUNE_CLASS()
 public:
  explicit TCopyFileForm(TComponent* owner);

  ui::TImage *UnZipImage = nullptr, *TransferBitmap = nullptr;
  ui::TTranslateBitBtn* CancelBtn = nullptr;
  ui::TTranslateLabel* lblCopyFileHeader = nullptr;
  ui::TLabel* lblCopyingFile = nullptr;
  ui::TProgressBar *ProgressBar1 = nullptr, *ProgressBar2 = nullptr;

  // A file status moves both bars and hides the transfer picture; a download status shows
  // it and moves only the file bar.
  void UpdateStatus(TFileStatusParameter* fileStatus, TDownloadStatusParameter* downloadStatus) override;
};

}  // namespace kestrune::dialogs
