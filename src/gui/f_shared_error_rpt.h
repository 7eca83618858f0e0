// The error-report window that showerr opens: the error, the log, the
// person's comment, and two ways to send a report to the program's maker.
#pragma once

#include <QDialog>
#include <string>

#include "shared/error_report.h"

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace pagorin {

struct Env;

// Reads the log when it opens; writes only fulllog.txt (View Report). The
// log and comment areas stay hidden until their buttons reveal them, and
// each of those buttons works once. Help opens the manual's page for the help
// topic (its first page for none).
class fSHAREDErrorRpt final : public QDialog {
  Q_OBJECT

 public:
  fSHAREDErrorRpt(Env& env, const std::string& error_text, const std::string& help_topic,
                  QWidget* parent = nullptr);

  // What a report made now would hold.
  ErrorReportInput ReportInput() const;

 private:
  void cmdViewLog();
  void cmdShowComments();
  void cmdViewReport();
  void cmdEmail();
  void cmdHelp();

  Env& env_;
  std::string error_text_;
  std::string help_topic_;
  std::string log_text_;
  QGroupBox* log_area_ = nullptr;
  QGroupBox* comment_area_ = nullptr;
  QPlainTextEdit* txtUserMessage_ = nullptr;
  QPushButton* cmdViewLog_ = nullptr;
  QPushButton* cmdShowComments_ = nullptr;
};

}  // namespace pagorin
