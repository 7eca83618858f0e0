// The main window's commands: each hands over to the engine.
#include "app/build_driver.h"
#include "app/engine.h"
#include "app/project.h"
#include "app/project_commands.h"
#include "app/project_paths.h"
#include "app/template_commands.h"
#include "gui/frm_check_report.h"
#include "gui/frm_content_creator.h"
#include "gui/frm_editor.h"
#include "gui/frm_main.h"
#include "gui/frm_settings.h"
#include "gui/qt_ui.h"
#include "news/content_creator.h"
#include "shared/log.h"
#include "shared/progress.h"
#include "tools/site_check.h"

namespace pagorin {

void frmMain::cmdGo(int index) {
  Run([this, index] {
    if (BuildPages(engine_, /*selected_only=*/index == 0) && CheckAfterBuildWanted(engine_)) {
      frmCheckReport dialog(CheckSite(engine_), this);
      dialog.exec();
    }
  });
}

void frmMain::cmdPreview() {
  Run([this] { pagorin::cmdPreview(engine_); });
}

void frmMain::cmdSetExt() {
  Run([this] { pagorin::cmdSetExt(engine_); });
}

void frmMain::cmdClearExt() {
  Run([this] { pagorin::cmdClearExt(engine_); });
}

void frmMain::cmdHelp() {
  Run([this] { pagorin::cmdHelp(engine_); });
}

void frmMain::mnuNewProject() {
  Run([this] {
    pagorin::mnuNewProject(engine_,
                           [this](const std::string&) { return EditProjectSettingsDialog(); });
  });
}

void frmMain::mnuOpenProject() {
  Run([this] { pagorin::mnuOpenProject(engine_); });
}

void frmMain::mnuSaveProject() {
  Run([this] { pagorin::mnuSaveProject(engine_); });
}

void frmMain::mnuSaveProjectAs() {
  Run([this] { pagorin::mnuSaveProjectAs(engine_); });
}

void frmMain::mnuSettings() {
  Run([this] {
    pagorin::mnuSettings(engine_,
                         [this](const std::string&) { return EditProjectSettingsDialog(); });
  });
}

void frmMain::mnuRescan() {
  Run([this] { pagorin::mnuRescan(engine_); });
}

void frmMain::mnuNewTemplate() {
  Run([this] { pagorin::mnuNewTemplate(engine_); });
}

void frmMain::mnuCopyTemplate() {
  Run([this] { pagorin::mnuCopyTemplate(engine_); });
}

void frmMain::mnuCSS(int index) {
  Run([this, index] { OpenCssFile(engine_, index); });
}

void frmMain::mnuContentCreator() {
  Run([this] {
    {
      frmContentCreator dialog(engine_, this);
      dialog.exec();
    }
    ContentCreatorClosed(engine_);
  });
}

void frmMain::mnuAbout() {
  Run([this] {
    engine_.env.ui.ShowMessage("Pagorin " + AppVersion() +
                                   "\r\n\r\nA desktop website generator: templates and "
                                   "includes in, finished pages out.",
                               Buttons::kOk, "About Pagorin", Icon::kInformation);
  });
}

void frmMain::ListView1_DblClick() {
  Run([this] { EditSelectedTemplate(); });
}

void frmMain::EditSelectedTemplate() {
  const int selected = engine_.ListView1.FirstSelected();
  if (selected < 0) {
    return;
  }
  frmEditor editor(engine_, this);
  editor.LoadFile(TemplatesDir(engine_) + engine_.ListView1.at(selected).tag);
  editor.exec();
}

void frmMain::Timer1_Timer() {
  if (busy_ || !engine_.Timer1Enabled) {
    return;
  }
  Timer1Tick(engine_);
  ShowControls();
}

bool frmMain::EditProjectSettingsDialog() {
  frmSettings dialog(engine_, ui_, this);
  connect(&dialog, &frmSettings::CheckForUpdate, this, &frmMain::SetForm_CheckForUpdate);
  dialog.exec();
  return !dialog.Cancelled();
}

}  // namespace pagorin
