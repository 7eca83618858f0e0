// Waiting, and letting the window handle its events during long work.
#pragma once

#include "shared/clock.h"
#include "shared/env.h"

namespace pagorin {

// Lets pending window events run, but only when keyboard or mouse input is
// waiting.
void DoEventsIfInput(Env& env);

// Sleeps `milliseconds` when that is 1,000 or less (nothing for 0 or less);
// a longer wait is PauseSeconds (milliseconds / 1,000).
void PauseMs(Env& env, long long milliseconds);

// Sleeps `seconds` when that is 1 or less. A longer wait is cut into half
// seconds, each followed by DoEventsIfInput, two for every whole second, and
// then the remaining fraction of a second.
void PauseSeconds(Env& env, double seconds);

// Lets pending window events run at most once every quarter of a second, for
// loops that would otherwise hand them over far too often. One per loop (or
// per window), alive as long as the loop.
class EventThrottle {
 public:
  explicit EventThrottle(Env& env) : env_(env) {}
  EventThrottle(const EventThrottle&) = delete;
  EventThrottle& operator=(const EventThrottle&) = delete;

  // Runs the pending events when a quarter second has passed since they were
  // last run here (or on the first call), and returns whether it did.
  bool ThrottledDoEvents();

 private:
  Env& env_;
  TimePoint next_allowed_{};
};

}  // namespace pagorin
