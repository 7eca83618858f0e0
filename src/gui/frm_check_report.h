// The site check's report: a summary line above the findings, read-only.
#pragma once

#include <QDialog>

namespace pagorin {

struct CheckReport;

class frmCheckReport final : public QDialog {
  Q_OBJECT

 public:
  explicit frmCheckReport(const CheckReport& report, QWidget* parent = nullptr);
};

}  // namespace pagorin
