// "Version INC file generator": the list of version includes and the
// version template of the open project, edited in place.
#pragma once

#include <QDialog>

#include "app/version_includes.h"
#include "shared/charset.h"

class QLineEdit;
class QPlainTextEdit;

namespace pagorin {

struct Engine;

// Fills itself from the project when created. OK stores the list file's path
// as IniListFilename (in memory), writes the template and the list, and
// closes; Exit closes without saving anything. The engine must outlive the
// dialog.
class frmExternalIncludes final : public QDialog {
  Q_OBJECT

 public:
  explicit frmExternalIncludes(Engine& engine, QWidget* parent = nullptr);

 private:
  void ShowTexts(const VersionIncludeDialogTexts& texts);
  VersionIncludeDialogTexts Texts() const;
  void cmdRefresh();
  void cmdOK();

  Engine& engine_;
  Charset charset_;
  // Each file keeps the line ends it had (CR LF for new files).
  bool sources_crlf_ = true;
  bool template_crlf_ = true;
  QLineEdit* txtIniFile_ = nullptr;
  QPlainTextEdit* txtSources_ = nullptr;
  QPlainTextEdit* txtTemplate_ = nullptr;
};

}  // namespace pagorin
