// "Project Settings": the site folder, output extension, version-include
// switch, and the web and FTP settings of the open project.
#pragma once

#include <QDialog>

#include "app/project_settings.h"
#include "shared/charset.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace pagorin {

struct Engine;
class QtUi;

// Fills itself from the project when created. OK (and Check for Update)
// stores the fields through SaveToProject and closes; Cancel and the close
// box store nothing and leave Cancelled() true. Saving the project file is
// the caller's business. The engine and the seam must outlive the dialog.
class frmSettings final : public QDialog {
  Q_OBJECT

 public:
  frmSettings(Engine& engine, QtUi& ui, QWidget* parent = nullptr);

  bool Cancelled() const { return cancelled_; }
  ProjectSettingsFields Fields() const;

 signals:
  // Check for Update was pressed: the fields are stored and the dialog is
  // closing; the main window runs the update check.
  void CheckForUpdate();

 private:
  QWidget* BuildLocation();
  QWidget* BuildWebAndFtp();
  QWidget* BuildCompilerOptions();
  void ShowFields(const ProjectSettingsFields& fields);
  void cmdOK();
  void cmdCheckUpdate();
  void cmdPickPath();
  void cmdSetupVersions();
  void cmdProxy();

  Engine& engine_;
  QtUi& ui_;
  bool cancelled_ = true;
  const Charset charset_;
  ProjectSettingsFields shown_;  // what the boxes were filled with
  QLineEdit* txtProjectPath_ = nullptr;
  QLineEdit* txtWebUrl_ = nullptr;
  QLineEdit* txtURL_ = nullptr;
  QLineEdit* txtFTPLoginName_ = nullptr;
  QLineEdit* txtFTPPassword_ = nullptr;
  QLineEdit* txtRemoteFolder_ = nullptr;
  QCheckBox* chkPassiveFTP_ = nullptr;
  QRadioButton* optHTML_ = nullptr;
  QRadioButton* optHTM_ = nullptr;
  QRadioButton* optOther_ = nullptr;
  QLineEdit* txtOtherExt_ = nullptr;
  QCheckBox* chkDoVersionFiles_ = nullptr;
  QCheckBox* chkChangedOnly_ = nullptr;
  QCheckBox* chkCheckAfterBuild_ = nullptr;
};

}  // namespace pagorin
