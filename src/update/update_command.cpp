#include "update/update_command.h"

#include <cstdio>
#include <optional>

#include "app/program_services.h"
#include "shared/headless_ui.h"
#include "shared/settings.h"
#include "update/updater.h"

namespace pagorin {

namespace {

constexpr int kFailed = 1;
constexpr int kUsageError = 2;
constexpr int kNewerRelease = 3;

}  // namespace

std::string UpdateCheckUsageText() {
  return "Usage: pagorin update-check [--download DIR]\n"
         "\n"
         "Asks the release server whether a newer Pagorin is published and prints the\n"
         "answer. The server is the program setting UpdateServer (default\n" +
         std::string(kDefaultUpdateServer) +
         "); the proxy settings apply as in the windows.\n"
         "\n"
         "Options:\n"
         "  --download DIR  download a newer release into DIR; it is kept only when it is\n"
         "                  complete and matches the checksum the server announces\n"
         "  -h, --help      show this help\n"
         "\n"
         "Exit status: 0 up to date (or the release was downloaded), 1 the check or the\n"
         "download failed, 2 a command line that cannot be used, 3 a newer release is\n"
         "published (without --download).\n";
}

int RunUpdateCheckCommand(const std::vector<std::string>& args) {
  std::optional<std::string> folder;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(UpdateCheckUsageText().c_str(), stdout);
      return 0;
    }
    if (args[i] == "--download" && i + 1 < args.size() && !folder) {
      folder = args[++i];
      if (!folder->ends_with('/')) {
        *folder += '/';
      }
      continue;
    }
    const std::string problem = args[i] == "--download" && !folder
                                    ? "--download needs a folder"
                                    : "cannot use " + args[i] + " here";
    std::fprintf(stderr, "pagorin: %s\n%s", problem.c_str(), UpdateCheckUsageText().c_str());
    return kUsageError;
  }
  HeadlessUi ui;
  ProgramServices services(ui, std::nullopt);
  Env& env = services.env();
  cSHAREDSettings app_settings(env);
  LoadAppSettings(app_settings, env.paths.data_dir + "Pagorin.ini");
  Updater updater(env, app_settings);
  updater.ShowAndCheck(ReleaseFiles(app_settings), "");
  std::printf("%s\n", updater.result_text().c_str());
  if (updater.last_check() != CheckOutcome::kAvailable) {
    return updater.last_check() == CheckOutcome::kUpToDate ? 0 : kFailed;
  }
  if (!folder) {
    return kNewerRelease;
  }
  const bool downloaded = updater.Download(*folder);
  std::fflush(stdout);
  std::fprintf(downloaded ? stdout : stderr, "%s\n", updater.view().lblStatus.c_str());
  return downloaded ? 0 : kFailed;
}

}  // namespace pagorin
