#include "gui/desktop_program.h"

#include <QApplication>
#include <QStyleFactory>
#include <cstdlib>
#include <memory>
#include <string_view>

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

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

constexpr long long kSplashPauseMs = 500;

}  // namespace

bool DisplayAvailable() {
  if (IsSet("QT_QPA_PLATFORM")) {
    // These two draw nowhere: nobody could answer a message box there.
    const std::string_view platform = std::getenv("QT_QPA_PLATFORM");
    return platform != "offscreen" && platform != "minimal";
  }
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

int RunDesktop(const CommandLine& line) {
  // The command line is already read; Qt gets only the program's name, so
  // that a project path can never be taken for one of Qt's own options.
  int argc = 1;
  char program[] = "pagorin";
  char* argv[] = {program, nullptr};
  QApplication application(argc, argv);
  QApplication::setApplicationName("Pagorin");
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
