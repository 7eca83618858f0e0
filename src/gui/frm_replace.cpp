#include "gui/frm_replace.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/engine.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/widgets.h"
#include "tools/replace_undo.h"

namespace pagorin {

frmReplace::frmReplace(Engine& engine, QtUi& ui, QWidget* parent)
    : QDialog(parent), engine_(engine), ui_(ui) {
  setObjectName("frmReplace");
  setWindowTitle("Search and Replace");
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QGridLayout;
  txtOld_ = Named(new QLineEdit(this), "txtOld");
  txtOld_->setToolTip("Paste search text here.");
  txtNew_ = Named(new QLineEdit(this), "txtNew");
  txtNew_->setToolTip("Paste replace-with text here");
  txtSourcePath_ = Named(new QLineEdit(ToQt(SearchSourcePath(engine)), this), "txtSourcePath");
  auto* pick = Named(new QPushButton("...", this), "cmdPickPath");
  pick->setAutoDefault(false);
  pick->setToolTip("Choose the folder");
  chkWildCard_ = Named(new QCheckBox("Use '*' as wildcard", this), "chkWildCard");
  fields->addWidget(new QLabel("Search For:", this), 0, 0);
  fields->addWidget(txtOld_, 0, 1, 1, 2);
  fields->addWidget(new QLabel("Replace With:", this), 1, 0);
  fields->addWidget(txtNew_, 1, 1, 1, 2);
  fields->addWidget(new QLabel("Source Path:", this), 2, 0);
  fields->addWidget(txtSourcePath_, 2, 1);
  fields->addWidget(pick, 2, 2);
  fields->addWidget(chkWildCard_, 3, 1, 1, 2);
  fields->setColumnStretch(1, 1);
  layout->addLayout(fields);
  lblStatus_ = Named(new QLabel(this), "lblStatus");
  layout->addWidget(lblStatus_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* go = AddButton(buttons, "cmdGo", "Replace", QDialogButtonBox::ActionRole);
  go->setToolTip("Replace the text in every file of the folder");
  QPushButton* preview = AddButton(buttons, "cmdPreview", "Preview", QDialogButtonBox::ActionRole);
  preview->setToolTip(
      "List the files that would change, and their matches, without changing "
      "anything");
  QPushButton* undo = AddButton(buttons, "cmdUndo", "Undo", QDialogButtonBox::ActionRole);
  undo->setToolTip("Put back the files the last replacement changed");
  QPushButton* list = AddButton(buttons, "cmdList", "List", QDialogButtonBox::ActionRole);
  list->setToolTip("List the files the last replacement changed");
  QPushButton* quit = AddButton(buttons, "cmdQuit", "Exit", QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(pick, &QPushButton::clicked, this, &frmReplace::cmdPickPath);
  connect(go, &QPushButton::clicked, this, &frmReplace::cmdGo);
  connect(preview, &QPushButton::clicked, this, &frmReplace::cmdPreview);
  connect(undo, &QPushButton::clicked, this, &frmReplace::cmdUndo);
  connect(list, &QPushButton::clicked, this, &frmReplace::cmdList);
  connect(quit, &QPushButton::clicked, this, &frmReplace::cmdQuit);
  resize(560, sizeHint().height());
}

ReplaceRequest frmReplace::Request(bool dry_run) const {
  const Charset charset = ProjectCharset(engine_.ProjectSettings);
  ReplaceRequest request;
  request.search = ToProjectText(txtOld_->text(), charset);
  request.replacement = ToProjectText(txtNew_->text(), charset);
  request.folder = FromQt(txtSourcePath_->text());
  request.wildcard = chkWildCard_->isChecked();
  request.dry_run = dry_run;
  return request;
}

void frmReplace::cmdGo() {
  setEnabled(false);
  last_run_ = pagorin::cmdGo(engine_, Request(false),
                             [this](const std::string& text) { lblStatus_->setText(ToQt(text)); });
  setEnabled(true);
}

void frmReplace::cmdPreview() {
  const ReplaceRun preview = pagorin::cmdGo(engine_, Request(true), [](const std::string&) {});
  if (!preview.refused) {
    engine_.env.ui.ShowMessage(PreviewText(preview), Buttons::kOk, "Preview");
  }
}

void frmReplace::cmdUndo() {
  UndoLastReplace(engine_);
}

void frmReplace::cmdList() {
  engine_.env.ui.ShowMessage(ChangedFileListMessage(last_run_ ? &*last_run_ : nullptr));
}

void frmReplace::cmdPickPath() {
  const std::optional<std::string> folder =
      ui_.ChooseFolder("Source Path", FromQt(txtSourcePath_->text()));
  if (folder) {
    txtSourcePath_->setText(ToQt(*folder));
  }
}

void frmReplace::cmdQuit() {
  reject();
}

void frmReplace::reject() {
  StoreSearchSourcePath(engine_, FromQt(txtSourcePath_->text()));
  QDialog::reject();
}

}  // namespace pagorin
