// The main window's controls and menus, and where they sit.
#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/engine.h"
#include "gui/frm_main.h"
#include "gui/status_strip.h"
#include "gui/widgets.h"
#include "shared/help.h"

namespace pagorin {

namespace {

// The client connects in active mode unless the project asks for passive
// mode, which most home routers need.
const char* const kUploadTip =
    "Tick or untick 'Passive FTP' in the project settings (File, Settings) to suit your "
    "network first.";

QAction* MenuEntry(QMenu* menu, const QString& name, const QString& caption,
                   const QKeySequence& shortcut = {}) {
  QAction* action = Named(menu->addAction(caption), name);
  action->setShortcut(shortcut);
  return action;
}

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setAutoDefault(false);
  return button;
}

QGroupBox* Group(const QString& title, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setFlat(false);
  return group;
}

}  // namespace

void frmMain::BuildMenus() {
  QMenu* file = Named(menuBar()->addMenu("&File"), "mnuFile");
  QAction* new_project = MenuEntry(file, "mnuNewProject", "&New Project", QKeySequence::New);
  QAction* open_project = MenuEntry(file, "mnuOpenProject", "&Open Project...", QKeySequence::Open);
  mnuSaveProject_ = MenuEntry(file, "mnuSaveProject", "&Save Project", QKeySequence::Save);
  mnuSaveProjectAs_ =
      MenuEntry(file, "mnuSaveProjectAs", "Save Project &As ...", QKeySequence("Ctrl+Shift+S"));
  file->addSeparator();
  QAction* settings = MenuEntry(file, "mnuSettings", "Se&ttings...", QKeySequence("Ctrl+,"));
  file->addSeparator();
  QAction* quit = MenuEntry(file, "mnuQuit", "&Quit", QKeySequence::Quit);
  connect(new_project, &QAction::triggered, this, &frmMain::mnuNewProject);
  connect(open_project, &QAction::triggered, this, &frmMain::mnuOpenProject);
  connect(mnuSaveProject_, &QAction::triggered, this, &frmMain::mnuSaveProject);
  connect(mnuSaveProjectAs_, &QAction::triggered, this, &frmMain::mnuSaveProjectAs);
  connect(settings, &QAction::triggered, this, &frmMain::mnuSettings);
  connect(quit, &QAction::triggered, this, &QWidget::close);

  QMenu* templates = Named(menuBar()->addMenu("T&emplate"), "mnuTemplate");
  QAction* add_new = MenuEntry(templates, "mnuNewTemplate", "&Add New...");
  QAction* copy = MenuEntry(templates, "mnuCopyTemplate", "&Copy Selected...");
  templates->addSeparator();
  QAction* rescan = MenuEntry(templates, "mnuRescan", "&Rescan", QKeySequence("Ctrl+R"));
  connect(add_new, &QAction::triggered, this, &frmMain::mnuNewTemplate);
  connect(copy, &QAction::triggered, this, &frmMain::mnuCopyTemplate);
  connect(rescan, &QAction::triggered, this, &frmMain::mnuRescan);

  mnuCSSFiles_ = Named(menuBar()->addMenu("&CSS Files"), "mnuCSSFiles");
  mnuCSSFiles_->menuAction()->setVisible(false);

  mnuTools_ = Named(menuBar()->addMenu("&Tools"), "mnuTools");
  mnuTools_->setToolTipsVisible(true);
  mnuContentCreator_ =
      MenuEntry(mnuTools_, "mnuContentCreator", "&Content Creator...", QKeySequence("Ctrl+K"));
  connect(mnuContentCreator_, &QAction::triggered, this, &frmMain::mnuContentCreator);
  mnuTools_->addSeparator();
  QAction* replace = MenuEntry(mnuTools_, "mnuReplace", "Search and Replace...");
  QAction* link_titles = MenuEntry(mnuTools_, "mnuAddTitlesToLinks", "Add Titles to Links");
  QAction* tidy_meta = MenuEntry(mnuTools_, "mnuTidyMeta", "Tidy META Keywords");
  connect(replace, &QAction::triggered, this, &frmMain::mnuReplace);
  connect(link_titles, &QAction::triggered, this, &frmMain::mnuAddTitlesToLinks);
  connect(tidy_meta, &QAction::triggered, this, &frmMain::mnuTidyMeta);
  QAction* check_site = MenuEntry(mnuTools_, "mnuCheckSite", "Check Site");
  connect(check_site, &QAction::triggered, this, &frmMain::mnuCheckSite);
  mnuTools_->addSeparator();
  QAction* upload_picked = MenuEntry(mnuTools_, "mnuUploadPicked", "Upload ascii file...");
  QAction* upload_binary = MenuEntry(mnuTools_, "mnuUploadBinary", "Upload binary file...");
  connect(upload_picked, &QAction::triggered, this, &frmMain::mnuUploadPicked);
  connect(upload_binary, &QAction::triggered, this, &frmMain::mnuUploadBinary);

  QMenu* help = Named(menuBar()->addMenu("&Help"), "mnuHelp");
  QAction* contents = MenuEntry(help, "mnuHelpContents", "&Contents", QKeySequence::HelpContents);
  QAction* about = MenuEntry(help, "mnuAbout", "&About Pagorin");
  connect(contents, &QAction::triggered, this, [this] { Run([this] { ShowHelp(engine_.env); }); });
  connect(about, &QAction::triggered, this, &frmMain::mnuAbout);
}

