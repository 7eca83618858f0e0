#include "gui/desktop_program.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/engine.h"
#include "app/file_type_registration.h"
#include "app/program_services.h"
#include "app/startup.h"
#include "gui/frm_main.h"
#include "gui/frm_splash.h"
#include "gui/qt_ui.h"
#include "shared/pause.h"

namespace pagorin {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Whether a server listens on the local socket `path`. A socket file left
// behind by a display server that has gone does not answer.
bool SocketAnswers(const std::string& path) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    return false;
  }
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, path.size());
  // Never blocks: a server too busy to take the connection at once is there.
  const int socket_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (socket_fd < 0) {
    return false;
  }
  const bool answers =
      ::connect(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 ||
      errno == EAGAIN || errno == EINPROGRESS;
  ::close(socket_fd);
  return answers;
}

// DISPLAY names a local X server (":1", ":1.0", "unix:1") by its socket;
// a display on another host is taken on trust.
bool X11DisplayAnswers(const std::string& socket_folder) {
  const std::string display = Variable("DISPLAY");
  const std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) {
    return false;
  }
  const std::string host = display.substr(0, colon);
  if (!host.empty() && host != "unix") {
    return true;
  }
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  return !number.empty() && SocketAnswers(socket_folder + "/X" + number);
}

bool WaylandDisplayAnswers() {
  const std::string name = Variable("WAYLAND_DISPLAY");
  if (name.empty()) {
    return false;
  }
  return SocketAnswers(name.front() == '/' ? name : Variable("XDG_RUNTIME_DIR") + "/" + name);
}

constexpr long long kSplashPauseMs = 500;

}  // namespace

bool DisplayAvailable(const std::string& x11_socket_folder) {
  const std::string platform = Variable("QT_QPA_PLATFORM");
  if (platform == "offscreen" || platform == "minimal") {
    // These draw nowhere: nobody could answer a message box there.
    return false;
  }
  if (platform.starts_with("xcb")) {
    return X11DisplayAnswers(x11_socket_folder);
  }
  if (platform.starts_with("wayland")) {
    return WaylandDisplayAnswers();
  }
  if (!platform.empty()) {
    return true;  // a platform of its own (vnc, eglfs, ...): Qt knows best
  }
  return WaylandDisplayAnswers() || X11DisplayAnswers(x11_socket_folder);
}

int RunDesktop(const CommandLine& line) {
  // The command line is already read; Qt gets only the program's name, so
  // that a project path can never be taken for one of Qt's own options.
  int argc = 1;
  char program[] = "pagorin";
  char* argv[] = {program, nullptr};
  QApplication application(argc, argv);
  QApplication::setApplicationName("Pagorin");
  // The desktop entry and icon the system knows the program by.
  QApplication::setDesktopFileName("pagorin");
  QApplication::setWindowIcon(QIcon::fromTheme("pagorin"));
  QApplication::setStyle(QStyleFactory::create("Fusion"));

  QtUi ui;
  bool valid = true;
  ProgramServices services(ui, ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), &valid));
  Env& env = services.env();
  ui.AttachEnv(env);

  auto splash = std::make_unique<frmSplash>();
  splash->show();
  ui.ProcessEvents();
  PauseMs(env, kSplashPauseMs);

  Engine engine(env);
  frmMain window(engine, ui);
  const StartOutcome outcome = Startup(engine, line, XdgDataHome());
  window.ShowEngineState();
  splash->hide();
  ui.ProcessEvents();
  splash.reset();
  if (outcome == StartOutcome::kEnd) {
    return 1;
  }

  window.show();
  if (outcome == StartOutcome::kAutoRun) {
    ui.ProcessEvents();
    const bool completed = window.GenerateAll();
    window.close();
    return completed ? 0 : 1;
  }
  QApplication::exec();
  return 0;
}

}  // namespace pagorin
