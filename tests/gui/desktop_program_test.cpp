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
  void DisplayIsThereWhenSomeoneCanSeeIt();
  void AutoRunShowsTheWindowBuildsAndEnds();
};

void DesktopProgramTest::DisplayIsThereWhenSomeoneCanSeeIt() {
  const struct {
    const char *display, *wayland, *platform;
    bool available;
  } cases[] = {
      // offscreen and minimal platforms draw nowhere
      {"", "", "", false},   {":0", "", "", true},           {"", "wayland-0", "", true},
      {"", "", "xcb", true}, {":0", "", "offscreen", false}, {"", "", "minimal", false},
  };
  const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
  for (const auto& c : cases) {
    setenv("DISPLAY", c.display, 1);
    setenv("WAYLAND_DISPLAY", c.wayland, 1);
    setenv("QT_QPA_PLATFORM", c.platform, 1);
    QVERIFY2(DisplayAvailable() == c.available, c.platform);
  }
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
}

}  // namespace pagorin

QTEST_APPLESS_MAIN(pagorin::DesktopProgramTest)
#include "desktop_program_test.moc"
