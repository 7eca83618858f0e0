#include "gui/frm_pick_tags.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "news/news_tags.h"

namespace pagorin {

frmPickTags::frmPickTags(const cSHAREDSettings& project, QWidget* parent)
    : QDialog(parent), charset_(ProjectCharset(project)) {
  setObjectName("frmPickTags");
  setWindowTitle("Choose Tags");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Tags used so far (click to choose several):", this));
  List1_ = Named(new QListWidget(this), "List1");
  List1_->setSelectionMode(QAbstractItemView::MultiSelection);
  for (const std::string& tag : PickableTags(project)) {
    List1_->addItem(FromProjectText(tag, charset_));
  }
  layout->addWidget(List1_, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = AddButton(buttons, "cmdOK", "OK", QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  QPushButton* cancel = AddButton(buttons, "cmdCancel", "Cancel", QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(ok, &QPushButton::clicked, this, &frmPickTags::cmdOK);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(320, 360);
}

void frmPickTags::cmdOK() {
  std::vector<std::string> chosen;
  for (int i = 0; i < List1_->count(); ++i) {
    if (List1_->item(i)->isSelected()) {
      chosen.push_back(ToProjectText(List1_->item(i)->text(), charset_));
    }
  }
  selected_tags_ = JoinPickedTags(chosen);
  accept();
}

}  // namespace pagorin
