// What the update tests share: a test environment with the program
// settings and one updater on it, and the log's messages without their
// times.
#pragma once

#include <string>
#include <vector>

#include "shared/settings.h"
#include "support/test_env.h"
#include "update/updater.h"

namespace pagorin::testing {

// The messages of the log file in order, each without its time and mark.
inline std::vector<std::string> LogMessages(const TestEnv& t) {
  const std::string path = t.paths.data_dir + "log.txt";
  std::vector<std::string> messages;
  if (!t.Exists(path)) {
    return messages;
  }
  const std::string text = t.ReadFile(path);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      end = text.size();
    }
    const std::string line = text.substr(start, end - start);
    const std::size_t mark = line.find(" #1");
    const std::size_t message = line.find_first_not_of(' ', mark + 3);
    messages.push_back(message == std::string::npos ? "" : line.substr(message));
    start = end + 2;
  }
  return messages;
}

// The messages after the first `before`.
inline std::vector<std::string> LogMessagesSince(const TestEnv& t, std::size_t before) {
  const std::vector<std::string> all = LogMessages(t);
  return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
}

// Every entry of the program settings as "NAME=value".
inline std::vector<std::string> SettingKeys(const cSHAREDSettings& app_settings) {
  std::vector<std::string> keys;
  for (const cSHAREDSetting& entry : app_settings.entries()) {
    keys.push_back(entry.KeyName + "=" + entry.KeyValue.Text());
  }
  return keys;
}

struct UpdateTest {
  // The locale's facts are logged when first used: that happens here.
  UpdateTest() {
    t.locale.TrueWord();
    logged_before = LogMessages(t).size();
  }

  // The log's messages since the test began.
  std::vector<std::string> Logged() const { return LogMessagesSince(t, logged_before); }
  std::vector<std::string> Keys() const { return SettingKeys(app_settings); }

  TestEnv t;
  cSHAREDSettings app_settings{t.env};
  Updater updater{t.env, app_settings};
  std::size_t logged_before = 0;
};

}  // namespace pagorin::testing
