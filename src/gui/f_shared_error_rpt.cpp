#include "gui/f_shared_error_rpt.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "shared/env.h"
#include "shared/help.h"
#include "shared/log.h"
#include "shared/text.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

QPlainTextEdit* ReadOnlyText(const char* name, const std::string& text, QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setPlainText(ToQt(ReplaceAll(text, "\r\n", "\n", true)));
  return box;
}

}  // namespace

fSHAREDErrorRpt::fSHAREDErrorRpt(Env& env, const std::string& error_text,
                                 const std::string& help_topic, QWidget* parent)
    : QDialog(parent),
      env_(env),
      error_text_(error_text),
      help_topic_(help_topic),
      log_text_(ReportLogText(env)) {
  setObjectName("fSHAREDErrorRpt");
  setWindowTitle("Pagorin - Error Report");
  auto* layout = new QVBoxLayout(this);

  auto* intro = new QLabel(
      "Pagorin met a problem it could not deal with. You can look at the log, add a comment "
      "and send a report, so that the problem can be put right.",
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  layout->addWidget(ReadOnlyText("txtError", error_text_, this), 1);

  log_area_ = new QGroupBox(ToQt(env.log.LogFilePath()), this);
  log_area_->setObjectName("fraLog");
  auto* log_layout = new QVBoxLayout(log_area_);
  log_layout->addWidget(ReadOnlyText("txtLog", log_text_, log_area_));
  log_area_->setVisible(false);
  layout->addWidget(log_area_, 2);

  comment_area_ = new QGroupBox("Your comment (what were you doing when it happened?)", this);
  comment_area_->setObjectName("fraComments");
  auto* comment_layout = new QVBoxLayout(comment_area_);
  txtUserMessage_ = new QPlainTextEdit(comment_area_);
  txtUserMessage_->setObjectName("txtUserMessage");
  comment_layout->addWidget(txtUserMessage_);
  comment_area_->setVisible(false);
  layout->addWidget(comment_area_, 1);

  auto* row = new QDialogButtonBox(this);
  cmdViewLog_ = AddButton(row, "cmdViewLog", "View Log", QDialogButtonBox::ActionRole);
  cmdShowComments_ = AddButton(row, "cmdShowComments", "Add Comment", QDialogButtonBox::ActionRole);
  QPushButton* view_report =
      AddButton(row, "cmdViewReport", "View Report", QDialogButtonBox::ActionRole);
  QPushButton* email = AddButton(row, "cmdEmail", "Email Report", QDialogButtonBox::ActionRole);
  QPushButton* help = AddButton(row, "cmdHelp", "Help", QDialogButtonBox::HelpRole);
  QPushButton* exit = AddButton(row, "cmdExit", "Exit", QDialogButtonBox::RejectRole);
  layout->addWidget(row);

  connect(cmdViewLog_, &QPushButton::clicked, this, &fSHAREDErrorRpt::cmdViewLog);
  connect(cmdShowComments_, &QPushButton::clicked, this, &fSHAREDErrorRpt::cmdShowComments);
  connect(view_report, &QPushButton::clicked, this, &fSHAREDErrorRpt::cmdViewReport);
  connect(email, &QPushButton::clicked, this, &fSHAREDErrorRpt::cmdEmail);
  connect(help, &QPushButton::clicked, this, &fSHAREDErrorRpt::cmdHelp);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  resize(640, 420);
}

ErrorReportInput fSHAREDErrorRpt::ReportInput() const {
  ErrorReportInput input;
  input.error_text = error_text_;
  input.log_text = log_text_;
  input.comments_shown = comment_area_->isVisibleTo(this);
  // The report's lines end in CR LF, like every text file of the program.
  input.user_comment = ReplaceAll(FromQt(txtUserMessage_->toPlainText()), "\n", "\r\n", true);
  input.os_name = fosname();
  return input;
}

void fSHAREDErrorRpt::cmdViewLog() {
  log_area_->setVisible(true);
  cmdViewLog_->setEnabled(false);
}

void fSHAREDErrorRpt::cmdShowComments() {
  comment_area_->setVisible(true);
  cmdShowComments_->setEnabled(false);
  txtUserMessage_->setFocus();
}

void fSHAREDErrorRpt::cmdViewReport() {
  WriteFullReport(env_, ReportInput());
}

void fSHAREDErrorRpt::cmdEmail() {
  EmailErrorReport(env_, ReportInput());
}

void fSHAREDErrorRpt::cmdHelp() {
  ShowHelp(env_, help_topic_);
}

}  // namespace pagorin
