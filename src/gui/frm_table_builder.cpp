#include "gui/frm_table_builder.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include "editor/editor_commands.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"

namespace pagorin {

namespace {

constexpr int kMostRowsOrCols = 50;

// A count box with its slider; moving the slider writes its value into the
// box.
QHBoxLayout* CountRow(QWidget* parent, const QString& name, QLineEdit** box, QSlider** slider) {
  *box = Named(new QLineEdit("1", parent), "txt" + name);
  *slider = Named(new QSlider(Qt::Horizontal, parent), "Slider" + name);
  (*slider)->setRange(1, kMostRowsOrCols);
  (*slider)->setValue(1);
  (*box)->setMaximumWidth(60);
  QLineEdit* target = *box;
  QObject::connect(*slider, &QSlider::valueChanged, target,
                   [target](int value) { target->setText(QString::number(value)); });
  auto* row = new QHBoxLayout;
  row->addWidget(*box);
  row->addWidget(*slider, 1);
  return row;
}

}  // namespace

frmTableBuilder::frmTableBuilder(QWidget* parent) : QDialog(parent) {
  setObjectName("frmTableBuilder");
  setWindowTitle("Table Builder");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  txtTableSettings_ = Named(new QLineEdit("Border=0 Width=100% cellpadding=5 cellspacing=0", this),
                            "txtTableSettings");
  txtCellFormat_ = Named(new QLineEdit("align=left valign=top", this), "txtCellFormat");
  form->addRow("Table format string:", txtTableSettings_);
  form->addRow("Cell format string:", txtCellFormat_);
  form->addRow("Rows:", CountRow(this, "Rows", &txtRows_, &SliderRows_));
  form->addRow("Cols:", CountRow(this, "Cols", &txtCols_, &SliderCols_));
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = AddButton(buttons, "cmdOK", "OK", QDialogButtonBox::AcceptRole);
  QPushButton* cancel = AddButton(buttons, "cmdCancel", "Cancel", QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  layout->addWidget(buttons);
  connect(ok, &QPushButton::clicked, this, &frmTableBuilder::cmdOK);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  txtTableSettings_->setCursorPosition(0);
  setMinimumWidth(560);
}

void frmTableBuilder::cmdOK() {
  cancelled_ = false;
  table_string_ =
      pagorin::TableString(FromQt(txtTableSettings_->text()), FromQt(txtCellFormat_->text()),
                           FromQt(txtRows_->text()), FromQt(txtCols_->text()));
  accept();
}

}  // namespace pagorin
