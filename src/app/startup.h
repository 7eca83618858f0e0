// What the program does from its start until the person (or the unattended
// build) takes over.
#pragma once

#include <string>

#include "app/command_line.h"

namespace pagorin {

struct Engine;

enum class StartOutcome {
  kInteractive,  // the window takes over
  kAutoRun,      // build every template, then ProgramEnd
  kEnd,          // nothing to do: a message has said why; the program ends
};

// The start-up steps after the splash window: a fresh log ("Program
// startup"), no project, the program settings loaded from the data folder,
// the file type registered under `data_home`, then the project named on the
// command line (opened without an existence check) or, without one, the
// LastLoaded project when it exists (default: the installed Sample, else
// "Sample/Sample.pgx"); the template list filled.
//
// With /AUTO: no project path shows "Please specify the project file to
// auto-run"; a project file that does not exist or is refused also ends the
// program — there is nothing to build, and nothing is written.
StartOutcome Startup(Engine& engine, const CommandLine& line, const std::string& data_home);

}  // namespace pagorin
