// Time as the engine sees it: the wall clock for dates, and waiting.
#pragma once

#include <chrono>

#include "shared/file_system.h"

namespace pagorin {

// Abstract so that tests can fix the date written into pages and skip waits.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimePoint Now() const = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
 public:
  TimePoint Now() const override { return std::chrono::system_clock::now(); }
  void Sleep(std::chrono::milliseconds duration) override;
};

// A clock that stands still until told otherwise; Sleep moves it forward by
// the time asked for, so code that waits runs at once in tests.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(TimePoint start) : now_(start) {}
  TimePoint Now() const override { return now_; }
  void Sleep(std::chrono::milliseconds duration) override { now_ += duration; }
  void Set(TimePoint when) { now_ = when; }
  void Advance(std::chrono::milliseconds duration) { now_ += duration; }

 private:
  TimePoint now_;
};

// The local calendar date and time of a moment (the process's time zone).
struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

LocalDateTime ToLocal(TimePoint when);
TimePoint FromLocal(const LocalDateTime& local);

}  // namespace pagorin
