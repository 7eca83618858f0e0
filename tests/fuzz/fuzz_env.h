// The engine's services for one fuzz input: the disk under a folder of this
// process that is emptied before and after each input, the clock and the
// person of the tests' TestEnv. Unlike TestEnv it changes no environment
// variables: every change there keeps memory that libFuzzer would otherwise
// take for a leak, and check for at every input.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "shared/clock.h"
#include "shared/env.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/progress.h"
#include "shared/real_file_system.h"
#include "support/recording_ui.h"
#include "support/scripted_network.h"
#include "support/test_env.h"

namespace pagorin::fuzz {

class FuzzEnv {
 public:
  FuzzEnv()
      : root_(Fresh()),
        clock(testing::FixedNow()),
        paths{root_ + "config/pagorin/", root_ + "program/", "pagorin", "", ""},
        log(fs, clock, paths),
        locale(log),
        progress(clock, ui),
        env{fs, clock, ui, log, locale, progress, paths, net} {}
  ~FuzzEnv() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  FuzzEnv(const FuzzEnv&) = delete;
  FuzzEnv& operator=(const FuzzEnv&) = delete;

  // The folder, ending in "/", and paths inside it.
  std::string Path(const std::string& relative) const { return root_ + relative; }
  // Writes a file, creating its folders.
  void WriteFile(const std::string& path, std::string_view contents) const {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(contents.data(), static_cast<std::streamsize>(contents.size()));
  }

 private:
  static std::string Fresh() {
    const std::string root =
        (std::filesystem::temp_directory_path() / ("pagorin-fuzz-" + std::to_string(getpid())))
            .string() +
        "/";
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    std::filesystem::create_directories(root + "config/pagorin");
    std::filesystem::create_directories(root + "program");
    return root;
  }

  std::string root_;

 public:
  RealFileSystem fs;
  ManualClock clock;
  testing::RecordingUi ui;
  ProgramPaths paths;
  Log log;
  LocaleFacts locale;
  ProgressIndicator progress;
  testing::ScriptedNetwork net;
  Env env;
};

}  // namespace pagorin::fuzz