QWidget* frmMain::BuildCentre() {
  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);

  auto* heading = new QGridLayout;
  txtTitle_ = Named(new QLineEdit(centre), "txtTitle");
  txtTitle_->setToolTip("The site's title, saved with the project");
  lblSiteFolder_ = Named(new QLabel(centre), "lblSiteFolder");
  lblSiteFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  heading->addWidget(new QLabel("Project title:", centre), 0, 0);
  heading->addWidget(txtTitle_, 0, 1);
  heading->addWidget(new QLabel("Site folder:", centre), 1, 0);
  heading->addWidget(lblSiteFolder_, 1, 1);
  heading->setColumnStretch(1, 1);
  layout->addLayout(heading);

  auto* body = new QHBoxLayout;
  body->addWidget(BuildTemplateArea(), 1);
  body->addWidget(BuildCommandColumn());
  layout->addLayout(body, 1);

  picStatus_ = Named(new StatusStripWidget(centre), "picStatus");
  layout->addWidget(picStatus_);
  return centre;
}

QWidget* frmMain::BuildTemplateArea() {
  auto* group = Group("Templates", this);
  auto* layout = new QVBoxLayout(group);
  ListView1_ = Named(new QTreeWidget(group), "ListView1");
  ListView1_->setColumnCount(3);
  ListView1_->setHeaderLabels({"Template", "Source file", "Output page"});
  ListView1_->setRootIsDecorated(false);
  ListView1_->setUniformRowHeights(true);
  ListView1_->setAlternatingRowColors(true);
  ListView1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1_->setToolTip("Select the templates to build; double-click one to edit it");
  ListView1_->header()->setSectionResizeMode(QHeaderView::Stretch);
  layout->addWidget(ListView1_, 1);

  auto* extension = new QHBoxLayout;
  txtExt_ = Named(new QLineEdit(group), "txtExt");
  txtExt_->setPlaceholderText(".php");
  txtExt_->setMaximumWidth(fontMetrics().horizontalAdvance("M") * 10);
  cmdSetExt_ = Button("cmdSetExt", "Set", group);
  cmdSetExt_->setToolTip("Set the compiled file extension for all selected templates");
  cmdClearExt_ = Button("cmdClearExt", "Clear", group);
  cmdClearExt_->setToolTip("Reset selected templates to default file extension");
  extension->addWidget(new QLabel("Output extension:", group));
  extension->addWidget(txtExt_);
  extension->addWidget(cmdSetExt_);
  extension->addWidget(cmdClearExt_);
  extension->addStretch(1);
  layout->addLayout(extension);

  connect(ListView1_, &QTreeWidget::itemSelectionChanged, this, &frmMain::TakeSelection);
  connect(ListView1_, &QTreeWidget::itemDoubleClicked, this, &frmMain::ListView1_DblClick);
  // Queued: the click's handler refills the list it came from.
  connect(ListView1_, &QTreeWidget::itemClicked, this, &frmMain::ListView1_Click,
          Qt::QueuedConnection);
  connect(cmdSetExt_, &QPushButton::clicked, this, &frmMain::cmdSetExt);
  connect(cmdClearExt_, &QPushButton::clicked, this, &frmMain::cmdClearExt);
  return group;
}

