// The copy progress form.
#include "dialogs/ordlg_CopyFileDlg.h"

#include "dialogs/form_layouts.h"
#include "objects/file_status_parameter.h"
#include "runtime/published.h"

namespace kestrune::dialogs {

const ClassInfo& TCopyFileForm::classInfo() {
  static const ClassInfo info{"TCopyFileForm", &TBaseDuringCopyForm::classInfo(), create<TCopyFileForm>, {}};
  return info;
}

TCopyFileForm::TCopyFileForm(TComponent* owner) : TBaseDuringCopyForm(owner) {
  DeclareField("UnZipImage", UnZipImage);
  DeclareField("TransferBitmap", TransferBitmap);
  DeclareField("CancelBtn", CancelBtn);
  DeclareField("lblCopyFileHeader", lblCopyFileHeader);
  DeclareField("lblCopyingFile", lblCopyingFile);
  DeclareField("ProgressBar1", ProgressBar1);
  DeclareField("ProgressBar2", ProgressBar2);
  ReadFormStream(layouts::TCopyFileForm());
  SetDM(FindDialogManager(TManagerType::dmDuringCopyFiles));
  CancelBtn->OnClick = [this](TComponent*) { CancelCopy(); };
}

void TCopyFileForm::UpdateStatus(TFileStatusParameter* fileStatus, TDownloadStatusParameter* downloadStatus) {
  if (fileStatus) {
    TransferBitmap->SetVisible(false);
    UnZipImage->SetVisible(true);
    ProgressBar2->SetPosition(fileStatus->TotalPercentDone);
    ProgressBar1->SetPosition(fileStatus->Status.Finished ? 100 : fileStatus->FilePercentDone);
    lblCopyingFile->SetCaption(fileStatus->FileName);
  } else if (downloadStatus) {
    TransferBitmap->SetVisible(true);
    // The two pictures share one place: the transfer picture alone while downloading.
    UnZipImage->SetVisible(false);
    ProgressBar1->SetPosition(downloadStatus->PercentDone);
    lblCopyingFile->SetCaption(downloadStatus->FileName);
  }
  Repaint();
}

}  // namespace kestrune::dialogs
