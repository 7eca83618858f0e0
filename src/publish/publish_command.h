// The "publish" subcommand of the pagorin executable, for people who publish
// from scripts:
//   pagorin publish PROJECT.pgx [--selected NAME ...] [--changed] [--with-files]
//   pagorin publish PROJECT.pgx --file PATH [--binary]
#pragma once

#include <string>
#include <vector>

namespace pagorin {

struct Engine;

struct PublishLine {
  bool help = false;
  std::string project;
  std::vector<std::string> selected;  // template names; empty: every page
  bool changed = false;
  bool with_files = false;
  std::string file;  // --file: one file instead of the pages
  bool binary = false;
  std::string error;  // why the line cannot be used; empty when it can
};

PublishLine ParsePublishLine(const std::vector<std::string>& args);
std::string PublishUsageText();

// Runs the upload that `line` asks for on the engine's services; the
// command itself is the consent to the "About to upload" question. Exit
// status: 0 when every file arrived, 1 when a file failed or the run
// stopped, 2 when it could not start (no project, no configuration, no
// connection, no remote folder, a name that is not in the template list).
int Publish(Engine& engine, const PublishLine& line);

// The whole subcommand with the real services; `args` follow "publish".
int RunPublishCommand(const std::vector<std::string>& args);

}  // namespace pagorin
