// The desktop program: the splash window, the start-up, the main window and
// its event loop.
#pragma once

#include "app/command_line.h"

namespace pagorin {

// True when a window can be shown to someone: QT_QPA_PLATFORM names a
// platform other than "offscreen" or "minimal", or (without it) DISPLAY or
// WAYLAND_DISPLAY is set and not empty.
bool DisplayAvailable();

// Runs the program with windows. Without /AUTO the main window opens on the
// project named on the command line (or LastLoaded) and the program ends
// when it is closed (status 0). With /AUTO the window shows, Generate All is
// pressed, ProgramEnd runs and the status is 0 when the build ran to its end
// and 1 otherwise (also when there was nothing to build).
int RunDesktop(const CommandLine& line);

}  // namespace pagorin
