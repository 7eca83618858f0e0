#include "gui/frm_check_report.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "tools/site_check.h"

namespace pagorin {

frmCheckReport::frmCheckReport(const CheckReport& report, QWidget* parent) : QDialog(parent) {
  setObjectName("frmCheckReport");
  setWindowTitle("Site Check");
  const std::string text = CheckReportText(report);
  const std::size_t summary_end = text.find('\n');
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Named(new QLabel(ToQt(text.substr(0, summary_end)), this), "lblSummary"));

  // The findings, one per line under their headings, in a fixed-width font
  // so that pages and lines stand in columns.
  auto* findings = Named(new QPlainTextEdit(this), "txtReport");
  findings->setReadOnly(true);
  findings->setLineWrapMode(QPlainTextEdit::NoWrap);
  findings->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const std::size_t first = text.find_first_not_of('\n', summary_end);
  findings->setPlainText(first == std::string::npos ? QString() : ToQt(text.substr(first)));
  findings->setVisible(report.broken());
  layout->addWidget(findings, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = AddButton(buttons, "cmdClose", "Close", QDialogButtonBox::RejectRole);
  close->setDefault(true);
  layout->addWidget(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  resize(report.broken() ? 640 : 320, report.broken() ? 400 : 100);
}

}  // namespace pagorin
