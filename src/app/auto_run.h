// The unattended build: `pagorin /AUTO project.pgx` without windows.
#pragma once

#include "app/command_line.h"

namespace pagorin {

struct Engine;

// Start-up, a build of every template, then ProgramEnd. Returns the exit
// status: 0 when the build ran to its end and every save of the settings and
// the project succeeded, 1 when it stopped early, could not start or a save
// failed. A project with CheckAfterBuild True has its site checked after a
// build that ran to its end; a broken site shows the report as a message and
// gives 1 as well. When the build stopped without a message of its own, the
// log's stored records are written out and one message names the log.
int RunAutoBuild(Engine& engine, const CommandLine& line, const std::string& data_home);

// The whole headless program: the real services with messages on standard
// error, the clock at SOURCE_DATE_EPOCH when that is set, then RunAutoBuild.
int RunHeadless(const CommandLine& line);

}  // namespace pagorin
