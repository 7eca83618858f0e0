#include "app/program_services.h"

#include <cerrno>
#include <cstdlib>

#include "shared/program_paths.h"

namespace pagorin {

namespace {

std::unique_ptr<Clock> MakeClock(std::optional<TimePoint> fixed_now) {
  if (fixed_now) {
    return std::make_unique<ManualClock>(*fixed_now);
  }
  return std::make_unique<SystemClock>();
}

}  // namespace

std::optional<TimePoint> ParseSourceDateEpoch(const char* value, bool* valid) {
  *valid = true;
  if (value == nullptr) {
    return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  const long long seconds = std::strtoll(value, &end, 10);
  if (end == value || *end != '\0' || errno != 0 || seconds < 0) {
    *valid = false;
    return std::nullopt;
  }
  return TimePoint(std::chrono::seconds(seconds));
}

ProgramServices::ProgramServices(UserInterface& ui, std::optional<TimePoint> fixed_now)
    : clock_(MakeClock(fixed_now)),
      paths_(WorkOutProgramPaths(fs_, CurrentProgramLocation())),
      log_(fs_, *clock_, paths_),
      locale_(log_),
      progress_(*clock_, ui),
      env_{fs_, *clock_, ui, log_, locale_, progress_, paths_, net_} {}

}  // namespace pagorin
