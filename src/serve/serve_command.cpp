#include "serve/serve_command.h"

#if PAGORIN_JEMALLOC
#include <jemalloc/jemalloc.h>
#else
#include <malloc.h>
#endif
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/build_driver.h"
#include "app/build_run.h"
#include "app/engine.h"
#include "app/program_services.h"
#include "app/project.h"
#include "app/project_paths.h"
#include "app/version_includes.h"
#include "serve/build_report.h"
#include "serve/site_server.h"
#include "serve/watched_file_system.h"
#include "shared/file_subs.h"
#include "shared/headless_ui.h"
#include "shared/paths.h"

namespace pagorin {

namespace {

constexpr int kUsageError = 2;
constexpr int kDefaultPort = 8080;
// Saving a file often comes as several events (an editor's temporary file,
// then the rename): the rebuild waits until the folders have been quiet
// this long.
constexpr int kQuietMilliseconds = 10;

constexpr const char* kUsage =
    "Usage: pagorin serve PROJECT.pgx [--port N]\n"
    "\n"
    "Builds the project's site and serves its folder on http://127.0.0.1:N/\n"
    "(8080 unless given; 0 takes any free port). Whenever a file of the\n"
    "Templates or Includes folder (or a folder in them) or a .txt file of the\n"
    "site folder (news and version lists) changes, the site is built again\n"
    "and every page open in a browser reloads itself; a failed build is shown\n"
    "in the browser. Ctrl+C ends.\n"
    "\n"
    "Options:\n"
    "  --port N   the port to listen on\n"
    "  -h, --help show this help\n"
    "\n"
    "Exit status: 0 when ended by Ctrl+C, 1 when the project cannot be opened or\n"
    "the port cannot be listened on, 2 for a command line that cannot be used.\n";

// The headless seam that also keeps the messages of the running build, so
// a failed build can be shown in the browser.
class RecordingServeUi final : public HeadlessUi {
 public:
  Answer ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                     Icon icon) override {
    recorded_.push_back(text);
    return HeadlessUi::ShowMessage(text, buttons, title, icon);
  }
  void ShowErrorReport(const std::string& error_text, const std::string& help_topic) override {
    recorded_.push_back(error_text);
    HeadlessUi::ShowErrorReport(error_text, help_topic);
  }
  std::optional<std::string> ChooseFile(const FileRequest&) override { return std::nullopt; }
  // The progress bar would mix with the server's own lines.
  void DrawStatus(StatusStrip, const StatusFrame&) override {}

  std::vector<std::string> TakeRecorded() { return std::exchange(recorded_, {}); }

 private:
  std::vector<std::string> recorded_;
};

struct ServeLine {
  std::string project;
  int port = kDefaultPort;
  bool help = false;
  std::string error;
};

ServeLine ParseServeLine(const std::vector<std::string>& args) {
  ServeLine line;
  for (size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      line.help = true;
    } else if (arg == "--port") {
      if (i + 1 == args.size()) {
        line.error = "--port needs a number";
        break;
      }
      const std::string& value = args[++i];
      char* end = nullptr;
      const long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 0 || port > 65535) {
        line.error = "--port takes a number from 0 to 65535, not " + value;
      }
      line.port = static_cast<int>(port);
    } else if (arg.starts_with("-")) {
      line.error = "unknown option " + arg;
    } else if (line.project.empty()) {
      line.project = arg;
    } else {
      line.error = "unexpected argument " + arg;
    }
  }
  if (line.error.empty() && !line.help && line.project.empty()) {
    line.error = "name the project file";
  }
  return line;
}

// The template whose page was being built when the build stopped; empty
// when none matches.
std::string FailingTemplate(const BuildRun& run) {
  const Engine& engine = run.engine;
  for (const TemplateEntry& entry : engine.ListView1.entries()) {
    if (BuildWebFilename(engine, entry.tag) == run.CurrentPageFile) {
      return entry.tag;
    }
  }
  return {};
}

