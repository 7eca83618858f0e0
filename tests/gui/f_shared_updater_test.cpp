// The updater window: what a check shows, the details, the downloads with
// their question, the proxy button and the switch written on closing.
#include "gui/f_shared_updater.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "gui/f_shared_proxy.h"
#include "gui_test_env.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::ScriptedNetwork;
using testing::SettingKeys;
using testing::WhenModal;

namespace {

const UpdateFiles kFiles{"https://up.example/versions/PAGORIN_current.txt",
                         "https://up.example/versions/PAGORIN_details.txt", "PagorinUpd.tar.gz"};
constexpr const char* kRelease = "https://up.example/files/pagorin-210.tar.gz";

void Serve(GuiTestEnv& t, const std::string& url, const std::string& body) {
  t.base.net.ScriptHttp(url,
                        ScriptedNetwork::HttpAnswer{body, {HttpOutcome::kDone, 200, 0, 0, ""}});
}

QString Label(QWidget* window, const char* name) {
  return Find<QLabel>(window, name)->text();
}

bool Enabled(QWidget* window, const char* name) {
  return Find<QPushButton>(window, name)->isEnabled();
}

// The window after a check of 1.0.0 that found 2.1.0, with `release` served
// as its download.
struct CheckedWindow {
  explicit CheckedWindow(const std::string& release) {
    Serve(t, kFiles.current_url, "2.1.0\nhttps://up.example/files/pagorin-@@@.tar.gz");
    Serve(t, kRelease, release);
    window.updater().ShowAndCheck(kFiles, "1.0.0");
  }
  GuiTestEnv t;
  fSHAREDUpdater window{t.env, t.engine.AppSettings};
};

}  // namespace

class FSharedUpdaterTest : public QObject {
  Q_OBJECT

 private slots:
  void AvailableUpdateInGreenWithItsButtons();
  void UpToDateOrFailedInRed();
  void DownloadAndInstallAsksAndHandsOver();
  void ProxyButtonOpensTheProxyDialog();
  void ClosingWritesTheSwitch();
};

void FSharedUpdaterTest::AvailableUpdateInGreenWithItsButtons() {
  GuiTestEnv t;
  Serve(t, kFiles.current_url, "2.1.0\r\nhttps://up.example/files/pagorin-@@@.tar.gz\r\n");
  Serve(t, kFiles.details_url,
        "Version 2.1.0\n\n- Pages are written while the next one is compiled.\n- News lists by "
        "tag.\n- Downloads are checked against their SHA-256 before they are kept.\n");
  fSHAREDUpdater window(t.env, t.engine.AppSettings);
  QVERIFY(window.updater().ShowAndCheck(kFiles, "1.0.50"));
  QVERIFY(window.isVisible());
  QCOMPARE(window.windowTitle(), QString("Pagorin Updater"));
  QCOMPARE(Label(&window, "lblProgram"), QString("Pagorin version 1.0.50"));
  QCOMPARE(Label(&window, "lblUpdate"), QString("Version 2.1.0 is available!"));
  QCOMPARE(Find<QLabel>(&window, "lblUpdate")->styleSheet(), QString("color: rgb(0, 128, 0);"));
  QCOMPARE(Label(&window, "lblStatus"), QString("Version 2.1.0 is available!"));
  for (const char* button : {"cmdCheckAgain", "cmdShowDetail", "cmdDownload", "cmdDownloadInstall",
                             "cmdProxy", "cmdExit"}) {
    QVERIFY2(Enabled(&window, button), button);
  }
  QVERIFY(!Enabled(&window, "cmdStop"));
  QVERIFY(Find<QCheckBox>(&window, "chkDisableAutoUpdate")->isChecked());

  Find<QPushButton>(&window, "cmdShowDetail")->click();
  QCOMPARE(Find<QPlainTextEdit>(&window, "txtDetails")->toPlainText(),
           QString("Version 2.1.0\n\n- Pages are written while the next one is compiled.\n- News "
                   "lists by tag.\n- Downloads are checked against their SHA-256 before they are "
                   "kept.\n"));
  const QByteArray folder = qgetenv("PAGORIN_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    QTest::qWait(200);
    window.grab().save(QString::fromUtf8(folder) + "/updater.png");
  }
}

void FSharedUpdaterTest::UpToDateOrFailedInRed() {
  const struct {
    const char* served;  // nullptr: unreachable
    QString result;
    QString status;
  } cases[] = {
      {"1.0.50\r\nhttps://up.example/f", "You're up to date!",
       "Latest available version is 1.0.50"},
      {nullptr, "Could not retrieve update status",
       "Update check failed, could not retrieve update information"},
  };
  for (const auto& c : cases) {
    GuiTestEnv t;
    if (c.served != nullptr) {
      Serve(t, kFiles.current_url, c.served);
    }
    fSHAREDUpdater window(t.env, t.engine.AppSettings);
    QVERIFY(!window.updater().ShowAndCheck(kFiles, "1.0.50"));
    QCOMPARE(Label(&window, "lblUpdate"), c.result);
    QCOMPARE(Find<QLabel>(&window, "lblUpdate")->styleSheet(), QString("color: rgb(192, 0, 0);"));
    QCOMPARE(Label(&window, "lblStatus"), c.status);
    QVERIFY(Enabled(&window, "cmdCheckAgain"));
    QVERIFY(!Enabled(&window, "cmdDownload"));
    QVERIFY(!Enabled(&window, "cmdDownloadInstall"));
    // Check Again asks the same server again.
    Find<QPushButton>(&window, "cmdCheckAgain")->click();
    QCOMPARE(t.base.net.http_requests.size(), size_t{2});
  }
}

