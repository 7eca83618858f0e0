// What every window test starts from: the engine's test environment with
// the Qt seam in place of the recording one, scripted so that no dialog
// ever waits for a person.
#pragma once

#include <filesystem>
#include <string>

#include "gui/qt_ui.h"
#include "shared/env.h"
#include "shared/progress.h"
#include "support/test_env.h"

namespace pagorin::testing {

struct GuiTestEnv {
  GuiTestEnv() {
    ui.SetScripted(true);
    ui.AttachEnv(env);
  }

  // Copies the bundled Sample project into the temporary folder and returns
  // the path of the copy's project file.
  std::string CopySample(const std::string& folder = "Sample") const {
    const std::string target = base.Path(folder);
    std::filesystem::copy(std::string(PAGORIN_SOURCE_DIR) + "/Sample", target,
                          std::filesystem::copy_options::recursive);
    return target + "/Sample.pgx";
  }

  TestEnv base;
  QtUi ui;
  ProgressIndicator progress{base.clock, ui};
  Env env{base.fs, base.clock, ui, base.log, base.locale, progress, base.paths};
};

}  // namespace pagorin::testing