// Tells the open pages as soon as every page of the build is made: those
// still waiting for the disk are answered from the page writer's queue. The
// events of the build's own writes (news and version includes, all made
// before the pages) are taken first, so an edit made as soon as a page
// reloads is never taken for one of them.
class TellWhenMade final : public PagesInFlight {
 public:
  TellWhenMade(WatchedFileSystem& disk, SiteServer& server) : disk_(disk), server_(server) {}
  void AllQueued(PageWriterThread& writer) override {
    edited_ = disk_.TakeEvents();
    server_.AnswerQueued(&writer);
    server_.BuildEnded({});
    told_ = true;
  }
  void WriterEnding() override { server_.AnswerQueued(nullptr); }

  bool told() const { return told_; }
  // Whether the events taken at AllQueued held an edit.
  bool edited() const { return edited_; }

 private:
  WatchedFileSystem& disk_;
  SiteServer& server_;
  bool told_ = false;
  bool edited_ = false;
};

// A build that made every page leaves the heap strewn with the free pieces
// its pages were made of: while nothing waits, they go back to the system,
// so a server that rebuilt 10,000 pages stays near 80 MB.
void ReturnFreeMemory() {
#if PAGORIN_JEMALLOC
  const std::string purge = "arena." + std::to_string(MALLCTL_ARENAS_ALL) + ".purge";
  mallctl(purge.c_str(), nullptr, nullptr, nullptr, 0);
#else
  malloc_trim(0);
#endif
}

// Builds the site and tells the open pages; true when a file was edited
// during the build, which it may have missed. The events waiting are taken
// first, so the build's answers from memory reflect every edit made until
// then.
bool Build(Engine& engine, RecordingServeUi& ui, WatchedFileSystem& disk, SiteServer& server) {
  const auto start = std::chrono::steady_clock::now();
  // Pages whose text did not change keep their files, so a rebuild after an
  // edit writes only what the edit changed, and compiles only the pages
  // made from what it changed.
  engine.changed_only = true;
  disk.TakeEvents();
  BuildRun run(engine);
  // The template list is made again only when the Templates folder gained,
  // lost or renamed a file since it was last made: a 10,000-name list costs
  // 10,000 allocations.
  run.template_list_current = !engine.ListView1.empty() && disk.ListingKnown(TemplatesDir(engine));
  TellWhenMade teller(disk, server);
  run.pages_in_flight = &teller;
  const bool built = BuildPages(run, /*selected_only=*/false);
  const bool edited = disk.TakeEvents() || teller.edited();
  std::vector<std::string> messages = ui.TakeRecorded();
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
  if (built) {
    if (!teller.told()) {
      server.BuildEnded({});
    }
    std::printf("Built the site in %lld ms (%d pages compiled, %d unchanged)\n",
                static_cast<long long>(milliseconds), run.pages_compiled, run.pages_unchanged);
  } else {
    if (messages.empty()) {
      messages.push_back("The build stopped before its end; the log " +
                         engine.env.log.LogFilePath() + " says why.");
    }
    const std::string failing = FailingTemplate(run);
    const std::string chain =
        MissingIncludeChain(messages.front(), failing.empty() ? "" : TemplatesDir(engine) + failing,
                            IncludesDir(engine));
    const std::string page = run.CurrentPageFile.empty() ? "" : fileonly(run.CurrentPageFile);
    server.BuildEnded(BuildErrorPage(messages, page, chain));
    std::printf("The build failed; the browser shows why\n");
  }
  std::fflush(stdout);
  ReturnFreeMemory();
  return edited;
}