void FSharedUpdaterTest::DownloadAndInstallAsksAndHandsOver() {
  for (const Answer answer : {Answer::kNo, Answer::kYes}) {
    CheckedWindow w(std::string(30'000, 'p'));
    QSignalSpy install(&w.window, &fSHAREDUpdater::InstallFile);
    w.t.ui.QueueAnswer(answer);
    Find<QPushButton>(&w.window, "cmdDownloadInstall")->click();
    const std::string saved = w.t.base.paths.data_dir + "PagorinUpd.tar.gz";
    QCOMPARE(
        w.t.ui.MessageTexts(),
        std::vector<std::string>{"The update has been downloaded. Do you want to install it now?"});
    QCOMPARE(w.t.base.ReadFile(saved), std::string(30'000, 'p'));
    QCOMPARE(install.count(), answer == Answer::kYes ? 1 : 0);
    QCOMPARE(w.window.isVisible(), answer == Answer::kNo);
    if (answer == Answer::kNo) {
      QCOMPARE(Label(&w.window, "lblStatus"), QString::fromStdString("File saved to " + saved));
    }
  }
  // Closing the window while the download runs stops it, then closes.
  {
    CheckedWindow w(std::string(30'000, 'p'));
    bool closed_while_running = false;
    w.window.updater().events.changed = [&] {
      if (!closed_while_running && w.window.updater().view().download_size == 0 &&
          Find<QPushButton>(&w.window, "cmdStop")->isEnabled()) {
        closed_while_running = true;
        w.window.close();
        QVERIFY(w.window.isVisible());
      }
    };
    Find<QPushButton>(&w.window, "cmdDownload")->click();
    QVERIFY(closed_while_running);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(Label(&w.window, "lblStatus"), QString("Error - Download failed."));
    QVERIFY(!w.t.base.Exists(w.t.base.paths.data_dir + "PagorinUpd.tar.gz"));
  }
  // Download alone keeps the file and says where.
  CheckedWindow w("<HTML>Gone</HTML>");
  Find<QPushButton>(&w.window, "cmdDownload")->click();
  QCOMPARE(Label(&w.window, "lblStatus"), QString("Error - File not found on server."));
  QVERIFY(!w.t.base.Exists(w.t.base.paths.data_dir + "PagorinUpd.tar.gz"));
  QVERIFY(w.t.ui.MessageTexts().empty());
}

void FSharedUpdaterTest::ProxyButtonOpensTheProxyDialog() {
  GuiTestEnv t;
  fSHAREDUpdater window(t.env, t.engine.AppSettings);
  window.show();
  bool opened = false;
  WhenModal<fSHAREDProxy>([&opened](fSHAREDProxy* proxy) {
    opened = true;
    proxy->findChild<QRadioButton*>("optDefault")->click();
    proxy->findChild<QPushButton*>("cmdOK")->click();
  });
  Find<QPushButton>(&window, "cmdProxy")->click();
  QVERIFY(opened);
  QCOMPARE(t.engine.AppSettings.sGet("ProxyType").Text(), std::string("0"));
}

void FSharedUpdaterTest::ClosingWritesTheSwitch() {
  GuiTestEnv t;
  StoreAppSetting(t.engine.AppSettings, "DisableAutoUpdateCheck", false);
  Serve(t, kFiles.current_url, "1.0.0\nhttps://up.example/f");
  fSHAREDUpdater window(t.env, t.engine.AppSettings);
  window.updater().ShowAndCheck(kFiles, "1.0.0");
  auto* box = Find<QCheckBox>(&window, "chkDisableAutoUpdate");
  QVERIFY(!box->isChecked());
  box->click();
  Find<QPushButton>(&window, "cmdExit")->click();
  QVERIFY(!window.isVisible());
  QCOMPARE(SettingKeys(t.engine.AppSettings),
           (std::vector<std::string>{"DISABLEAUTOUPDATECHECK=True", "LASTUPDATECHECK=45358"}));
  window.updater().ShowAndCheck(kFiles, "1.0.0");
  Find<QCheckBox>(&window, "chkDisableAutoUpdate")->click();
  window.close();
  QCOMPARE(SettingKeys(t.engine.AppSettings),
           (std::vector<std::string>{"DISABLEAUTOUPDATECHECK=False", "LASTUPDATECHECK=45358"}));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FSharedUpdaterTest)
#include "f_shared_updater_test.moc"
