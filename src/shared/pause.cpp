#include "shared/pause.h"

#include <algorithm>
#include <cmath>

#include "shared/user_interface.h"

namespace pagorin {

namespace {

constexpr std::chrono::milliseconds kHalfSecond{500};
constexpr std::chrono::milliseconds kThrottleInterval{250};

// Longer waits than this (about 30 years) are cut short rather than
// overflow; a wait that is not a number is no wait.
constexpr double kLongestWaitMs = 1e12;

void SleepMs(Env& env, double milliseconds) {
  if (!(milliseconds >= 0.5)) {
    return;
  }
  const double capped = std::min(milliseconds, kLongestWaitMs);
  env.clock.Sleep(std::chrono::milliseconds(std::llround(capped)));
}

}  // namespace

void DoEventsIfInput(Env& env) {
  if (env.ui.InputPending()) {
    env.ui.ProcessEvents();
  }
}

void PauseMs(Env& env, long long milliseconds) {
  if (milliseconds <= 1000) {
    SleepMs(env, static_cast<double>(milliseconds));
  } else {
    PauseSeconds(env, static_cast<double>(milliseconds) / 1000);
  }
}

void PauseSeconds(Env& env, double seconds) {
  if (!(seconds > 1)) {
    SleepMs(env, seconds * 1000);
    return;
  }
  seconds = std::min(seconds, kLongestWaitMs / 1000);
  const double whole_seconds = std::floor(seconds);
  const auto halves = 2 * static_cast<long long>(whole_seconds);
  for (long long half = 0; half < halves; ++half) {
    env.clock.Sleep(kHalfSecond);
    DoEventsIfInput(env);
  }
  SleepMs(env, (seconds - whole_seconds) * 1000);
}

bool EventThrottle::ThrottledDoEvents() {
  const TimePoint now = env_.clock.Now();
  if (now < next_allowed_) {
    return false;
  }
  env_.ui.ProcessEvents();
  next_allowed_ = now + kThrottleInterval;
  return true;
}

}  // namespace pagorin
