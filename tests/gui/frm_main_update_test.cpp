// The main window's update check: the timer that runs it once after start,
// and Check for Update in the project settings.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "gui/f_shared_updater.h"
#include "gui/frm_main.h"
#include "gui/frm_settings.h"
#include "gui_test_env.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::Has;
using testing::LogMessages;
using testing::ScriptedNetwork;
using testing::WhenModal;

namespace {

constexpr const char* kCurrent = "https://up.example/versions/PAGORIN_current.txt";

struct Window {
  Window() {
    StoreAppSetting(t.engine.AppSettings, "UpdateServer", "https://up.example/");
    t.base.net.ScriptHttp(kCurrent,
                          ScriptedNetwork::HttpAnswer{"9.0.0\r\nhttps://up.example/f\r\n",
                                                      {HttpOutcome::kDone, 200, 0, 0, ""}});
  }

  // Lets the update timer run out now.
  void FireTimer3() {
    auto* timer = Find<QTimer>(&window, "Timer3");
    timer->start(0);
    QTRY_VERIFY(!timer->isActive());
  }

  GuiTestEnv t;
  frmMain window{t.engine, t.ui};
};

}  // namespace

class FrmMainUpdateTest : public QObject {
  Q_OBJECT

 private slots:
  void Timer3RunsOnceHalfAMinuteAfterStart();
  void TimedCheckFollowsTheSwitchAndAsksWhenThereIsAnUpdate();
  void CheckForUpdateInTheSettingsShowsTheUpdater();
};

void FrmMainUpdateTest::Timer3RunsOnceHalfAMinuteAfterStart() {
  Window w;
  auto* timer = Find<QTimer>(&w.window, "Timer3");
  QVERIFY(timer->isActive());
  QVERIFY(timer->isSingleShot());
  QCOMPARE(timer->interval(), 30'000);
  QVERIFY(w.t.engine.Timer3Enabled);
  // No DisableAutoUpdateCheck key: the check is off.
  w.FireTimer3();
  QCOMPARE(LogMessages(w.t.base).back(), std::string("Automatic update check is disabled"));
  QVERIFY(!w.t.engine.Timer3Enabled);
  const std::size_t logged = LogMessages(w.t.base).size();
  w.FireTimer3();
  QCOMPARE(LogMessages(w.t.base).size(), logged);
  QVERIFY(w.t.base.net.http_requests.empty());

  // A build before the half minute is over stops it for the run.
  Window built;
  StoreAppSetting(built.t.engine.AppSettings, "DisableAutoUpdateCheck", false);
  built.t.engine.Timer3Enabled = false;
  built.FireTimer3();
  QVERIFY(built.t.base.net.http_requests.empty());
}

void FrmMainUpdateTest::TimedCheckFollowsTheSwitchAndAsksWhenThereIsAnUpdate() {
  const struct {
    const char* last_check;
    bool asks;
  } cases[] = {{"05/Mar/2007", true}, {"45357", false}, {"45351", true}};
  for (const auto& c : cases) {
    Window w;
    StoreAppSetting(w.t.engine.AppSettings, "DisableAutoUpdateCheck", false);
    StoreAppSetting(w.t.engine.AppSettings, "LastUpdateCheck", c.last_check);
    w.t.ui.QueueAnswer(Answer::kYes);
    // The window shows modally once the check has finished: closed as soon
    // as it is up.
    bool shown = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&shown] {
      if (auto* updater = qobject_cast<fSHAREDUpdater*>(QApplication::activeModalWidget())) {
        shown = true;
        updater->reject();
      }
    });
    watch.start();
    w.FireTimer3();
    QTest::qWait(50);
    QCOMPARE(shown, c.asks);
    QCOMPARE(w.t.base.net.http_requests.size(), size_t{c.asks ? 1u : 0u});
    QCOMPARE(w.t.ui.MessageTexts(),
             c.asks ? std::vector<std::string>{"An update is available. Would you like to view "
                                               "the details now?"}
                    : std::vector<std::string>{});
    QCOMPARE(w.t.engine.AppSettings.sGet("LastUpdateCheck").Text(),
             std::string(c.asks ? "07/Mar/2024" : c.last_check));
    // A check that ran is on disk at once.
    const std::string ini = w.t.base.paths.data_dir + "Pagorin.ini";
    QCOMPARE(w.t.base.Exists(ini) && Has(w.t.base.ReadFile(ini), "LASTUPDATECHECK,07/Mar/2024\r\n"),
             c.asks);
  }
}

void FrmMainUpdateTest::CheckForUpdateInTheSettingsShowsTheUpdater() {
  Window w;
  WhenModal<frmSettings>(
      [](frmSettings* settings) { settings->findChild<QPushButton*>("cmdCheckUpdate")->click(); });
  w.window.findChild<QAction*>("mnuSettings")->trigger();
  auto* updater = w.window.findChild<fSHAREDUpdater*>("fSHAREDUpdater");
  QVERIFY(updater != nullptr);
  QVERIFY(updater->isVisible());
  QCOMPARE(Find<QLabel>(updater, "lblUpdate")->text(), QString("Version 9.0.0 is available!"));
  QCOMPARE(w.t.base.net.http_requests.at(0).url, std::string(kCurrent));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmMainUpdateTest)
#include "frm_main_update_test.moc"
