// The main window's live preview on a copy of the Sample: the real
// `pagorin serve` started, asked over HTTP and ended by a second click, by
// closing the project or the window; a server that cannot start or ends by
// itself. Opened pages are only recorded. With PAGORIN_SCREENSHOT_DIR set,
// the window while serving is saved there as live-preview.png.
#include <curl/curl.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "app/startup.h"
#include "gui/frm_main.h"
#include "gui_test_env.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::Has;
using testing::Type;

namespace {

constexpr int kPatience = 60000;  // milliseconds: the child builds under the sanitizers

struct Reply {
  long status = 0;  // 0 when nobody answered
  std::string body;
};

Reply Get(const std::string& url) {
  Reply reply;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* body) {
        static_cast<std::string*>(body)->append(data, size * count);
        return size * count;
      });
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  if (curl_easy_perform(curl) == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
  }
  curl_easy_cleanup(curl);
  return reply;
}

struct PreviewWindow {
  PreviewWindow() {
    CommandLine line;
    line.project = t.CopySample();
    Startup(t.engine, line, t.base.Path("data"));
    window.ShowEngineState();
    window.SetServeProgram(PAGORIN_EXECUTABLE);
  }

  QPushButton* Live() { return Find<QPushButton>(&window, "cmdLivePreview"); }
  QString Serving() { return Find<QLabel>(&window, "lblServing")->text(); }
  bool Running() { return window.findChild<QProcess*>("serveProcess") != nullptr; }
  void Select(const QString& name) {
    auto* list = Find<QTreeWidget>(&window, "ListView1");
    list->clearSelection();
    list->findItems(name, Qt::MatchExactly).value(0)->setSelected(true);
  }
  // Clicks Live and waits for the page to be opened; the server's address.
  std::string StartServing() {
    const size_t opened = t.ui.opened_documents().size();
    Live()->click();
    if (!QTest::qWaitFor([&] { return t.ui.opened_documents().size() > opened; }, kPatience)) {
      return {};
    }
    const QString text = Serving();
    const qsizetype from = text.indexOf("http://");
    return text.mid(from, text.indexOf('/', from + 7) + 1 - from).toStdString();
  }

  GuiTestEnv t;
  frmMain window{t.engine, t.ui};
};

}  // namespace

class FrmMainPreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void LiveServesTheSavedProjectAndOpensTheSelectedPageUntilClickedAgain();
  void ClosingTheProjectOrTheWindowEndsTheServer();
  void AServerThatCannotStartOrEndsByItselfIsReported();
};

void FrmMainPreviewTest::LiveServesTheSavedProjectAndOpensTheSelectedPageUntilClickedAgain() {
  PreviewWindow w;
  if (std::getenv("PAGORIN_SCREENSHOT_DIR") != nullptr) {
    w.window.show();
  }
  QVERIFY(w.Live()->isEnabled());
  QVERIFY(!w.window.statusBar()->isVisibleTo(&w.window));
  w.Select("faq");
  Type(&w.window, "txtTitle", "Kestrel Tide Tables Live");
  const std::string address = w.StartServing();
  QVERIFY2(address.starts_with("http://127.0.0.1:"), qPrintable(w.Serving()));

  QCOMPARE(w.t.ui.opened_documents(), std::vector<std::string>{address + "faq.htm"});
  QCOMPARE(w.Serving(), "Serving " + QString::fromStdString(w.t.Site()) + " on " +
                            QString::fromStdString(address) + " (click Live again to stop)");
  QVERIFY(w.Live()->isChecked());
  QVERIFY(w.window.statusBar()->isVisibleTo(&w.window));
  QVERIFY(Has(w.t.base.ReadFile(w.t.Site("Sample.pgx")), "PROJECTTITLE,Kestrel Tide Tables Live"));
  const Reply page = Get(address + "faq.htm");
  QCOMPARE(page.status, 200L);
  QVERIFY(Has(page.body, "/__pagorin/events?since=1"));
  QCOMPARE(page.body.substr(0, 200), w.t.base.ReadFile(w.t.Site("faq.htm")).substr(0, 200));
  if (const char* folder = std::getenv("PAGORIN_SCREENSHOT_DIR")) {
    QTest::qWait(300);  // the window manager's placing and the first paint
    w.window.screen()->grabWindow(0).save(QString(folder) + "/live-preview.png");
  }

  w.Live()->click();
  QVERIFY(!w.Running());
  QVERIFY(!w.Live()->isChecked());
  QCOMPARE(w.Serving(), QString());
  QVERIFY(!w.window.statusBar()->isVisibleTo(&w.window));
  QCOMPARE(Get(address + "faq.htm").status, 0L);
  QCOMPARE(w.t.ui.MessageTexts(), std::vector<std::string>{});
}

void FrmMainPreviewTest::ClosingTheProjectOrTheWindowEndsTheServer() {
  PreviewWindow w;
  std::filesystem::copy(w.t.Site(), w.t.base.Path("other"),
                        std::filesystem::copy_options::recursive);
  std::string address = w.StartServing();
  QVERIFY(!address.empty());
  w.t.ui.QueueFileName(w.t.base.Path("other/Sample.pgx"));
  Find<QAction>(&w.window, "mnuOpenProject")->trigger();
  QCOMPARE(w.t.engine.ProjectFile, w.t.base.Path("other/Sample.pgx"));
  QVERIFY(!w.Running());
  QVERIFY(!w.Live()->isChecked());
  QCOMPARE(Get(address).status, 0L);

  address = w.StartServing();
  QVERIFY(!address.empty());
  QVERIFY(Has(w.Serving().toStdString(), w.t.base.Path("other/")));
  QVERIFY(w.window.close());
  QVERIFY(!w.Running());
  QCOMPARE(Get(address).status, 0L);
  QCOMPARE(w.t.ui.MessageTexts(), std::vector<std::string>{});
}

void FrmMainPreviewTest::AServerThatCannotStartOrEndsByItselfIsReported() {
  PreviewWindow w;
  w.window.SetServeProgram(QString::fromStdString(w.t.base.Path("no-such-program")));
  w.Live()->click();
  QVERIFY(QTest::qWaitFor([&] { return !w.t.ui.messages().empty(); }, kPatience));
  QVERIFY2(w.t.ui.MessageTexts().front().starts_with("The preview server could not start:\n"),
           w.t.ui.MessageTexts().front().c_str());
  QCOMPARE(w.t.ui.messages().front().title, std::string("Live Preview"));
  QVERIFY(!w.Running());
  QVERIFY(!w.Live()->isChecked());

  // A server that stops on its own, as when its port is taken.
  const std::string script = w.t.base.Path("ends.sh");
  w.t.base.WriteFile(script,
                     "#!/bin/sh\necho \"pagorin serve: $*\"\necho 'The site cannot be "
                     "served: the port is taken.'\nexit 1\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  w.window.SetServeProgram(QString::fromStdString(script));
  w.t.ui.ClearRecords();
  w.Live()->click();
  QVERIFY(QTest::qWaitFor([&] { return !w.t.ui.messages().empty(); }, kPatience));
  QCOMPARE(w.t.ui.MessageTexts(),
           std::vector<std::string>{"The preview server ended:\npagorin serve: serve " +
                                    w.t.Site("Sample.pgx") +
                                    " --port 0\nThe site cannot be served: the port is taken."});
  QVERIFY(!w.Running());
  QVERIFY(!w.Live()->isChecked());
  QVERIFY(w.t.ui.opened_documents().empty());
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmMainPreviewTest)
#include "frm_main_preview_test.moc"