QWidget* frmMain::BuildCommandColumn() {
  auto* column = new QWidget(this);
  column->setMaximumWidth(fontMetrics().horizontalAdvance("M") * 30);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* generate = Group("Generate", column);
  auto* generate_row = new QHBoxLayout(generate);
  cmdGo_[0] = Button(ArrayName("cmdGo", 0), "Selected", generate);
  cmdGo_[0]->setShortcut(Qt::Key_F9);
  cmdGo_[0]->setToolTip("Build the selected templates (F9)");
  cmdGo_[1] = Button(ArrayName("cmdGo", 1), "All", generate);
  cmdGo_[1]->setShortcut(Qt::Key_F5);
  cmdGo_[1]->setToolTip("Build every template of the list (F5)");
  generate_row->addWidget(cmdGo_[0]);
  generate_row->addWidget(cmdGo_[1]);
  layout->addWidget(generate);

  auto* preview = Group("Preview", column);
  auto* preview_row = new QHBoxLayout(preview);
  cmdPreview_ = Button("cmdPreview", "Selected", preview);
  cmdPreview_->setShortcut(QKeySequence("Ctrl+P"));
  cmdPreview_->setToolTip("Note - use Generate first to show the most recent version");
  cmdLivePreview_ = Button("cmdLivePreview", "Live", preview);
  cmdLivePreview_->setCheckable(true);
  cmdLivePreview_->setToolTip(
      "Serve the site on this computer and open the selected page: every edit of a template or "
      "include rebuilds the site and reloads the page. Click again to stop.");
  preview_row->addWidget(cmdPreview_);
  preview_row->addWidget(cmdLivePreview_);
  layout->addWidget(preview);

  auto* upload = Group("Upload", column);
  auto* upload_grid = new QGridLayout(upload);
  cmdUpload_[0] = Button(ArrayName("cmdUpload", 0), "Selected", upload);
  cmdUpload_[1] = Button(ArrayName("cmdUpload", 1), "All", upload);
  cmdStopUpload_ = Button("cmdStopUpload", "Stop", upload);
  chkChangedOnly_ = Named(new QCheckBox("Changed only", upload), "chkChangedOnly");
  chkChangedOnly_->setToolTip("Send only the files that differ from what was last sent there");
  chkWithFiles_ = Named(new QCheckBox("With other files", upload), "chkWithFiles");
  chkWithFiles_->setToolTip("Send images, style sheets and the site's other files too");
  picUploadStatus_ = Named(new StatusStripWidget(upload), "picUploadStatus");
  for (QPushButton* button : {cmdUpload_[0], cmdUpload_[1], cmdStopUpload_}) {
    button->setToolTip(kUploadTip);
  }
  for (int index : {0, 1}) {
    connect(cmdUpload_[index], &QPushButton::clicked, this, [this, index] { cmdUpload(index); });
  }
  connect(cmdStopUpload_, &QPushButton::clicked, this, &frmMain::cmdStopUpload);
  upload_grid->addWidget(cmdUpload_[0], 0, 0);
  upload_grid->addWidget(cmdUpload_[1], 0, 1);
  upload_grid->addWidget(cmdStopUpload_, 0, 1);  // in the All button's place
  upload_grid->addWidget(chkChangedOnly_, 1, 0);
  upload_grid->addWidget(chkWithFiles_, 1, 1);
  upload_grid->addWidget(picUploadStatus_, 2, 0, 1, 2);
  ShowUploadControls(false);
  layout->addWidget(upload);

  layout->addWidget(BuildKeywordTools());
  layout->addStretch(1);

  auto* end_row = new QHBoxLayout;
  QPushButton* help = Button("cmdHelp", "Help", column);
  QPushButton* exit = Button("cmdExit", "Exit", column);
  end_row->addWidget(help);
  end_row->addWidget(exit);
  layout->addLayout(end_row);

  connect(cmdGo_[0], &QPushButton::clicked, this, [this] { cmdGo(0); });
  connect(cmdGo_[1], &QPushButton::clicked, this, [this] { cmdGo(1); });
  connect(cmdPreview_, &QPushButton::clicked, this, &frmMain::cmdPreview);
  connect(cmdLivePreview_, &QPushButton::clicked, this, &frmMain::cmdLivePreview);
  connect(help, &QPushButton::clicked, this, &frmMain::cmdHelp);
  connect(exit, &QPushButton::clicked, this, &QWidget::close);
  return column;
}

