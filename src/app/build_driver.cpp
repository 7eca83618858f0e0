#include "app/build_driver.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/build_run.h"
#include "app/compile_error.h"
#include "app/engine.h"
#include "app/page_writer_thread.h"
#include "app/project.h"
#include "app/project_paths.h"
#include "app/template_compiler.h"
#include "app/version_includes.h"
#include "news/news_summaries.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/name_list.h"
#include "shared/pause.h"
#include "shared/pointer.h"
#include "shared/progress.h"

namespace pagorin {

namespace {

// What pages waiting for the disk may take of memory when they are read
// from the queue (BuildRun::pages_in_flight).
constexpr std::size_t kBytesInFlight = std::size_t{256} << 20;

// The templates to build, taken before the first one is built, so that
// whatever the window does meanwhile cannot change the run; an empty name
// is skipped.
NameList TemplatesToBuild(const Engine& engine, bool selected_only) {
  NameList tags;
  tags.reserve(engine.ListView1.entries().size());
  for (const TemplateEntry& entry : engine.ListView1.entries()) {
    tags.Add(!selected_only || entry.selected ? std::string_view(entry.tag) : std::string_view());
  }
  return tags;
}

// Pages go to disk on a thread of their own while the next one is compiled,
// when the disk takes calls from two threads and a thread can be started.
// The thread has written or given up every page when this ends.
class PagesOnTheirOwnThread {
 public:
  explicit PagesOnTheirOwnThread(BuildRun& run) : run_(run) {
    if (!run.env.fs.ThreadSafe()) {
      return;
    }
    // A few pages keep the disk busy; pages read from the queue meanwhile
    // may wait there while the rest of the site is made, up to a bound on
    // memory.
    const PageWriterThread::Room room = run.pages_in_flight == nullptr
                                            ? PageWriterThread::Room{}
                                            : PageWriterThread::Room{SIZE_MAX, kBytesInFlight};
    try {
      thread_ = std::make_unique<PageWriterThread>(run.env.fs, run.same_text, room);
      run.page_writer_thread = thread_.get();
    } catch (const std::system_error&) {
      // The pages are written as they are made.
    }
  }
  ~PagesOnTheirOwnThread() {
    if (thread_ && run_.pages_in_flight != nullptr) {
      run_.pages_in_flight->WriterEnding();
    }
    run_.page_writer_thread = nullptr;
    thread_.reset();
  }
  PagesOnTheirOwnThread(const PagesOnTheirOwnThread&) = delete;
  PagesOnTheirOwnThread& operator=(const PagesOnTheirOwnThread&) = delete;

 private:
  BuildRun& run_;
  std::unique_ptr<PageWriterThread> thread_;
};

// Builds the templates of `tags` (an empty tag is skipped), reporting the
// position in the whole list after each page.
void BuildTemplates(BuildRun& run, const NameList& tags) {
  const std::string folder = TemplatesDir(run.engine);
  const double total = static_cast<double>(tags.size());
  const PagesOnTheirOwnThread pages(run);
  std::string path = folder;  // its memory serves every page
  for (size_t i = 0; i < tags.size(); ++i) {
    if (tags.at(i).empty()) {
      continue;
    }
    path.resize(folder.size());
    path += tags.at(i);
    ParseTemplateFile(run, path);
    run.env.progress.showprogresspercent(StatusStrip::kMain, static_cast<double>(i + 1), total);
  }
  if (run.pages_in_flight != nullptr && run.page_writer_thread != nullptr) {
    run.pages_in_flight->AllQueued(*run.page_writer_thread);
  }
  FinishPages(run);
}

// Ends the run before anything was built: logged, told, CompileError.
[[noreturn]] void StopBeforeBuild(Env& env, const std::string& problem) {
  env.log.LogEvent(problem);
  env.ui.ShowMessage(problem, Buttons::kOk);
  throw CompileError(kErrFileAccess, "Path/File access error");
}

// One build run of the file cache, ended however the build ends.
class CacheRun {
 public:
  explicit CacheRun(clsCache& cache) : cache_(cache) { cache_.BeginRun(); }
  ~CacheRun() { cache_.EndRun(); }
  CacheRun(const CacheRun&) = delete;
  CacheRun& operator=(const CacheRun&) = delete;

