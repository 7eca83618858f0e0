#include "app/startup.h"

#include "app/engine.h"
#include "app/file_type_registration.h"
#include "app/project.h"
#include "app/sample_copy.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/settings.h"

namespace pagorin {

namespace {

StartOutcome OpenFromCommandLine(Engine& engine, const CommandLine& line) {
  Env& env = engine.env;
  if (line.auto_run && line.project.empty()) {
    env.ui.ShowMessage("Please specify the project file to auto-run", Buttons::kOk);
    return StartOutcome::kEnd;
  }
  engine.ProjectFile = line.project;
  if (line.auto_run && !FileSubs(env).FileExists(line.project) &&
      !FileSubs(env).FolderExists(line.project)) {
    const std::string text =
        "The project file " + line.project + " does not exist, so there is nothing to build.";
    env.log.LogEvent(text);
    env.ui.ShowMessage(text, Buttons::kOk);
    engine.ProjectFile.clear();
    return StartOutcome::kEnd;
  }
  if (!OpenProject(engine)) {
    return line.auto_run ? StartOutcome::kEnd : StartOutcome::kInteractive;
  }
  return line.auto_run ? StartOutcome::kAutoRun : StartOutcome::kInteractive;
}

}  // namespace

StartOutcome Startup(Engine& engine, const CommandLine& line, const std::string& data_home) {
  Env& env = engine.env;
  env.log.LogEvent("Program startup", /*new_log=*/true);
  CloseProject(engine);
  engine.AppSettingsFile = env.paths.data_dir + "Pagorin.ini";
  if (!LoadAppSettings(engine.AppSettings, engine.AppSettingsFile)) {
    // Saving would replace settings that are only out of reach for now.
    env.ui.ShowMessage(engine.AppSettingsFile +
                           " cannot be read. Pagorin starts without your settings and will not "
                           "save over them.",
                       Buttons::kOk, "Pagorin", Icon::kExclamation);
    engine.AppSettingsFile.clear();
  }
  RegisterFileType(env, data_home, CurrentSystemFolders());

  StartOutcome outcome = StartOutcome::kInteractive;
  if (line.auto_run || !line.project.empty()) {
    outcome = OpenFromCommandLine(engine, line);
  } else {
    // On a first start the installed Sample is opened, else the one in the
    // folder the program was started from.
    std::string sample = InstalledSampleProject(env);
    if (sample.empty()) {
      sample = "Sample/Sample.pgx";
    }
    engine.ProjectFile = GetAppSetting(engine.AppSettings, "LastLoaded", sample).Text();
    if (!engine.ProjectFile.empty()) {
      if (FileSubs(env).FileExists(engine.ProjectFile)) {
        OpenProject(engine);
      } else {
        engine.ProjectFile.clear();
      }
    }
  }
  if (engine.ProjectFile.empty()) {
    RefreshTemplateList(engine);
  }
  return outcome;
}

}  // namespace pagorin
