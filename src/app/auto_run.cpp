#include "app/auto_run.h"

#include <cstdlib>

#include "app/build_driver.h"
#include "app/engine.h"
#include "app/file_type_registration.h"
#include "app/program_services.h"
#include "app/project_commands.h"
#include "app/startup.h"
#include "shared/headless_ui.h"
#include "shared/log.h"
#include "tools/site_check.h"

namespace pagorin {

int RunAutoBuild(Engine& engine, const CommandLine& line, const std::string& data_home) {
  const int failed_saves_before =
      engine.AppSettings.failed_saves() + engine.ProjectSettings.failed_saves();
  const StartOutcome outcome = Startup(engine, line, data_home);
  if (outcome == StartOutcome::kEnd) {
    return 1;
  }
  bool completed = true;
  engine.changed_only = line.changed_only;
  engine.keep_page_records = false;
  bool broken = false;
  if (outcome == StartOutcome::kAutoRun) {
    completed = BuildPages(engine, /*selected_only=*/false);
    if (completed && CheckAfterBuildWanted(engine)) {
      const CheckReport report = CheckSite(engine);
      broken = report.broken();
      if (broken) {
        const std::string text = CheckReportText(report);
        engine.env.ui.ShowMessage(text.substr(0, text.size() - 1));  // without its last line end
      }
    }
  }
  ProgramEnd(engine);
  if (!completed) {
    engine.env.log.DumpEvents();
  }
  // A save that failed has told the person; the run still did not do all
  // it was asked to.
  const bool saved = engine.AppSettings.failed_saves() + engine.ProjectSettings.failed_saves() ==
                     failed_saves_before;
  return completed && saved && !broken ? 0 : 1;
}

int RunHeadless(const CommandLine& line) {
  HeadlessUi ui;
  UserInterface& seam = ui;
  bool valid = true;
  const std::optional<TimePoint> fixed_now =
      ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), &valid);
  ProgramServices services(ui, fixed_now);
  if (!valid) {
    seam.ShowMessage(
        "SOURCE_DATE_EPOCH is not a whole number of seconds; the current time is used.");
  }
  Engine engine(services.env());
  const int messages_before = ui.messages_shown();
  const int status = RunAutoBuild(engine, line, XdgDataHome());
  if (status != 0 && ui.messages_shown() == messages_before) {
    seam.ShowMessage("The build stopped before its end; the log " +
                     services.env().log.LogFilePath() + " says why.");
  }
  return status;
}

}  // namespace pagorin
