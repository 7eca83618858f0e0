// The main window's publishing commands: each hands over to the upload
// driver. Stop is the one control that works while an upload runs.
#include <QCheckBox>
#include <QPushButton>

#include "app/engine.h"
#include "gui/frm_main.h"
#include "gui/status_strip.h"
#include "publish/upload_driver.h"

namespace pagorin {

void frmMain::cmdUpload(int index) {
  UploadOptions options;
  options.changed_only = chkChangedOnly_->isChecked();
  options.with_files = chkWithFiles_->isChecked();
  Run([this, index, options] { cmdUpload_Click(engine_, index, options); });
}

void frmMain::cmdStopUpload() {
  cmdStopUpload_Click(engine_);
}

void frmMain::mnuUploadPicked() {
  Run([this] { UploadPickedFile(engine_, /*binary=*/false); });
}

void frmMain::mnuUploadBinary() {
  Run([this] { UploadPickedFile(engine_, /*binary=*/true); });
}

void frmMain::ShowUploadControls(bool uploading) {
  cmdUpload_[1]->setVisible(!uploading);
  cmdStopUpload_->setVisible(uploading);
  cmdStopUpload_->setEnabled(uploading);
  picUploadStatus_->setVisible(uploading);
}

}  // namespace pagorin
