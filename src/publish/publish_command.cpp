#include "publish/publish_command.h"

#include <cstdio>

#include "app/engine.h"
#include "app/program_services.h"
#include "app/project.h"
#include "publish/upload_driver.h"
#include "shared/headless_ui.h"
#include "shared/settings.h"

namespace pagorin {

namespace {

constexpr int kCouldNotStart = 2;

// Standard error for a script: every message, and each new caption of the
// main status strip as a line of its own ("pagorin: Uploading index.html").
class PublishUi final : public HeadlessUi {
 public:
  void DrawStatus(StatusStrip strip, const StatusFrame& frame) override {
    if (strip == StatusStrip::kMain && !frame.caption.empty() && frame.caption != last_ &&
        frame.caption != "Closing file") {
      std::fprintf(stderr, "pagorin: %s\n", frame.caption.c_str());
    }
    if (strip == StatusStrip::kMain) {
      last_ = frame.caption;
    }
  }

 private:
  std::string last_;
};

}  // namespace

PublishLine ParsePublishLine(const std::vector<std::string>& args) {
  PublishLine line;
  bool in_selected = false;
  bool selected_given = false;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    const std::string& argument = args[i];
    if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--selected") {
      in_selected = selected_given = true;
      continue;
    } else if (argument == "--changed") {
      line.changed = true;
    } else if (argument == "--with-files") {
      line.with_files = true;
    } else if (argument == "--binary") {
      line.binary = true;
    } else if (argument == "--file") {
      if (i + 1 == args.size()) {
        line.error = "--file needs a path";
      } else {
        line.file = args[++i];
      }
    } else if (argument.starts_with("-")) {
      line.error = "unknown option " + argument;
    } else if (in_selected) {
      line.selected.push_back(argument);
      continue;
    } else if (line.project.empty()) {
      line.project = argument;
    } else {
      line.error = "one project file only (" + line.project + " and " + argument + ")";
    }
    in_selected = false;
  }
  if (line.help || !line.error.empty()) {
    return line;
  }
  if (line.project.empty()) {
    line.error = "name the project file";
  } else if (selected_given && line.selected.empty()) {
    line.error = "--selected needs at least one template name";
  } else if (!line.file.empty() && (selected_given || line.changed || line.with_files)) {
    line.error = "--file sends one file; --selected, --changed and --with-files are for pages";
  } else if (line.file.empty() && line.binary) {
    line.error = "--binary goes with --file";
  }
  return line;
}

std::string PublishUsageText() {
  return "Usage: pagorin publish PROJECT.pgx [--selected NAME ...] [--changed] [--with-files]\n"
         "       pagorin publish PROJECT.pgx --file PATH [--binary]\n"
         "\n"
         "Uploads the project's generated pages to its server (the FTP settings of the\n"
         "project: server, user, password and remote folder), as the main window's Upload\n"
         "All and Selected buttons do. The server address may start with ftp://, ftps://\n"
         "(FTP secured with TLS) or sftp://. Every page goes to a temporary name first and\n"
         "replaces the live page only once it arrived whole. The password is read from\n"
         "the project, never from the command line.\n"
         "\n"
         "Options:\n"
         "  --selected NAME ...  only the pages of these templates (\"index\" or\n"
         "                       \"index.template\")\n"
         "  --changed            only the files whose bytes differ from what was last sent\n"
         "                       to the same server and folder (recorded in PROJECT.uploads)\n"
         "  --with-files         the site's other files too: images, style sheets, scripts\n"
         "                       (never Templates/, Includes/ or the project file)\n"
         "  --file PATH          one file instead of the pages, into the remote folder, or\n"
         "                       its images/ folder when PATH holds an images/ folder\n"
         "  --binary             send that file in binary mode (the default is ASCII)\n"
         "  -h, --help           show this help\n"
         "\n"
         "Messages go to standard error as \"pagorin: TEXT\".\n"
         "Exit status: 0 when every file arrived, 1 when a file failed, 2 when the upload\n"
         "could not start (no project, no FTP configuration, no connection, no remote\n"
         "folder) or the command line cannot be used.\n";
}

int Publish(Engine& engine, const PublishLine& line) {
  Env& env = engine.env;
  LoadAppSettings(engine.AppSettings, env.paths.data_dir + "Pagorin.ini");
  if (!LoadNamedProject(engine, line.project,
                        line.project + " does not exist, so nothing was uploaded.")) {
    return kCouldNotStart;
  }
  RefreshTemplateList(engine);
  UploadOutcome outcome;
  if (!line.file.empty()) {
    outcome = UploadSingleFile(engine, line.file, line.binary);
  } else {
    TemplateList& list = engine.ListView1;
    list.ClearSelection();
    for (const std::string& name : line.selected) {
      bool found = false;
      for (int i = 0; i < list.count(); ++i) {
        if (list.at(i).tag == name || list.at(i).text == name) {
          list.SetSelected(i, true);
          found = true;
        }
      }
      if (!found) {
        env.ui.ShowMessage(name + " is not a template of this project, so nothing was uploaded.");
        return kCouldNotStart;
      }
    }
    UploadOptions options;
    options.confirmed = true;
    options.changed_only = line.changed;
    options.with_files = line.with_files;
    const UploadReport report = cmdUpload_Click(engine, line.selected.empty() ? 1 : 0, options);
    outcome = report.outcome;
    if (outcome == UploadOutcome::kComplete && line.changed) {
      env.ui.ShowMessage(std::to_string(report.sent) + " sent, " +
                         std::to_string(report.unchanged) + " unchanged");
    }
  }
  switch (outcome) {
    case UploadOutcome::kComplete:
    case UploadOutcome::kNothingToDo:
      return 0;
    case UploadOutcome::kFailed:
    case UploadOutcome::kStopped:
      return 1;
    case UploadOutcome::kNotStarted:
      break;
  }
  return kCouldNotStart;
}

int RunPublishCommand(const std::vector<std::string>& args) {
  const PublishLine line = ParsePublishLine(args);
  if (line.help) {
    std::fputs(PublishUsageText().c_str(), stdout);
    return 0;
  }
  if (!line.error.empty()) {
    std::fprintf(stderr, "pagorin: %s\n%s", line.error.c_str(), PublishUsageText().c_str());
    return kCouldNotStart;
  }
  PublishUi ui;
  ProgramServices services(ui, std::nullopt);
  Engine engine(services.env());
  return Publish(engine, line);
}

}  // namespace pagorin
