// The error-report window: its hidden areas, the report file and the mail
// link, and showerr opening it.
#include "gui/f_shared_error_rpt.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "gui_test_env.h"
#include "shared/error_report.h"
#include "shared/log.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::WhenModal;

namespace {

constexpr const char* kLog = "12:00:00 #1   Program startup\r\n12:00:01 #1   Program end\r\n";

}  // namespace

class FSharedErrorRptTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensWithTheErrorAndHidesLogAndComment();
  void ViewReportWritesFulllogWithTheCommentOnlyWhenShown_data();
  void ViewReportWritesFulllogWithTheCommentOnlyWhenShown();
  void EmailOpensTheMailLink();
  void ShowerrOpensTheWindow();
};

void FSharedErrorRptTest::OpensWithTheErrorAndHidesLogAndComment() {
  GuiTestEnv t;
  t.base.WriteFile(t.base.log.LogFilePath(), kLog);
  fSHAREDErrorRpt window(t.env, "Path not found(76)", "");
  window.show();
  QCOMPARE(Find<QPlainTextEdit>(&window, "txtError")->toPlainText(), QString("Path not found(76)"));
  QVERIFY(Find<QPlainTextEdit>(&window, "txtError")->isReadOnly());
  QCOMPARE(Find<QPlainTextEdit>(&window, "txtLog")->toPlainText(),
           QString("12:00:00 #1   Program startup\n12:00:01 #1   Program end\n"));
  QCOMPARE(Find<QGroupBox>(&window, "fraLog")->title(),
           QString::fromStdString(t.base.log.LogFilePath()));
  QVERIFY(!Find<QGroupBox>(&window, "fraLog")->isVisible());
  QVERIFY(!Find<QGroupBox>(&window, "fraComments")->isVisible());
  Find<QPushButton>(&window, "cmdViewLog")->click();
  QVERIFY(Find<QGroupBox>(&window, "fraLog")->isVisible());
  QVERIFY(!Find<QPushButton>(&window, "cmdViewLog")->isEnabled());

  std::filesystem::remove(t.base.log.LogFilePath());
  fSHAREDErrorRpt without_log(t.env, "x", "");
  QCOMPARE(Find<QPlainTextEdit>(&without_log, "txtLog")->toPlainText(), QString("No log file"));
}

void FSharedErrorRptTest::ViewReportWritesFulllogWithTheCommentOnlyWhenShown_data() {
  QTest::addColumn<bool>("reveal_comment");
  QTest::newRow("comment shown") << true;
  QTest::newRow("comment hidden") << false;
}

void FSharedErrorRptTest::ViewReportWritesFulllogWithTheCommentOnlyWhenShown() {
  QFETCH(bool, reveal_comment);
  GuiTestEnv t;
  t.base.WriteFile(t.base.log.LogFilePath(), kLog);
  fSHAREDErrorRpt window(t.env, "Path not found(76)", "");
  window.show();
  if (reveal_comment) {
    Find<QPushButton>(&window, "cmdShowComments")->click();
  }
  Find<QPlainTextEdit>(&window, "txtUserMessage")->setPlainText("I pressed Save\ntwice");
  Find<QPushButton>(&window, "cmdViewReport")->click();

  ErrorReportInput expected;
  expected.error_text = "Path not found(76)";
  expected.log_text = kLog;
  expected.comments_shown = reveal_comment;
  expected.user_comment = "I pressed Save\r\ntwice";
  expected.os_name = fosname();
  const std::string report_path = t.base.paths.data_dir + "fulllog.txt";
  QCOMPARE(t.base.ReadFile(report_path), FullReportText(expected));
  QCOMPARE(t.base.ReadFile(report_path).find("I pressed Save") != std::string::npos,
           reveal_comment);
  QCOMPARE(t.ui.opened_documents(), std::vector<std::string>{report_path});
}

void FSharedErrorRptTest::EmailOpensTheMailLink() {
  GuiTestEnv t;
  t.base.WriteFile(t.base.log.LogFilePath(), kLog);
  fSHAREDErrorRpt window(t.env, "Path not found(76)", "");
  window.show();
  Find<QPushButton>(&window, "cmdShowComments")->click();
  Find<QPlainTextEdit>(&window, "txtUserMessage")->setPlainText("It broke");
  Find<QPushButton>(&window, "cmdEmail")->click();
  QCOMPARE(t.ui.opened_documents().size(), size_t{1});
  const std::string& link = t.ui.opened_documents()[0];
  QCOMPARE(link, ErrorReportMailLink(window.ReportInput(), t.base.log.LogFilePath()));
  QVERIFY(link.find("User:%20It%20broke%0D%0APath%20not%20found(76)") != std::string::npos);
}

void FSharedErrorRptTest::ShowerrOpensTheWindow() {
  GuiTestEnv t;
  t.ui.SetScripted(false);
  QString shown;
  WhenModal<fSHAREDErrorRpt>([&shown](fSHAREDErrorRpt* window) {
    shown = window->findChild<QPlainTextEdit*>("txtError")->toPlainText();
    window->findChild<QPushButton*>("cmdExit")->click();
  });
  showerr(t.env, "Settings file damaged(5)");
  QCOMPARE(shown, QString("Settings file damaged(5)"));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FSharedErrorRptTest)
#include "f_shared_error_rpt_test.moc"
