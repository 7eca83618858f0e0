#include "shared/pause.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "shared/web_link.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using std::chrono::milliseconds;

// Writes down every sleep (" 500") and every input check ("?") in order.
class TimelineClock final : public Clock {
 public:
  explicit TimelineClock(const testing::RecordingUi& ui) : ui_(ui) {}
  TimePoint Now() const override { return now_; }
  void Sleep(milliseconds duration) override {
    timeline_ += Checks() + " " + std::to_string(duration.count());
    now_ += duration;
  }
  // What happened since the last call.
  std::string Timeline() { return std::exchange(timeline_, "") + Checks(); }

 private:
  std::string Checks() {
    return std::string(ui_.input_checks - std::exchange(checks_seen_, ui_.input_checks), '?');
  }

  const testing::RecordingUi& ui_;
  int checks_seen_ = 0;
  TimePoint now_{};
  std::string timeline_;
};

class PauseTest : public ::testing::Test {
 protected:
  testing::TestEnv test;
  TimelineClock clock{test.ui};
  Env env{test.fs, clock, test.ui, test.log, test.locale, test.progress, test.paths, test.net};
};

TEST_F(PauseTest, PausesOverASecondCheckForInputEveryHalfSecond) {
  PauseMs(env, 2500);
  EXPECT_EQ(" 500? 500? 500? 500? 500", clock.Timeline());
  PauseSeconds(env, 2);
  EXPECT_EQ(" 500? 500? 500? 500?", clock.Timeline());
  // Up to a second is one sleep; nothing or less sleeps not at all.
  PauseMs(env, 1000);
  PauseMs(env, -5);
  PauseSeconds(env, 0.25);
  EXPECT_EQ(" 1000 250", clock.Timeline());
  // Events run only when input is waiting.
  DoEventsIfInput(env);
  EXPECT_EQ(0, test.ui.events_processed);
  test.ui.input_pending = true;
  PauseMs(env, 1500);
  EXPECT_EQ(2, test.ui.events_processed);
}

TEST_F(PauseTest, ThrottledEventsRunAtMostFourTimesASecond) {
  EventThrottle throttle(env);
  std::vector<bool> ran;
  for (int step = 0; step < 6; ++step) {
    ran.push_back(throttle.ThrottledDoEvents());
    clock.Sleep(milliseconds(100));
  }
  EXPECT_EQ((std::vector<bool>{true, false, false, true, false, false}), ran);
  EXPECT_EQ(2, test.ui.events_processed);
}

TEST(WebLink, OpensTheAddressOrSaysItCouldNot) {
  testing::TestEnv test;
  websitevisit(test.env, "https://example.org/");
  EXPECT_EQ(std::vector<std::string>{"https://example.org/"}, test.ui.opened_documents);
  test.ui.open_succeeds = false;
  websitevisit(test.env, "mailto:someone@example.org");
  ASSERT_EQ(1u, test.ui.messages.size());
  EXPECT_EQ("There was an ERROR?", test.ui.messages[0].text);
  EXPECT_EQ("Open URL Error", test.ui.messages[0].title);
  EXPECT_EQ(Icon::kExclamation, test.ui.messages[0].icon);
}

}  // namespace
}  // namespace pagorin
