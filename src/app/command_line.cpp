#include "app/command_line.h"

#include "shared/text.h"

namespace pagorin {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool only_paths = false;
  for (const std::string& arg : args) {
    if (!only_paths) {
      if (EqualsNoCase(arg, "/AUTO") || arg == "--auto") {
        line.auto_run = true;
        continue;
      }
      if (arg == "--help" || arg == "-h") {
        line.help = true;
        continue;
      }
      if (arg == "--version") {
        line.version = true;
        continue;
      }
      if (arg == "--changed") {
        line.changed_only = true;
        continue;
      }
      if (arg == "--") {
        only_paths = true;
        continue;
      }
      if (arg.size() > 1 && arg[0] == '-') {
        line.error = "unknown option " + arg;
        continue;
      }
    }
    std::string path = arg;
    replacewith_nc(path, "\"", "");
    if (path.empty()) {
      continue;
    }
    line.project += line.project.empty() ? path : " " + path;
  }
  line.project = Trim(line.project);
  return line;
}

std::string UsageText() {
  return "Usage: pagorin [/AUTO] [--changed] [PROJECT.pgx]\n"
         "       pagorin COMMAND ...   (\"pagorin COMMAND --help\" says more)\n"
         "Builds the web site of a Pagorin project.\n"
         "\n"
         "Commands:\n"
         "  news add       write a news item, as the Content Creator does\n"
         "  publish        send the pages to the web server by FTP, FTPS or SFTP\n"
         "  keywords       suggest (and set) a page's META keywords\n"
         "  meta           show a page's extension, description and keywords\n"
         "  tidy-meta      tidy the keyword lists of the site's META tags\n"
         "  replace        search and replace across the site's files (with undo)\n"
         "  link-titles    give the site's text links title attributes\n"
         "  copy-renumber  make numbered copies of a pattern template\n"
         "  check          look for missing files, titles and unexpanded markup\n"
         "  serve          preview the site on 127.0.0.1, rebuilt on every edit\n"
         "  update-check   ask whether a newer Pagorin is published\n"
         "\n"
         "  /AUTO, --auto  build every template of PROJECT.pgx, then exit\n"
         "  --changed      write only the pages whose text changed; the others keep\n"
         "                 their bytes and their modification time\n"
         "  -h, --help     show this help and exit\n"
         "  --version      show the version and exit\n"
         "\n"
         "Without /AUTO the main window opens on PROJECT.pgx (or the project opened\n"
         "last) when a display is available. Without a display, /AUTO builds the site\n"
         "with messages on standard error.\n"
         "\n"
         "Exit status: 0 when the build ran to its end, 1 when it stopped early or\n"
         "could not start, 2 when the command line is wrong.\n"
         "The environment variable SOURCE_DATE_EPOCH, when set, is the time written\n"
         "into pages, for reproducible builds.\n"
         "\n"
         "\"man pagorin\" describes every command; Help > Contents opens the manual.\n";
}

}  // namespace pagorin
