// The main window's part in the update check: the timer, the settings
// dialog's Check for Update, and the hand-over to the updater.
#include <QTimer>

#include "app/engine.h"
#include "gui/f_shared_updater.h"
#include "gui/frm_main.h"
#include "shared/settings.h"
#include "update/install_handover.h"
#include "update/update_schedule.h"
#include "update/updater.h"

namespace pagorin {

namespace {

// LastUpdateCheck and DisableAutoUpdateCheck go to disk at once, so that the
// weekly rule holds across runs; not when the settings file could not be read.
void SaveUpdateKeys(Engine& engine) {
  if (!engine.AppSettingsFile.empty()) {
    SaveAppSettings(engine.AppSettings, engine.AppSettingsFile);
  }
}

}  // namespace

fSHAREDUpdater* frmMain::UpdaterWindow() {
  if (updater_window_ == nullptr) {
    updater_window_ = new fSHAREDUpdater(engine_.env, engine_.AppSettings, this);
    connect(updater_window_, &fSHAREDUpdater::InstallFile, this, &frmMain::InstallUpdate);
    connect(updater_window_, &QDialog::finished, this, [this] { SaveUpdateKeys(engine_); });
    updater_window_->updater().events.Finished = [this] { SaveUpdateKeys(engine_); };
  }
  return updater_window_;
}

void frmMain::SetForm_CheckForUpdate() {
  UpdaterWindow()->updater().ShowAndCheck(ReleaseFiles(engine_.AppSettings), "");
}

void frmMain::Timer3_Timer() {
  // A build stops the timer for good; a command still running skips it.
  if (!engine_.Timer3Enabled || busy_) {
    return;
  }
  engine_.Timer3Enabled = false;
  TimedUpdateCheck(engine_.env, engine_.AppSettings, UpdaterWindow()->updater(),
                   ReleaseFiles(engine_.AppSettings));
}

void frmMain::InstallUpdate() {
  if (HandOverToUpdater(engine_.env, UpdaterWindow()->updater().downloaded_file(), StartProgram)) {
    // The updater waits for this program to end.
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

}  // namespace pagorin
