#include "gui/frm_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/engine.h"
#include "gui/f_shared_proxy.h"
#include "gui/frm_external_includes.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "gui/widgets.h"
#include "shared/paths.h"

namespace pagorin {

frmSettings::frmSettings(Engine& engine, QtUi& ui, QWidget* parent)
    : QDialog(parent), engine_(engine), ui_(ui), charset_(ProjectCharset(engine.ProjectSettings)) {
  setObjectName("frmSettings");
  setWindowTitle("Project Settings");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildLocation());
  layout->addWidget(BuildWebAndFtp());
  layout->addWidget(BuildCompilerOptions());
  layout->addStretch(1);

  // The three helpers on the left, OK and Cancel on the right.
  auto* row = new QHBoxLayout;
  auto* helpers = new QDialogButtonBox(this);
  QPushButton* versions =
      AddButton(helpers, "cmdSetupVersions", "Set up version files", QDialogButtonBox::ActionRole);
  QPushButton* proxy = AddButton(helpers, "cmdProxy", "Proxy Setup", QDialogButtonBox::ActionRole);
  QPushButton* update =
      AddButton(helpers, "cmdCheckUpdate", "Check for Update", QDialogButtonBox::ActionRole);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = AddButton(buttons, "cmdOK", "OK", QDialogButtonBox::AcceptRole);
  QPushButton* cancel = AddButton(buttons, "cmdExit", "Cancel", QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  row->addWidget(helpers);
  row->addStretch(1);
  row->addWidget(buttons);
  layout->addLayout(row);
  if (!engine_.ProjectLoaded) {
    // The version files live in the site folder, which a project that is not
    // saved yet does not have.
    versions->setEnabled(false);
    versions->setToolTip("Save the project first; then set up its version files here.");
  }

  connect(versions, &QPushButton::clicked, this, &frmSettings::cmdSetupVersions);
  connect(proxy, &QPushButton::clicked, this, &frmSettings::cmdProxy);
  connect(update, &QPushButton::clicked, this, &frmSettings::cmdCheckUpdate);
  connect(ok, &QPushButton::clicked, this, &frmSettings::cmdOK);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  ShowFields(LoadProjectSettingsFields(engine_));
  setMinimumWidth(560);
}

QWidget* frmSettings::BuildLocation() {
  auto* group = new QGroupBox("Location of project source files", this);
  auto* row = new QHBoxLayout(group);
  txtProjectPath_ = Named(new QLineEdit(group), "txtProjectPath");
  auto* pick = Named(new QPushButton(". . .", group), "cmdPickPath");
  pick->setAutoDefault(false);
  pick->setToolTip("Choose the site folder");
  row->addWidget(txtProjectPath_, 1);
  row->addWidget(pick);
  connect(pick, &QPushButton::clicked, this, &frmSettings::cmdPickPath);
  return group;
}

QWidget* frmSettings::BuildWebAndFtp() {
  auto* group = new QGroupBox("Web and FTP options", this);
  auto* form = new QFormLayout(group);
  txtWebUrl_ = Named(new QLineEdit(group), "txtWebUrl");
  txtWebUrl_->setToolTip("This is the root URL of your uploaded website.");
  txtWebUrl_->setPlaceholderText("https://www.example.com/");
  txtURL_ = Named(new QLineEdit(group), "txtURL");
  txtURL_->setPlaceholderText("e.g. ftp.example.com");
  txtFTPLoginName_ = Named(new QLineEdit(group), "txtFTPLoginName");
  txtFTPPassword_ = Named(new QLineEdit(group), "txtFTPPassword");
  txtFTPPassword_->setEchoMode(QLineEdit::Password);
  txtRemoteFolder_ = Named(new QLineEdit(group), "txtRemoteFolder");
  form->addRow("Web URL:", txtWebUrl_);
  form->addRow("FTP address of site:", txtURL_);
  form->addRow("FTP login name:", txtFTPLoginName_);
  form->addRow("FTP password:", txtFTPPassword_);
  form->addRow("Remote Folder:", txtRemoteFolder_);
  chkPassiveFTP_ = Named(new QCheckBox("Passive FTP", group), "chkPassiveFTP");
  chkPassiveFTP_->setToolTip(
      "Most connections behind a home router need passive mode; leave it off for active mode");
  form->addRow(chkPassiveFTP_);
  return group;
}

QWidget* frmSettings::BuildCompilerOptions() {
  auto* group = new QGroupBox("Compiler Options", this);
  auto* form = new QFormLayout(group);
  auto* extension = new QHBoxLayout;
  optHTML_ = Named(new QRadioButton("HTML", group), "optHTML");
  optHTM_ = Named(new QRadioButton("HTM", group), "optHTM");
  optOther_ = Named(new QRadioButton("Other:", group), "optOther");
  txtOtherExt_ = Named(new QLineEdit(group), "txtOtherExt");
  txtOtherExt_->setMaximumWidth(fontMetrics().horizontalAdvance("M") * 8);
  auto* options = new QButtonGroup(group);
  for (QRadioButton* option : {optHTML_, optHTM_, optOther_}) {
    options->addButton(option);
    extension->addWidget(option);
  }
  extension->addWidget(txtOtherExt_);
  extension->addStretch(1);
  connect(optOther_, &QRadioButton::toggled, txtOtherExt_, &QLineEdit::setEnabled);
  form->addRow("File extension:", extension);
  chkDoVersionFiles_ =
      Named(new QCheckBox("Generate program version files first", group), "chkDoVersionFiles");
  form->addRow(chkDoVersionFiles_);
  chkChangedOnly_ = Named(new QCheckBox("Leave pages whose text did not change untouched", group),
                          "chkChangedOnly");
  form->addRow(chkChangedOnly_);
  chkCheckAfterBuild_ =
      Named(new QCheckBox("Check the site after each build", group), "chkCheckAfterBuild");
  form->addRow(chkCheckAfterBuild_);
  return group;
}

// The text boxes show and take back the project's bytes in its character
// set; the folder is a path of this computer, whose names are UTF-8.
void frmSettings::ShowFields(const ProjectSettingsFields& fields) {
  shown_ = fields;
  txtProjectPath_->setText(ToQt(fields.txtProjectPath));
  txtWebUrl_->setText(FromProjectText(fields.txtWebUrl, charset_));
  txtURL_->setText(FromProjectText(fields.txtURL, charset_));
  txtFTPLoginName_->setText(FromProjectText(fields.txtFTPLoginName, charset_));
  txtFTPPassword_->setText(FromProjectText(fields.txtFTPPassword, charset_));
  txtRemoteFolder_->setText(FromProjectText(fields.txtRemoteFolder, charset_));
  chkPassiveFTP_->setChecked(fields.chkPassiveFTP);
  optHTML_->setChecked(fields.extension == ProjectSettingsFields::Extension::kHtml);
  optHTM_->setChecked(fields.extension == ProjectSettingsFields::Extension::kHtm);
  optOther_->setChecked(fields.extension == ProjectSettingsFields::Extension::kOther);
  txtOtherExt_->setText(FromProjectText(fields.txtOtherExt, charset_));
  txtOtherExt_->setEnabled(optOther_->isChecked());
  chkDoVersionFiles_->setChecked(fields.chkDoVersionFiles);
  chkChangedOnly_->setChecked(fields.chkChangedOnly);
  chkCheckAfterBuild_->setChecked(fields.chkCheckAfterBuild);
}

ProjectSettingsFields frmSettings::Fields() const {
  ProjectSettingsFields fields;
  fields.txtProjectPath = EditedText(txtProjectPath_->text(), shown_.txtProjectPath);
  fields.txtWebUrl = EditedProjectText(txtWebUrl_->text(), shown_.txtWebUrl, charset_);
  fields.txtURL = EditedProjectText(txtURL_->text(), shown_.txtURL, charset_);
  fields.txtFTPLoginName =
      EditedProjectText(txtFTPLoginName_->text(), shown_.txtFTPLoginName, charset_);
  fields.txtFTPPassword =
      EditedProjectText(txtFTPPassword_->text(), shown_.txtFTPPassword, charset_);
  fields.txtRemoteFolder =
      EditedProjectText(txtRemoteFolder_->text(), shown_.txtRemoteFolder, charset_);
  fields.chkPassiveFTP = chkPassiveFTP_->isChecked();
  if (optHTM_->isChecked()) {
    fields.extension = ProjectSettingsFields::Extension::kHtm;
  } else if (optOther_->isChecked()) {
    fields.extension = ProjectSettingsFields::Extension::kOther;
  }
  fields.txtOtherExt = EditedProjectText(txtOtherExt_->text(), shown_.txtOtherExt, charset_);
  fields.chkDoVersionFiles = chkDoVersionFiles_->isChecked();
  fields.chkChangedOnly = chkChangedOnly_->isChecked();
  fields.chkCheckAfterBuild = chkCheckAfterBuild_->isChecked();
  return fields;
}

void frmSettings::cmdOK() {
  cancelled_ = false;
  SaveToProject(engine_, Fields());
  accept();
}

void frmSettings::cmdCheckUpdate() {
  cmdOK();
  emit CheckForUpdate();
}

void frmSettings::cmdPickPath() {
  const std::optional<std::string> folder =
      ui_.ChooseFolder("Location of project source files", FromQt(txtProjectPath_->text()));
  if (folder) {
    txtProjectPath_->setText(ToQt(addbackslash(*folder)));
  }
}

void frmSettings::cmdSetupVersions() {
  frmExternalIncludes dialog(engine_, this);
  dialog.exec();
}

void frmSettings::cmdProxy() {
  fSHAREDProxy dialog(engine_.env, engine_.AppSettings, this);
  dialog.exec();
}

}  // namespace pagorin
