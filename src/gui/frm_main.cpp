#include "gui/frm_main.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <exception>

#include "app/build_driver.h"
#include "app/engine.h"
#include "app/project_commands.h"
#include "app/project_paths.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/status_strip.h"
#include "gui/widgets.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "update/update_schedule.h"

namespace pagorin {

namespace {

constexpr int kTimer1Interval = 500;  // milliseconds

}  // namespace

frmMain::frmMain(Engine& engine, QtUi& ui, QWidget* parent)
    : QMainWindow(parent), engine_(engine), ui_(ui) {
  setObjectName("frmMain");
  BuildMenus();
  setCentralWidget(BuildCentre());
  lblServing_ = Named(new QLabel(this), "lblServing");
  statusBar()->addWidget(lblServing_, 1);
  Timer1_ = Named(new QTimer(this), "Timer1");
  Timer1_->setInterval(kTimer1Interval);
  connect(Timer1_, &QTimer::timeout, this, &frmMain::Timer1_Timer);
  Timer3_ = Named(new QTimer(this), "Timer3");
  Timer3_->setSingleShot(true);
  Timer3_->setInterval(kUpdateTimerMs);
  connect(Timer3_, &QTimer::timeout, this, &frmMain::Timer3_Timer);
  engine_.Timer3Enabled = true;
  Timer3_->start();

  ui_.SetDialogParent(this);
  ui_.SetStatusStrip(StatusStrip::kMain, picStatus_);
  ui_.SetStatusStrip(StatusStrip::kUpload, picUploadStatus_);
  ui_.SetControlsHandler([this](bool enabled) { LockControls(!enabled); });
  resize(1120, 720);
  ShowEngineState();
}

frmMain::~frmMain() {
  StopLivePreview();
  ui_.SetControlsHandler(nullptr);
}

void frmMain::ShowEngineState() {
  const Charset charset = ProjectCharset(engine_.ProjectSettings);
  const MainTexts& texts = engine_.texts;
  txtTitle_->setText(FromProjectText(texts.txtTitle, charset));
  txtExt_->setText(ToQt(texts.txtExt));
  txtKeywords_->setText(FromProjectText(texts.txtKeywords, charset));
  txtSuggested_->setText(FromProjectText(texts.txtSuggested, charset));
  txtDesc_->setText(FromProjectText(texts.txtDesc, charset));
  ShowList();
  // The live preview serves the project it started with, only while open.
  if (!engine_.ProjectLoaded || engine_.ProjectFile != served_project_) {
    StopLivePreview();
  }
  ShowControls();
  ShowCssMenu();

  const QString dash = QString::fromUtf8(" \xe2\x80\x94 ");
  if (engine_.ProjectLoaded) {
    setWindowTitle(ToQt(filewithoutext(fileonly(engine_.ProjectFile))) + dash + "Pagorin");
    const std::string folder = GetProjectPath(engine_);
    const bool present = !folder.empty() && FileSubs(engine_.env).FolderExists(folder);
    lblSiteFolder_->setText(ToQt(folder.empty() ? std::string("(the current folder)") : folder) +
                            (present ? QString() : dash + "this folder does not exist"));
  } else {
    setWindowTitle("Pagorin");
    lblSiteFolder_->setText("No project is open: use File, Open Project or New Project.");
  }
  if (engine_.Timer1Enabled && !Timer1_->isActive()) {
    Timer1_->start();
  } else if (!engine_.Timer1Enabled) {
    Timer1_->stop();
  }
}

bool frmMain::GenerateAll() {
  bool completed = false;
  Run([this, &completed] { completed = BuildPages(engine_, /*selected_only=*/false); });
  return completed;
}

void frmMain::PullTexts() {
  engine_.texts.txtTitle = EditedProjectText(txtTitle_->text(), engine_.texts.txtTitle,
                                             ProjectCharset(engine_.ProjectSettings));
  engine_.texts.txtExt = FromQt(txtExt_->text());
  engine_.texts.txtSuggested =
      ToProjectText(txtSuggested_->text(), ProjectCharset(engine_.ProjectSettings));
}

void frmMain::ShowList() {
  showing_ = true;
  ListView1_->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(engine_.ListView1.count());
  for (const TemplateEntry& entry : engine_.ListView1.entries()) {
    items.append(new QTreeWidgetItem(QStringList{
        ToQt(entry.text), ToQt(entry.tag), ToQt(fileonly(BuildWebFilename(engine_, entry.tag)))}));
  }
  ListView1_->addTopLevelItems(items);
  QTreeWidgetItem* first_selected = nullptr;
  for (int i = 0; i < engine_.ListView1.count(); ++i) {
    if (engine_.ListView1.IsSelected(i)) {
      items[i]->setSelected(true);
      first_selected = first_selected != nullptr ? first_selected : items[i];
    }
  }
  if (first_selected != nullptr) {
    ListView1_->setCurrentItem(first_selected, 0, QItemSelectionModel::NoUpdate);
    ListView1_->scrollToItem(first_selected);
  }
  showing_ = false;
}

void frmMain::ShowControls() {
  const MainControls& controls = engine_.controls;
  cmdGo_[0]->setEnabled(controls.go_selected);
  cmdGo_[1]->setEnabled(controls.go_all);
  cmdPreview_->setEnabled(controls.preview);
  cmdSetExt_->setEnabled(controls.set_ext);
  cmdClearExt_->setEnabled(controls.clear_ext);
  cmdUpload_[0]->setEnabled(controls.upload_selected);
  cmdUpload_[1]->setEnabled(controls.upload_all);
  cmdSuggest_->setEnabled(controls.suggest);
  cmdSetKwd_->setEnabled(controls.set_kwd);
  chkRename_->setEnabled(controls.rename);
  mnuTools_->menuAction()->setEnabled(controls.project_menus);
  mnuSaveProject_->setEnabled(controls.project_menus);
  mnuSaveProjectAs_->setEnabled(controls.project_menus);
  mnuContentCreator_->setEnabled(controls.project_menus);
  ShowLivePreviewState();
}

void frmMain::ShowCssMenu() {
  mnuCSSFiles_->clear();
  for (int i = 0; i < static_cast<int>(engine_.css_files.size()); ++i) {
    QAction* entry =
        Named(mnuCSSFiles_->addAction(ToQt(engine_.css_files[i])), ArrayName("mnuCSS", i));
    connect(entry, &QAction::triggered, this, [this, i] { mnuCSS(i); });
  }
  mnuCSSFiles_->menuAction()->setVisible(!engine_.css_files.empty());
}

void frmMain::TakeSelection() {
  if (showing_) {
    return;
  }
  for (int i = 0; i < ListView1_->topLevelItemCount() && i < engine_.ListView1.count(); ++i) {
    engine_.ListView1.SetSelected(i, ListView1_->topLevelItem(i)->isSelected());
  }
}

void frmMain::LockControls(bool locked) {
  for (QWidget* control : centralWidget()->findChildren<QWidget*>()) {
    if (qobject_cast<QAbstractButton*>(control) != nullptr ||
        qobject_cast<QLineEdit*>(control) != nullptr ||
        qobject_cast<QComboBox*>(control) != nullptr ||
        qobject_cast<QAbstractItemView*>(control) != nullptr) {
      control->setEnabled(!locked && !ComesLater(control));
    }
  }
  menuBar()->setEnabled(!locked);
  ShowUploadControls(locked && engine_.upload.running);
  if (!locked) {
    ShowControls();
  }
}

bool frmMain::Run(const std::function<void()>& command) {
  if (busy_ || ended_) {
    return false;
  }
  busy_ = true;
  PullTexts();
  try {
    command();
  } catch (const std::exception& failure) {
    engine_.env.log.LogError(std::string(failure.what()) + "(0)", "Run", "frmMain");
  }
  busy_ = false;
  ShowEngineState();
  return true;
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();  // a build or a dialog is still running
    return;
  }
  StopLivePreview();
  if (!ended_) {
    Run([this] { ProgramEnd(engine_); });
    ended_ = true;
  }
  Timer1_->stop();
  event->accept();
}

}  // namespace pagorin
