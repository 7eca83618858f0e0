// Where the program keeps its own files, worked out once at start.
#pragma once

#include <string>

#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

// The facts of the running process that decide the program's folders.
struct ProgramLocation {
  std::string executable;       // full path of the executable
  std::string xdg_config_home;  // $XDG_CONFIG_HOME, empty when unset
  std::string home;             // $HOME, else the user's home folder
};

// The executable from /proc/self/exe and the two variables from the
// environment. An executable that cannot be read is left empty.
ProgramLocation CurrentProgramLocation();

// The data folder is the executable's own folder when Pagorin.ini exists
// there and can be written (a portable install); otherwise
// $XDG_CONFIG_HOME/pagorin/ (by default $HOME/.config/pagorin/), created here
// when missing; without either variable, the executable's folder. Creating it may fail: the paths
// are returned all the same, and the program's files there simply cannot be written.
// The installed files are looked for where the install put them relative to the executable, so
// an installed tree can be moved as a whole.
ProgramPaths WorkOutProgramPaths(FileSystem& fs, const ProgramLocation& location);

}  // namespace pagorin
