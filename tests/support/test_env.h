// A complete engine environment for one test: a fresh temporary folder, the
// disk behind a FaultyFileSystem, a clock standing at a fixed moment and a
// recording user interface.
#pragma once

#include <string>
#include <vector>

#include "shared/clock.h"
#include "shared/env.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/progress.h"
#include "support/faulty_file_system.h"
#include "support/recording_ui.h"
#include "support/scripted_network.h"

namespace pagorin {
class cSHAREDSettings;
}

namespace pagorin::testing {

// 7 March 2024, 14:35:00 local time (tests run with TZ=UTC).
TimePoint FixedNow();

class TestEnv {
 public:
  TestEnv();
  ~TestEnv();
  TestEnv(const TestEnv&) = delete;
  TestEnv& operator=(const TestEnv&) = delete;

  // The temporary folder, ending in "/", and paths inside it.
  const std::string& root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + relative; }

  // Writes a file (creating its folders) and reads one, byte for byte,
  // straight on the disk: for setting up and checking, not for the code
  // under test.
  void WriteFile(const std::string& path, const std::string& contents) const;
  std::string ReadFile(const std::string& path) const;
  bool Exists(const std::string& path) const;
  // Sets a file's modification time.
  void Touch(const std::string& path, TimePoint when) const;
  // The names in a folder, sorted.
  std::vector<std::string> List(const std::string& folder) const;

  std::string root_;
  FaultyFileSystem fs;
  ManualClock clock;
  RecordingUi ui;
  ProgramPaths paths;
  Log log;
  LocaleFacts locale;
  ProgressIndicator progress;
  ScriptedNetwork net;
  Env env;
};

// The text of a project file: `lines` ("NAME,value") with `changes` applied
// (a change replaces the lines of its name; "NAME," only removes them) and
// "PROJECTPATH,./" unless a line names it, sorted, each ending in "\r\n".
std::string ProjectText(std::vector<std::string> lines,
                        const std::vector<std::string>& changes = {});

// The messages of the log file in order, each without its time and mark.
std::vector<std::string> LogMessages(const TestEnv& t);

// Every entry of a settings store as "NAME=value", in store order.
std::vector<std::string> SettingKeys(const cSHAREDSettings& settings);

}  // namespace pagorin::testing
