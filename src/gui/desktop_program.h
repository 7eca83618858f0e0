// The desktop program: the splash window, the start-up, the main window and
// its event loop.
#pragma once

#include <string>

#include "app/command_line.h"

namespace pagorin {

// True when a window can be shown to someone: QT_QPA_PLATFORM is not
// "offscreen" or "minimal", and the display server it names (without it:
// WAYLAND_DISPLAY's or DISPLAY's) answers on its socket, so that a stale
// DISPLAY leads to the unattended build rather than to Qt giving up. Local
// X servers listen in `x11_socket_folder`; a DISPLAY on another host is
// taken on trust.
bool DisplayAvailable(const std::string& x11_socket_folder = "/tmp/.X11-unix");

// Runs the program with windows. Without /AUTO the main window opens on the
// project named on the command line (or LastLoaded) and the program ends
// when it is closed (status 0). With /AUTO the window shows, Generate All is
// pressed, ProgramEnd runs and the status is 0 when the build ran to its end
// and 1 otherwise (also when there was nothing to build).
int RunDesktop(const CommandLine& line);

}  // namespace pagorin
