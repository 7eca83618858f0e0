#include "gui/f_shared_proxy.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "shared/env.h"
#include "shared/help.h"
#include "shared/user_interface.h"

namespace pagorin {

fSHAREDProxy::fSHAREDProxy(Env& env, cSHAREDSettings& app_settings, QWidget* parent)
    : QDialog(parent), env_(env), app_settings_(app_settings) {
  setObjectName("fSHAREDProxy");
  setWindowTitle("Proxy Setup");
  auto* layout = new QVBoxLayout(this);

  optDefault_ = Named(new QRadioButton("System Default Proxy", this), "optDefault");
  optDefault_->setToolTip(
      "Uses your system's proxy settings (the http_proxy, https_proxy and ftp_proxy "
      "environment variables)");
  optNoProxy_ = Named(new QRadioButton("No Proxy", this), "optNoProxy");
  optNoProxy_->setToolTip("Switches off the proxy");
  optNamed_ = Named(new QRadioButton("Manual Settings", this), "optNamed");
  optNamed_->setToolTip("Allows you to specify proxy settings manually");
  auto* choices = new QButtonGroup(this);
  for (QRadioButton* option : {optDefault_, optNoProxy_, optNamed_}) {
    choices->addButton(option);
    layout->addWidget(option);
    connect(option, &QRadioButton::toggled, this, &fSHAREDProxy::FollowChoice);
  }

  Frame1_ = Named(new QGroupBox("Proxy Settings", this), "Frame1");
  auto* form = new QFormLayout(Frame1_);
  txtServer_ = Named(new QLineEdit(Frame1_), "txtServer");
  txtPort_ = Named(new QLineEdit(Frame1_), "txtPort");
  txtUser_ = Named(new QLineEdit(Frame1_), "txtUser");
  txtPassword_ = Named(new QLineEdit(Frame1_), "txtPassword");
  txtPassword2_ = Named(new QLineEdit(Frame1_), "txtPassword2");
  txtPassword_->setEchoMode(QLineEdit::Password);
  txtPassword2_->setEchoMode(QLineEdit::Password);
  form->addRow("Server:", txtServer_);
  form->addRow("Port:", txtPort_);
  form->addRow("User:", txtUser_);
  form->addRow("Password:", txtPassword_);
  form->addRow("Enter Again:", txtPassword2_);
  layout->addWidget(Frame1_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = AddButton(buttons, "cmdOK", "OK", QDialogButtonBox::AcceptRole);
  QPushButton* cancel = AddButton(buttons, "cmdCancel", "Cancel", QDialogButtonBox::RejectRole);
  QPushButton* help = AddButton(buttons, "cmdHelp", "Help", QDialogButtonBox::HelpRole);
  layout->addWidget(buttons);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &fSHAREDProxy::cmdOK);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { ShowHelp(env_, "settings.html"); });

  ShowFields(LoadProxySettings(app_settings_));
}

void fSHAREDProxy::ShowFields(const ProxySettingsFields& fields) {
  optDefault_->setChecked(fields.choice == ProxyType::kSystem);
  optNoProxy_->setChecked(fields.choice == ProxyType::kNone);
  optNamed_->setChecked(fields.choice == ProxyType::kNamed);
  txtServer_->setText(ToQt(fields.txtServer));
  txtPort_->setText(ToQt(fields.txtPort));
  txtUser_->setText(ToQt(fields.txtUser));
  txtPassword_->setText(ToQt(fields.txtPassword));
  txtPassword2_->setText(ToQt(fields.txtPassword2));
  FollowChoice();
}

ProxySettingsFields fSHAREDProxy::Fields() const {
  ProxySettingsFields fields;
  fields.choice.reset();
  if (optDefault_->isChecked()) {
    fields.choice = ProxyType::kSystem;
  } else if (optNamed_->isChecked()) {
    fields.choice = ProxyType::kNamed;
  } else if (optNoProxy_->isChecked()) {
    fields.choice = ProxyType::kNone;
  }
  fields.txtServer = FromQt(txtServer_->text());
  fields.txtPort = FromQt(txtPort_->text());
  fields.txtUser = FromQt(txtUser_->text());
  fields.txtPassword = FromQt(txtPassword_->text());
  fields.txtPassword2 = FromQt(txtPassword2_->text());
  return fields;
}

void fSHAREDProxy::FollowChoice() {
  Frame1_->setEnabled(optNamed_->isChecked());
}

void fSHAREDProxy::cmdOK() {
  if (StoreProxySettings(env_, app_settings_, Fields())) {
    accept();
  }
}

}  // namespace pagorin
