// The table builder: table and cell attributes and the number of rows and
// columns, turned into table markup for the editor.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QSlider;

namespace pagorin {

// OK builds TableString and closes; Cancel (or the close box) closes with
// Cancelled() still true.
class frmTableBuilder final : public QDialog {
  Q_OBJECT

 public:
  explicit frmTableBuilder(QWidget* parent = nullptr);

  bool Cancelled() const { return cancelled_; }
  const std::string& TableString() const { return table_string_; }

 private:
  void cmdOK();

  bool cancelled_ = true;
  std::string table_string_;
  QLineEdit* txtTableSettings_ = nullptr;
  QLineEdit* txtCellFormat_ = nullptr;
  QLineEdit* txtRows_ = nullptr;
  QLineEdit* txtCols_ = nullptr;
  QSlider* SliderRows_ = nullptr;
  QSlider* SliderCols_ = nullptr;
};

}  // namespace pagorin
