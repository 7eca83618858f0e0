// The desktop start: when a window can be shown, and an unattended build
// with the window on screen.
#include "gui/desktop_program.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

namespace {

// A socket file at `path`; listening when `listen` is set, else left behind
// as a display server that has gone leaves it. Returns the descriptor.
int SocketFile(const std::string& path, bool listen) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (listen) {
    ::listen(fd, 1);
  } else {
    ::close(fd);
  }
  return fd;
}

}  // namespace

void DesktopProgramTest::DisplayIsThereWhenSomeoneCanSeeIt() {
  testing::TestEnv t;
  const std::string sockets = t.Path("x11");
  std::filesystem::create_directories(sockets);
  const int x_server = SocketFile(sockets + "/X7", true);
  SocketFile(sockets + "/X8", false);
  const int wayland_server = SocketFile(t.Path("wl-live"), true);
  SocketFile(t.Path("wl-gone"), false);
  setenv("XDG_RUNTIME_DIR", t.Path("").c_str(), 1);

  const struct {
    const char *display, *wayland, *platform;
    bool available;
  } cases[] = {
      {"", "", "", false},
      {":7", "", "", true},
      {":7.0", "", "xcb", true},
      {"unix:7", "", "", true},
      {":8", "", "", false},  // the socket is left, its server gone
      {":9", "", "xcb", false},
      {"otherhost:0", "", "", true},
      {"", "wl-live", "", true},
      {"", "wl-gone", "", false},
      {":8", "wl-live", "", true},
      {"", "wl-live", "xcb", false},
      {":7", "", "offscreen", false},
      {":7", "wl-live", "minimal", false},
      {"", "", "vnc", true},
  };
  const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
  for (const auto& c : cases) {
    setenv("DISPLAY", c.display, 1);
    setenv("WAYLAND_DISPLAY", c.wayland, 1);
    setenv("QT_QPA_PLATFORM", c.platform, 1);
    const std::string label = std::string(c.display) + " " + c.wayland + " " + c.platform;
    QVERIFY2(DisplayAvailable(sockets) == c.available, label.c_str());
  }
  setenv("QT_QPA_PLATFORM", saved.constData(), 1);
  ::close(x_server);
  ::close(wayland_server);
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
