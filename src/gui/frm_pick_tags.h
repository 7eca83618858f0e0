// The tag picker of the Content Creator: every tag used so far, several of
// which may be chosen.
#pragma once

#include <QDialog>
#include <string>

#include "shared/charset.h"

class QListWidget;

namespace pagorin {

class cSHAREDSettings;

// Lists the project's TAGS set when created. OK joins the chosen tags in
// list order (", " between them) into SelectedTags and closes the picker as
// accepted; closing it otherwise leaves SelectedTags empty and the result
// rejected, so the caller changes nothing.
class frmPickTags final : public QDialog {
  Q_OBJECT

 public:
  explicit frmPickTags(const cSHAREDSettings& project, QWidget* parent = nullptr);

  const std::string& SelectedTags() const { return selected_tags_; }

 private:
  void cmdOK();

  Charset charset_;
  QListWidget* List1_ = nullptr;
  std::string selected_tags_;
};

}  // namespace pagorin
