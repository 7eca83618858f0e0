// When the background update check runs: once, 30 seconds after start,
// when switched on, and only when the last check is a week old.
#pragma once

#include <cstdint>

#include "shared/clock.h"
#include "shared/env.h"

namespace pagorin {

class cSHAREDSettings;
class Updater;
struct UpdateFiles;

inline constexpr int kUpdateTimerMs = 30'000;

// Whole days since 30 December 1899, the day number LastUpdateCheck holds.
std::int64_t DayNumber(const LocalDateTime& date);

// LastUpdateCheck as a day number: a text holding "/" is a date
// "DD/MMM/YYYY" (the month a name of the locale or English, or a number);
// anything else a number. Absent or unreadable: today minus 7.
std::int64_t LastUpdateCheckDay(Env& env, const cSHAREDSettings& app_settings);

// The update timer's work. DisableAutoUpdateCheck (default true) logs
// "Automatic update check is disabled" and does nothing; a check within the
// last week does nothing; otherwise a silent check runs. True when it ran.
bool TimedUpdateCheck(Env& env, const cSHAREDSettings& app_settings, Updater& updater,
                      const UpdateFiles& files);

}  // namespace pagorin
