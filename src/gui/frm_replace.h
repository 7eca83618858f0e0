// "Search and Replace": one text replaced in every file of a folder, by
// default the project's Includes folder.
#pragma once

#include <QDialog>
#include <optional>

#include "tools/search_replace.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace pagorin {

struct Engine;
class QtUi;

// Go runs the replacement and keeps the list of changed files for List;
// Preview counts the matches without writing; Undo takes the last run back.
// The folder goes back into the project settings (not saved to disk) when
// the dialog is closed by Exit or its frame. The engine and the seam must
// outlive the dialog.
class frmReplace final : public QDialog {
  Q_OBJECT

 public:
  frmReplace(Engine& engine, QtUi& ui, QWidget* parent = nullptr);

 public slots:
  void reject() override;

 private:
  ReplaceRequest Request(bool dry_run) const;
  void cmdGo();
  void cmdPreview();
  void cmdUndo();
  void cmdList();
  void cmdPickPath();
  void cmdQuit();

  Engine& engine_;
  QtUi& ui_;
  std::optional<ReplaceRun> last_run_;  // none until Go ran
  QLineEdit* txtOld_ = nullptr;
  QLineEdit* txtNew_ = nullptr;
  QLineEdit* txtSourcePath_ = nullptr;
  QCheckBox* chkWildCard_ = nullptr;
  QLabel* lblStatus_ = nullptr;
};

}  // namespace pagorin
