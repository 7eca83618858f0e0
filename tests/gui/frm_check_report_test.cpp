// The site check's report window, and the main window opening it from
// Tools, Check Site and after Generate when the project asks for the check.
#include "gui/frm_check_report.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <cstdlib>

#include "gui/frm_main.h"
#include "gui_test_env.h"
#include "tools/site_check.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;

namespace {

// What the report window showed: its summary, then its findings when they
// are visible.
QString Shown(frmCheckReport* dialog) {
  auto* findings = Find<QPlainTextEdit>(dialog, "txtReport");
  return Find<QLabel>(dialog, "lblSummary")->text() + "|" +
         (findings->isVisibleTo(dialog) ? findings->toPlainText() : QString("(hidden)"));
}

// Reads the report window whenever it shows, however many events the build
// handles before it, and closes it. With PAGORIN_SCREENSHOT_DIR set and a
// file name given, the screen with the window on it is saved there first.
class ReportWatch {
 public:
  explicit ReportWatch(QString screenshot = {}) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this, screenshot] {
      if (auto* dialog = qobject_cast<frmCheckReport*>(QApplication::activeModalWidget())) {
        timer_.stop();
        const char* folder = std::getenv("PAGORIN_SCREENSHOT_DIR");
        if (folder != nullptr && !screenshot.isEmpty()) {
          QTest::qWait(300);  // the window manager's placing and the first paint
          dialog->screen()->grabWindow(0).save(QString(folder) + "/" + screenshot);
        }
        shown_ = Shown(dialog);
        dialog->reject();
      }
    });
    timer_.start();
  }
  const QString& shown() const { return shown_; }

 private:
  QTimer timer_;
  QString shown_ = "(none)";
};

// A site of two templates whose pages link to each other and to logo.png.
void WriteSite(GuiTestEnv& t, std::vector<std::string> project) {
  for (const char* name : {"a", "b"}) {
    const std::string other = std::string(name) == "a" ? "b" : "a";
    t.base.WriteFile(t.Site(std::string("Templates/") + name + ".template"),
                     "<html><head><title>" + std::string(name) +
                         "</title></head>\n<body><a href=\"" + other + ".html\">" + other +
                         "</a> <img src=\"logo.png\"></body></html>");
  }
  if (!t.OpenSite(std::move(project))) {
    qFatal("the site did not open");
  }
}

}  // namespace

class FrmCheckReportTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheSummaryAndTheFindingsReadOnly();
  void CheckSiteAndGenerateOpenIt();
};

void FrmCheckReportTest::ShowsTheSummaryAndTheFindingsReadOnly() {
  CheckReport report;
  report.pages = 2;
  frmCheckReport clean(report);
  QCOMPARE(Shown(&clean), QString("Checked 2 pages: nothing broken.|(hidden)"));

  report.findings = {{CheckKind::kNoTitle, "b.html", 1, "no title"},
                     {CheckKind::kUnexpanded, "b.html", 7, "[autor]"}};
  frmCheckReport broken(report);
  QCOMPARE(Shown(&broken), QString("Checked 2 pages: 2 problems.|"
                                   "Pages without a title (1):\n  b.html:1: no title\n\n"
                                   "Text the build left unexpanded (1):\n  b.html:7: [autor]\n"));
  QVERIFY(Find<QPlainTextEdit>(&broken, "txtReport")->isReadOnly());
  Find<QPushButton>(&broken, "cmdClose")->click();
  QCOMPARE(broken.result(), int(QDialog::Rejected));
}

void FrmCheckReportTest::CheckSiteAndGenerateOpenIt() {
  const QString missing_logo =
      "Checked 2 pages: 2 problems.|Missing images, scripts and style sheets (2):\n"
      "  a.html:2: logo.png\n  b.html:2: logo.png\n";
  for (const bool wanted : {false, true}) {
    GuiTestEnv t;
    WriteSite(
        t, wanted ? std::vector<std::string>{"CHECKAFTERBUILD,True"} : std::vector<std::string>{});
    frmMain window(t.engine, t.ui);
    if (std::getenv("PAGORIN_SCREENSHOT_DIR") != nullptr) {
      window.show();
    }
    {
      ReportWatch after_build("check-report.png");
      Find<QPushButton>(&window, "cmdGo_1")->click();
      QCOMPARE(after_build.shown(), wanted ? missing_logo : QString("(none)"));
    }
    t.base.WriteFile(t.Site("logo.png"), "");
    ReportWatch checked;
    Find<QAction>(&window, "mnuCheckSite")->trigger();
    QCOMPARE(checked.shown(), QString("Checked 2 pages: nothing broken.|(hidden)"));
  }
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmCheckReportTest)
#include "frm_check_report_test.moc"
