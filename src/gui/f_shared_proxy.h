// The proxy settings dialog: system proxy, none, or a named proxy server
// with its user and password, kept in the program settings.
#pragma once

#include <QDialog>

#include "update/proxy_settings.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace pagorin {

class cSHAREDSettings;
struct Env;

// Fills itself from `app_settings` when created. OK stores the keys in
// `app_settings` (in memory) and closes, unless the two passwords differ;
// Cancel and the close box store nothing. Both references must outlive the
// dialog.
class fSHAREDProxy final : public QDialog {
  Q_OBJECT

 public:
  fSHAREDProxy(Env& env, cSHAREDSettings& app_settings, QWidget* parent = nullptr);

  ProxySettingsFields Fields() const;

 private:
  void ShowFields(const ProxySettingsFields& fields);
  // Frame1 (the five boxes) is usable only with Manual Settings chosen.
  void FollowChoice();
  void cmdOK();

  Env& env_;
  cSHAREDSettings& app_settings_;
  QRadioButton* optDefault_ = nullptr;
  QRadioButton* optNoProxy_ = nullptr;
  QRadioButton* optNamed_ = nullptr;
  QGroupBox* Frame1_ = nullptr;
  QLineEdit* txtServer_ = nullptr;
  QLineEdit* txtPort_ = nullptr;
  QLineEdit* txtUser_ = nullptr;
  QLineEdit* txtPassword_ = nullptr;
  QLineEdit* txtPassword2_ = nullptr;
};

}  // namespace pagorin
