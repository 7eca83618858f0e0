// The desktop start: when a window can be shown, and an unattended build
// with the window on screen.
#include "gui/desktop_program.h"

#include <QtTest>
#include <cstdlib>
#include <filesystem>

#include "support/test_env.h"

namespace pagorin {

class DesktopProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void DisplayIsThereWhenSomeoneCanSeeIt_data();
  void DisplayIsThereWhenSomeoneCanSeeIt();
  void AutoRunShowsTheWindowBuildsAndEnds();
};

void DesktopProgramTest::DisplayIsThereWhenSomeoneCanSeeIt_data() {
  QTest::addColumn<QString>("display");
  QTest::addColumn<QString>("wayland");
  QTest::addColumn<QString>("platform");
  QTest::addColumn<bool>("available");
  QTest::newRow("nothing") << ""
                           << ""
                           << "" << false;
  QTest::newRow("X") << ":0"
                     << ""
                     << "" << true;
  QTest::newRow("Wayland") << ""
                           << "wayland-0"
                           << "" << true;
  QTest::newRow("platform named") << ""
                                  << ""
                                  << "xcb" << true;
  QTest::newRow("offscreen draws nowhere") << ":0"
                                           << ""
                                           << "offscreen" << false;
  QTest::newRow("minimal draws nowhere") << ""
                                         << ""
                                         << "minimal" << false;
}

void DesktopProgramTest::DisplayIsThereWhenSomeoneCanSeeIt() {
  QFETCH(QString, display);
  QFETCH(QString, wayland);
  QFETCH(QString, platform);
  QFETCH(bool, available);
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  const QString values[] = {display, wayland, platform};
  const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
  for (int i = 0; i < 3; ++i) {
    setenv(names[i], values[i].toUtf8().constData(), 1);
  }
  QCOMPARE(DisplayAvailable(), available);
  setenv("QT_QPA_PLATFORM", saved.constData(), 1);
}

void DesktopProgramTest::AutoRunShowsTheWindowBuildsAndEnds() {
  testing::TestEnv t;  // the program's folders go to its temporary folder
  const std::string site = t.Path("Sample");
  std::filesystem::copy(std::string(PAGORIN_SOURCE_DIR) + "/Sample", site,
                        std::filesystem::copy_options::recursive);
  CommandLine line;
  line.auto_run = true;
  line.project = site + "/Sample.pgx";
  QCOMPARE(RunDesktop(line), 0);
  QVERIFY(t.Exists(site + "/index.html"));
  QVERIFY(t.Exists(site + "/rss.xml"));
  const std::string log = t.ReadFile(t.paths.data_dir + "log.txt");
  QVERIFY(log.find("Program startup") != std::string::npos);
  QVERIFY(log.find("Program end") != std::string::npos);
  QVERIFY(t.ReadFile(t.paths.data_dir + "Pagorin.ini").find("LASTLOADED," + line.project) !=
          std::string::npos);
}

}  // namespace pagorin

QTEST_APPLESS_MAIN(pagorin::DesktopProgramTest)
#include "desktop_program_test.moc"
