// The main window's keyword and site tools: each hands over to the engine.
#include <QCheckBox>

#include "app/engine.h"
#include "gui/frm_check_report.h"
#include "gui/frm_main.h"
#include "gui/frm_replace.h"
#include "tools/copy_renumber.h"
#include "tools/keyword_tools.h"
#include "tools/link_titles.h"
#include "tools/site_check.h"

namespace pagorin {

void frmMain::ListView1_Click() {
  Run([this] { ShowDesc(engine_); });
}

void frmMain::cmdSuggest() {
  Run([this] { pagorin::cmdSuggest(engine_); });
}

void frmMain::cmdSetKwd() {
  const bool rename = chkRename_->isChecked();
  Run([this, rename] { cmdSetKwd_Click(engine_, rename); });
}

void frmMain::cmdCopyRenum() {
  Run([this] { pagorin::cmdCopyRenum(engine_); });
}

void frmMain::mnuTidyMeta() {
  Run([this] { pagorin::mnuTidyMeta(engine_); });
}

void frmMain::mnuAddTitlesToLinks() {
  Run([this] { pagorin::mnuAddTitlesToLinks(engine_); });
}

void frmMain::mnuReplace() {
  Run([this] {
    frmReplace dialog(engine_, ui_, this);
    dialog.exec();
  });
}

void frmMain::mnuCheckSite() {
  Run([this] {
    frmCheckReport dialog(CheckSite(engine_), this);
    dialog.exec();
  });
}

}  // namespace pagorin
