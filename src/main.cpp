// The pagorin executable: subcommands first, then the program itself —
// the desktop windows when they are built in and a display is there, else
// the unattended build.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/auto_run.h"
#include "app/command_line.h"
#include "news/news_command.h"
#include "publish/publish_command.h"
#include "serve/serve_command.h"
#include "shared/log.h"
#include "update/update_command.h"
#include "tools/tools_command.h"

#ifdef PAGORIN_WITH_GUI
#include "gui/desktop_program.h"
#endif

namespace {

// A subcommand takes the arguments after its own name and returns the exit
// status. Add one line to kSubcommands for each.
struct Subcommand {
  std::string_view name;
  int (*run)(const std::vector<std::string>& args);
};

constexpr Subcommand kSubcommands[] = {
    {"news", pagorin::RunNewsCommand},
    {"publish", pagorin::RunPublishCommand},
    {"update-check", pagorin::RunUpdateCheckCommand},
    {"keywords", pagorin::RunKeywordsCommand},
    {"meta", pagorin::RunMetaCommand},
    {"tidy-meta", pagorin::RunTidyMetaCommand},
    {"replace", pagorin::RunReplaceCommand},
    {"link-titles", pagorin::RunLinkTitlesCommand},
    {"copy-renumber", pagorin::RunCopyRenumberCommand},
    {"check", pagorin::RunCheckCommand},
    {"serve", pagorin::RunServeCommand},
};

int RunProgram(const std::vector<std::string>& args) {
  pagorin::CommandLine line = pagorin::ParseCommandLine(args);
  if (!line.error.empty()) {
    std::fprintf(stderr, "pagorin: %s\n%s", line.error.c_str(), pagorin::UsageText().c_str());
    return 2;
  }
  if (line.help) {
    std::fputs(pagorin::UsageText().c_str(), stdout);
    return 0;
  }
  if (line.version) {
    std::printf("Pagorin %s\n", pagorin::AppVersion().c_str());
    return 0;
  }
  // The project is remembered as LastLoaded, so it is kept with its folder.
  if (!line.project.empty()) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(line.project, ignored);
    if (!absolute.empty()) {
      line.project = absolute.string();
    }
  }
#ifdef PAGORIN_WITH_GUI
  if (pagorin::DisplayAvailable()) {
    return pagorin::RunDesktop(line);
  }
#endif
  if (!line.auto_run) {
    std::fputs("pagorin: no window can be shown here; use /AUTO PROJECT.pgx to build a project\n",
               stderr);
    return 2;
  }
  return pagorin::RunHeadless(line);
}

}  // namespace

int main(int argc, char** argv) {
  // Month names and the short date format follow the person's locale.
  std::setlocale(LC_TIME, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const Subcommand& subcommand : kSubcommands) {
    if (subcommand.run != nullptr && !args.empty() && args[0] == subcommand.name) {
      return subcommand.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
  }
  return RunProgram(args);
}
