// The updater window: the program's version, whether a newer release is
// published, its details, and its download with the hand-over to install it.
#pragma once

#include <QDialog>

#include "update/updater.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pagorin {

class cSHAREDSettings;
struct Env;

// Holds the run's one Updater and shows its view. The check decides when
// the window shows; closing it (Exit, the close box) stores the check box
// as DisableAutoUpdateCheck. Downloads go to the program's data folder. Both
// references must outlive the window.
class fSHAREDUpdater final : public QDialog {
  Q_OBJECT

 public:
  fSHAREDUpdater(Env& env, cSHAREDSettings& app_settings, QWidget* parent = nullptr);

  Updater& updater() { return updater_; }

 signals:
  // Download and Install, answered Yes: the window has hidden itself and the
  // download waits in updater().downloaded_file().
  void InstallFile();

 protected:
  void done(int result) override;

 private:
  void ShowView();
  void cmdShowDetail();
  void cmdDownload(bool install);
  void cmdProxy();
  // Keeps the buttons still while a transfer runs; Stop stays usable.
  void Transferring(bool running);

  Env& env_;
  cSHAREDSettings& app_settings_;
  Updater updater_;
  bool transferring_ = false;
  bool close_requested_ = false;
  bool shown_switch_ = true;
  QLabel* lblProgram_ = nullptr;
  QLabel* lblUpdate_ = nullptr;
  QLabel* lblStatus_ = nullptr;
  QPlainTextEdit* txtDetails_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* cmdCheckAgain_ = nullptr;
  QPushButton* cmdShowDetail_ = nullptr;
  QPushButton* cmdDownload_ = nullptr;
  QPushButton* cmdDownloadInstall_ = nullptr;
  QPushButton* cmdProxy_ = nullptr;
  QPushButton* cmdStop_ = nullptr;
  QPushButton* cmdExit_ = nullptr;
  QCheckBox* chkDisableAutoUpdate_ = nullptr;
};

}  // namespace pagorin
