// What the update tests share: a test environment with the program
// settings and one updater on it.
#pragma once

#include <string>
#include <vector>

#include "shared/settings.h"
#include "support/test_env.h"
#include "update/updater.h"

namespace pagorin::testing {

// The messages after the first `before`.
inline std::vector<std::string> LogMessagesSince(const TestEnv& t, std::size_t before) {
  const std::vector<std::string> all = LogMessages(t);
  return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
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