QWidget* frmMain::BuildKeywordTools() {
  auto* group = Group("Page keywords", this);
  auto* grid = new QGridLayout(group);
  txtDesc_ = Named(new QLineEdit(group), "txtDesc");
  txtKeywords_ = Named(new QLineEdit(group), "txtKeywords");
  txtSuggested_ = Named(new QLineEdit(group), "txtSuggested");
  cmdSuggest_ = Button("cmdSuggest", "Sgst", group);
  cmdSetKwd_ = Button("cmdSetKwd", "Set Keywords", group);
  chkRename_ = Named(new QCheckBox("Rename header include", group), "chkRename");
  QPushButton* copy_renumber = Button("cmdCopyRenum", "Copy and Renumber", group);
  txtDesc_->setReadOnly(true);
  txtDesc_->setToolTip("The description META tag of the selected page");
  txtKeywords_->setReadOnly(true);
  txtKeywords_->setToolTip("The keywords META tag of the selected page");
  txtSuggested_->setToolTip("Suggested keywords, comma-separated; edit them before setting them");
  cmdSuggest_->setToolTip("Generate a suggested list of keywords for the selected html file");
  cmdSetKwd_->setToolTip("Copies the suggested keywords to the META tag.");
  chkRename_->setToolTip(
      "When ticked, renames the header_ include to match the template, copying the contents.");
  copy_renumber->setToolTip(
      "Copies @@@.template of the site folder to 1.template ... 40.template, numbering each");
  grid->addWidget(new QLabel("Description:", group), 0, 0);
  grid->addWidget(txtDesc_, 0, 1, 1, 2);
  grid->addWidget(new QLabel("Keywords:", group), 1, 0);
  grid->addWidget(txtKeywords_, 1, 1, 1, 2);
  grid->addWidget(new QLabel("Suggested:", group), 2, 0);
  grid->addWidget(txtSuggested_, 2, 1);
  grid->addWidget(cmdSuggest_, 2, 2);
  grid->addWidget(chkRename_, 3, 0, 1, 3);
  auto* actions = new QHBoxLayout;
  actions->addWidget(cmdSetKwd_);
  actions->addWidget(copy_renumber);
  grid->addLayout(actions, 4, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  connect(cmdSuggest_, &QPushButton::clicked, this, &frmMain::cmdSuggest);
  connect(cmdSetKwd_, &QPushButton::clicked, this, &frmMain::cmdSetKwd);
  connect(copy_renumber, &QPushButton::clicked, this, &frmMain::cmdCopyRenum);
  return group;
}

}  // namespace pagorin
