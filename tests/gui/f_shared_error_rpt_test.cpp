// The error-report window: its hidden areas, the report file and the mail
// link, and showerr opening it.
#include "gui/f_shared_error_rpt.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "gui_test_env.h"
#include "shared/error_report.h"
#include "shared/log.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::WhenModal;

namespace {

constexpr const char* kLog = "12:00:00 #1   Program startup\r\n12:00:01 #1   Program end\r\n";

// The window on "Path not found(76)" with kLog as the log, shown.
struct ReportWindow {
  ReportWindow() {
    t.base.WriteFile(t.base.log.LogFilePath(), kLog);
    window = std::make_unique<fSHAREDErrorRpt>(t.env, "Path not found(76)", "");
    window->show();
  }
  template <typename T>
  T* Get(const char* name) {
    return Find<T>(window.get(), name);
  }
  void Click(const char* name) { Get<QPushButton>(name)->click(); }
  void Comment(const QString& text) { Get<QPlainTextEdit>("txtUserMessage")->setPlainText(text); }

  GuiTestEnv t;
  std::unique_ptr<fSHAREDErrorRpt> window;
};

}  // namespace

class FSharedErrorRptTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensWithTheErrorAndHidesLogAndComment();
  void ViewReportAndEmailCarryTheCommentAsShown();
  void ShowerrOpensTheWindow();
};

void FSharedErrorRptTest::OpensWithTheErrorAndHidesLogAndComment() {
  ReportWindow r;
  QCOMPARE(r.Get<QPlainTextEdit>("txtError")->toPlainText(), QString("Path not found(76)"));
  QCOMPARE(r.Get<QPlainTextEdit>("txtLog")->toPlainText(),
           QString("12:00:00 #1   Program startup\n12:00:01 #1   Program end\n"));
  QVERIFY(!r.Get<QGroupBox>("fraLog")->isVisible());
  QVERIFY(!r.Get<QGroupBox>("fraComments")->isVisible());
  r.Click("cmdViewLog");
  QVERIFY(r.Get<QGroupBox>("fraLog")->isVisible());
  QVERIFY(!r.Get<QPushButton>("cmdViewLog")->isEnabled());
}

void FSharedErrorRptTest::ViewReportAndEmailCarryTheCommentAsShown() {
  for (const bool reveal_comment : {true, false}) {
    ReportWindow r;
    if (reveal_comment) {
      r.Click("cmdShowComments");
    }
    r.Comment("I pressed Save\ntwice");
    r.Click("cmdViewReport");
    r.Click("cmdEmail");
    const ErrorReportInput expected{"Path not found(76)", kLog, reveal_comment,
                                    "I pressed Save\r\ntwice", fosname()};
    const std::string report_path = r.t.base.paths.data_dir + "fulllog.txt";
    QCOMPARE(r.t.base.ReadFile(report_path), FullReportText(expected));
    QCOMPARE(r.t.ui.opened_documents(),
             (std::vector<std::string>{report_path,
                                       ErrorReportMailLink(expected, r.t.base.log.LogFilePath())}));
  }
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