 private:
  clsCache& cache_;
};

void RunBuild(BuildRun& run, bool selected_only) {
  Engine& engine = run.engine;
  Env& env = run.env;
  const CacheRun cache_run(engine.FileCache);
  if (!selected_only) {
    if (!run.template_list_current && !RefreshTemplateList(engine)) {
      const std::string folder = TemplatesDir(engine);
      const std::string problem =
          env.fs.Stat(folder.substr(0, folder.size() - 1)).exists
              ? "The Templates folder " + folder + " cannot be listed. Please fix and re-run."
              : "The site folder " + GetProjectPath(engine) +
                    " has no Templates folder, so there is nothing to build. Please fix and "
                    "re-run.";
      StopBeforeBuild(env, problem);
    }
    disablecontrols(engine);
    ShowBusy(env.ui);
    // Templates no longer listed need no record.
    engine.page_records.BeginListing();
    BuildTemplates(run, TemplatesToBuild(engine, false));
    engine.page_records.ForgetUnlisted();
  } else {
    disablecontrols(engine);
    ShowBusy(env.ui);
    const NameList tags = TemplatesToBuild(engine, true);
    env.progress.showprogressstring(StatusStrip::kMain, 0, static_cast<double>(tags.size()),
                                    "Building Selected");
    BuildTemplates(run, tags);
    env.progress.showprogressstring(StatusStrip::kMain, 1, 1, "Selected item(s) compiled");
  }
  enablecontrols(engine);
  ShowNormal(env.ui);
}

}  // namespace

bool BuildPages(Engine& engine, bool selected_only) {
  BuildRun run(engine);
  return BuildPages(run, selected_only);
}

bool BuildPages(BuildRun& run, bool selected_only) {
  Engine& engine = run.engine;
  Env& env = run.env;
  engine.Timer3Enabled = false;
  engine.TemplateVars.DeleteAllSettings();
  run.CurrentSiteURL = engine.ProjectSettings.sGet("WEBSITEURL").Text();
  run.same_text = BuiltFilesSameText(engine);
  // However the run ends, the next starts from the title it left.
  struct TitleCarried {
    BuildRun& run;
    ~TitleCarried() { run.engine.last_page_title = run.CurrentPageTitle; }
  } const carried{run};
  try {
    if (const std::string problem = SiteFolderProblem(engine); !problem.empty()) {
      StopBeforeBuild(env, problem);
    }
    if (engine.ProjectSettings.sGet("DoVersionsFirst", false).AsBool() &&
        !WriteVersionIncludes(engine)) {
      throw CompileError(kErrInvalidArgument, "The version includes could not be written");
    }
    // The items' files go through the cache, so that the item pages built
    // next cost only a status check each. This happens before the run
    // begins: within it the cache would not notice a list include written
    // over a file it had already read.
    const std::string unwritten = GenerateNewsSummaries(
        env, engine.ProjectSettings, GetProjectPath(engine),
        [&engine](const std::string& path) { return engine.FileCache.ReadTextOrEmpty(path); },
        run.same_text);
    if (!unwritten.empty()) {
      StopBeforeBuild(env, unwritten + " Please fix and re-run.");
    }
    RunBuild(run, selected_only);
    return true;
  } catch (const CompileError&) {
    // Whoever failed has told the person and logged it.
  } catch (const std::exception& error) {
    env.log.LogError(std::string(error.what()) + "(7)", "BuildPages", "frmMain");
  }
  enablecontrols(engine);
  ShowNormal(env.ui);
  return false;
}

void disablecontrols(Engine& engine) {
  engine.Timer1Enabled = false;
  engine.env.ui.SetControlsEnabled(false);
  engine.env.ui.ProcessEvents();
}

void enablecontrols(Engine& engine) {
  engine.env.ui.SetControlsEnabled(true);
  engine.env.ui.ProcessEvents();
  engine.Timer1Enabled = true;
}

void Timer1Tick(Engine& engine) {
  const bool listed = !engine.ListView1.empty();
  const bool selected = engine.ListView1.AnySelected();
  MainControls& controls = engine.controls;
  controls.go_all = listed;
  controls.upload_all = listed;
  controls.go_selected = selected;
  controls.upload_selected = selected;
  controls.preview = selected;
}

bool cmdPreview(Engine& engine) {
  Env& env = engine.env;
  const int selected = engine.ListView1.FirstSelected();
  if (selected < 0) {
    env.progress.showprogressstring(StatusStrip::kMain, 0, 0, "Please select a file");
    return false;
  }
  BuildRun run(engine);
  run.CurrentPageFile = BuildWebFilename(engine, engine.ListView1.at(selected).tag);
  FileSubs files(env);
  if (!files.FileExists(run.CurrentPageFile) && !BuildPages(run, true)) {
    return false;
  }
  if (!files.RunFile(run.CurrentPageFile)) {
    env.ui.ShowMessage("The page " + run.CurrentPageFile +
                           " could not be opened: no program to show web pages was found. Install "
                           "a web browser and make it the default one (xdg-open starts it), or "
                           "open the page in your browser yourself.",
                       Buttons::kOk, "Preview", Icon::kExclamation);
    return false;
  }
  PauseMs(env, 1000);
  env.progress.showprogressstring(StatusStrip::kMain, 1, 1, "Opening in browser");
  PauseMs(env, 1000);
  env.progress.showprogressstring(StatusStrip::kMain, 0, 0, " ");
  return true;
}

void cmdHelp(Engine& engine) {
  engine.env.ui.ShowMessage("Help file coming soon.", Buttons::kOk);
}

}  // namespace pagorin
