// The command line of the pagorin executable:
//   pagorin [/AUTO] [--changed] [project.pgx]
#pragma once

#include <string>
#include <vector>

namespace pagorin {

struct CommandLine {
  bool auto_run = false;      // "/AUTO" in any letter case, or "--auto"
  bool help = false;          // "--help" or "-h"
  bool version = false;       // "--version"
  bool changed_only = false;  // "--changed": the build keeps pages that hold their text
  // The project file, double quotes removed; empty when none was given.
  // Words that are not switches are joined with one blank, so a path with
  // blanks typed without quotes still names its file.
  std::string project;
  // Why the line cannot be used (an unknown option); empty when it can.
  std::string error;
};

// `args` are the arguments after the program's name. A switch is recognised
// only as a whole argument, never inside a path: "/home/auto/site.pgx" and
// "/AUTO/site.pgx" are paths. After "--" every argument is a path.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

}  // namespace pagorin
