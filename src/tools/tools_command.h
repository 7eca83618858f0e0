// The maintenance tools as subcommands of the pagorin executable, for
// scripts:
//   pagorin keywords PROJECT TEMPLATE [--set] [--rename]
//   pagorin meta PROJECT TEMPLATE
//   pagorin tidy-meta PROJECT [--yes]
//   pagorin replace PROJECT --search OLD --with NEW [--wildcard] [--folder DIR] [--dry-run]
//   pagorin replace PROJECT --undo
//   pagorin link-titles PROJECT
//   pagorin copy-renumber PROJECT [--yes]
//   pagorin check PROJECT [--json]
// Each runs the same engine operation as the main window, with messages on
// standard error ("pagorin: TEXT") and questions answered Yes only with
// --yes. Exit status 0 on success, 1 when the tool refused or failed, 2 for
// a command line that cannot be used.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace pagorin {

struct Engine;

// A tool's command line: its positional arguments, the options with a
// value and the flags given.
struct ToolLine {
  bool help = false;
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::vector<std::string> flags;
  // Why the line cannot be used; empty when it can.
  std::string error;

  bool Has(const std::string& flag) const;
};

// One tool: its name, what its line takes and what it does.
struct ToolCommand {
  const char* name;
  const char* usage;  // the help text
  std::vector<std::string> positional_names;
  std::vector<std::string> value_options;
  std::vector<std::string> flag_options;
  // Runs the tool on an engine whose project is open; the exit status.
  int (*run)(Engine& engine, const ToolLine& line);
};

const std::vector<ToolCommand>& ToolCommands();

// Options take their value as the next argument or after "=".
ToolLine ParseToolLine(const ToolCommand& command, const std::vector<std::string>& args);

// Opens the project the line names and runs the tool; the exit status.
int RunTool(Engine& engine, const ToolCommand& command, const ToolLine& line);

// The subcommands with the real services; `args` follow the tool's name.
int RunKeywordsCommand(const std::vector<std::string>& args);
int RunMetaCommand(const std::vector<std::string>& args);
int RunTidyMetaCommand(const std::vector<std::string>& args);
int RunReplaceCommand(const std::vector<std::string>& args);
int RunLinkTitlesCommand(const std::vector<std::string>& args);
int RunCopyRenumberCommand(const std::vector<std::string>& args);
int RunCheckCommand(const std::vector<std::string>& args);

}  // namespace pagorin
