#include "gui/f_shared_updater.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/f_shared_proxy.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "shared/env.h"

namespace pagorin {

namespace {

// A stored colour value (red in the low byte, then green, then blue) as a
// style sheet colour.
QString StyleColour(int value) {
  return QString("color: rgb(%1, %2, %3);")
      .arg(value & 0xff)
      .arg((value >> 8) & 0xff)
      .arg((value >> 16) & 0xff);
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

fSHAREDUpdater::fSHAREDUpdater(Env& env, cSHAREDSettings& app_settings, QWidget* parent)
    : QDialog(parent), env_(env), app_settings_(app_settings), updater_(env, app_settings) {
  setObjectName("fSHAREDUpdater");
  setWindowTitle("Pagorin Updater");
  auto* layout = new QVBoxLayout(this);

  lblProgram_ = Named(new QLabel(this), "lblProgram");
  QFont heading = lblProgram_->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.25);
  lblProgram_->setFont(heading);
  lblUpdate_ = Named(new QLabel(this), "lblUpdate");
  QFont result = lblUpdate_->font();
  result.setBold(true);
  lblUpdate_->setFont(result);
  lblStatus_ = Named(new QLabel(this), "lblStatus");
  lblStatus_->setWordWrap(true);
  lblStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  progress_ = Named(new QProgressBar(this), "progress");
  progress_->setVisible(false);
  txtDetails_ = Named(new QPlainTextEdit(this), "txtDetails");
  txtDetails_->setReadOnly(true);
  txtDetails_->setPlaceholderText("Press Show Details to see what the new version brings.");
  layout->addWidget(lblProgram_);
  layout->addWidget(lblUpdate_);
  layout->addWidget(lblStatus_);
  layout->addWidget(progress_);
  layout->addWidget(txtDetails_, 1);

  auto* buttons = new QGridLayout;
  cmdCheckAgain_ = Button(this, "cmdCheckAgain", "Check Again");
  cmdShowDetail_ = Button(this, "cmdShowDetail", "Show Details");
  cmdDownload_ = Button(this, "cmdDownload", "Download");
  cmdDownload_->setToolTip("Download the new version and keep it");
  cmdDownloadInstall_ = Button(this, "cmdDownloadInstall", "Download and Install");
  cmdProxy_ = Button(this, "cmdProxy", "Proxy Setup");
  cmdStop_ = Button(this, "cmdStop", "Stop");
  cmdExit_ = Button(this, "cmdExit", "Exit");
  buttons->addWidget(cmdCheckAgain_, 0, 0);
  buttons->addWidget(cmdShowDetail_, 0, 1);
  buttons->addWidget(cmdProxy_, 0, 2);
  buttons->addWidget(cmdDownload_, 1, 0);
  buttons->addWidget(cmdDownloadInstall_, 1, 1);
  buttons->addWidget(cmdStop_, 1, 2);
  layout->addLayout(buttons);
  auto* bottom = new QHBoxLayout;
  chkDisableAutoUpdate_ =
      Named(new QCheckBox("Don't check for updates automatically", this), "chkDisableAutoUpdate");
  bottom->addWidget(chkDisableAutoUpdate_, 1);
  bottom->addWidget(cmdExit_);
  layout->addLayout(bottom);

  connect(cmdCheckAgain_, &QPushButton::clicked, this, [this] { updater_.CheckAgain(); });
  connect(cmdShowDetail_, &QPushButton::clicked, this, &fSHAREDUpdater::cmdShowDetail);
  connect(cmdDownload_, &QPushButton::clicked, this, [this] { cmdDownload(false); });
  connect(cmdDownloadInstall_, &QPushButton::clicked, this, [this] { cmdDownload(true); });
  connect(cmdProxy_, &QPushButton::clicked, this, &fSHAREDUpdater::cmdProxy);
  connect(cmdStop_, &QPushButton::clicked, this, [this] { updater_.StopAll(); });
  connect(cmdExit_, &QPushButton::clicked, this, &QDialog::reject);

  updater_.events.changed = [this] { ShowView(); };
  updater_.events.show = [this](bool modal) {
    if (!modal) {
      show();
      raise();
      return;
    }
    // The check finishes first; then the window waits for the person.
    QMetaObject::invokeMethod(
        this, [this] { exec(); }, Qt::QueuedConnection);
  };
  updater_.events.InstallFile = [this] {
    hide();
    emit InstallFile();
  };
  chkDisableAutoUpdate_->setChecked(shown_switch_);
  ShowView();
  resize(520, 420);
}

void fSHAREDUpdater::ShowView() {
  const UpdaterView& view = updater_.view();
  lblProgram_->setText(ToQt(view.lblProgram));
  lblUpdate_->setText(ToQt(view.lblUpdate));
  lblUpdate_->setStyleSheet(StyleColour(view.lblUpdateColour));
  lblStatus_->setText(ToQt(view.lblStatus));
  // The box keeps lines apart with LF alone.
  const QString details = ToQt(view.txtDetails).remove('\r');
  if (txtDetails_->toPlainText() != details) {
    txtDetails_->setPlainText(details);
  }
  // The box follows the stored switch when a check reads it, and the person
  // in between.
  if (view.chkDisableAutoUpdate != shown_switch_) {
    shown_switch_ = view.chkDisableAutoUpdate;
    chkDisableAutoUpdate_->setChecked(shown_switch_);
  }
  if (transferring_) {
    progress_->setRange(0, view.download_size > 0 ? 1000 : 0);
    if (view.download_size > 0) {
      progress_->setValue(static_cast<int>(1000 * view.downloaded / view.download_size));
    }
  }
  cmdCheckAgain_->setEnabled(view.checks_enabled && !transferring_);
  cmdShowDetail_->setEnabled(view.checks_enabled && !transferring_);
  cmdDownload_->setEnabled(view.downloads_enabled && !transferring_);
  cmdDownloadInstall_->setEnabled(view.downloads_enabled && !transferring_);
  cmdProxy_->setEnabled(!transferring_);
  cmdStop_->setEnabled(transferring_);
}

void fSHAREDUpdater::cmdShowDetail() {
  Transferring(true);
  updater_.ShowDetail();
  Transferring(false);
}

void fSHAREDUpdater::cmdDownload(bool install) {
  Transferring(true);
  progress_->setVisible(true);
  if (install) {
    updater_.DownloadAndInstall(env_.paths.data_dir);
  } else {
    updater_.Download(env_.paths.data_dir);
  }
  progress_->setVisible(false);
  Transferring(false);
}

void fSHAREDUpdater::cmdProxy() {
  fSHAREDProxy dialog(env_, app_settings_, this);
  dialog.exec();
}

void fSHAREDUpdater::Transferring(bool running) {
  transferring_ = running;
  ShowView();
  if (!running && close_requested_) {
    close_requested_ = false;
    reject();
  }
}

void fSHAREDUpdater::done(int result) {
  if (transferring_) {
    // Closing while a transfer runs stops it; the window closes once it has.
    close_requested_ = true;
    updater_.StopAll();
    return;
  }
  updater_.FormClosed(chkDisableAutoUpdate_->isChecked());
  QDialog::done(result);
}

}  // namespace pagorin