int Serve(Engine& engine, RecordingServeUi& ui, WatchedFileSystem& disk, const ServeLine& line,
          int signals) {
  const std::string site = GetProjectPath(engine);
  // Only the .txt files of the site folder (news and version lists) start a
  // rebuild, but the status of its pages is remembered too. News items are
  // templates and includes.
  const FolderWatcher::Options sources{.subfolders = true, .suffix = ""};
  const FolderWatcher::Options lists{.subfolders = false, .suffix = ".txt"};
  bool watching = disk.Watch(TemplatesDir(engine), sources);
  watching = disk.Watch(IncludesDir(engine), sources) && watching;
  watching = disk.Watch(site, lists) && watching;
  const std::string versions = VersionListFile(engine);
  if (!versions.empty()) {
    const std::filesystem::path folder = std::filesystem::path(versions).parent_path();
    if (!folder.empty() && folder != std::filesystem::path(site).parent_path()) {
      watching = disk.Watch(folder.string(), lists) && watching;
    }
  }
  if (!watching) {
    engine.env.ui.ShowMessage(
        "Some of the site's folders cannot be watched; edits there are not seen.");
  }
  SiteServer server(site, engine.ProjectFile);
  std::string error;
  if (!server.Start(line.port, &error)) {
    engine.env.ui.ShowMessage("The site cannot be served: " + error + ".");
    return 1;
  }
  std::printf("Serving %s on http://127.0.0.1:%d/ (Ctrl+C ends)\n", site.c_str(), server.port());
  bool due = Build(engine, ui, disk, server);
  for (;;) {
    pollfd waits[2] = {{signals, POLLIN, 0}, {disk.fd(), POLLIN, 0}};
    if (poll(waits, 2, due ? 0 : -1) < 0) {
      continue;
    }
    if ((waits[0].revents & POLLIN) != 0) {
      // Taken, so that it does not end the program once unblocked.
      signalfd_siginfo taken;
      if (read(signals, &taken, sizeof taken) < 0) {
        taken = {};
      }
      break;
    }
    if ((waits[1].revents & POLLIN) != 0 && disk.TakeEvents()) {
      due = true;
    }
    if (!due) {
      continue;
    }
    pollfd quiet = {disk.fd(), POLLIN, 0};
    while (poll(&quiet, 1, kQuietMilliseconds) > 0) {
      disk.TakeEvents();
    }
    due = Build(engine, ui, disk, server);
  }
  server.Stop();
  std::printf("Stopped\n");
  return 0;
}

}  // namespace

int RunServeCommand(const std::vector<std::string>& args) {
  const ServeLine line = ParseServeLine(args);
  if (line.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!line.error.empty()) {
    std::fprintf(stderr, "pagorin serve: %s\n%s", line.error.c_str(), kUsage);
    return kUsageError;
  }
  // Ctrl+C is read from a descriptor, so every thread started from here on
  // (the page writer, the server's) leaves it to the main loop.
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &ending, &before);
  const int signals = signalfd(-1, &ending, SFD_CLOEXEC);

  RecordingServeUi ui;
  bool valid = true;
  const std::optional<TimePoint> fixed_now =
      ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), &valid);
  int status = 1;
  {
    ProgramServices services(ui, fixed_now);
    // The engine's disk remembers what it was told in the watched folders,
    // so a rebuild asks the disk only about what an edit changed.
    const Env& real = services.env();
    WatchedFileSystem disk(real.fs);
    Env env{disk, real.clock, real.ui, real.log, real.locale, real.progress, real.paths, real.net};
    Engine engine(env);
    std::error_code ignored;
    const std::filesystem::path project = std::filesystem::absolute(line.project, ignored);
    if (!FileSubs(engine.env).FileExists(line.project)) {
      engine.env.ui.ShowMessage(line.project + " does not exist.");
    } else {
      engine.ProjectFile = project.lexically_normal().string();
      if (LoadProjectFile(engine, engine.ProjectFile)) {
        const std::string problem = SiteFolderProblem(engine);
        if (!problem.empty()) {
          engine.env.ui.ShowMessage(problem);
        } else {
          status = Serve(engine, ui, disk, line, signals);
        }
      }
    }
  }
  close(signals);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return status;
}

}  // namespace pagorin
