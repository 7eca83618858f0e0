// The real services of the running program, owned in one place: the disk,
// the clock, the log, the locale facts, the progress figures, the
// program's folders and the network. main() (and the desktop program) hold one.
#pragma once

#include <memory>
#include <optional>

#include "shared/clock.h"
#include "shared/curl_network.h"
#include "shared/env.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/progress.h"
#include "shared/real_file_system.h"
#include "shared/user_interface.h"

namespace pagorin {

// The time SOURCE_DATE_EPOCH names (whole seconds since 1970, UTC):
// nullopt when `value` is null; `*valid` is false when it is set but not a
// number of seconds (and the result nullopt).
std::optional<TimePoint> ParseSourceDateEpoch(const char* value, bool* valid);

class ProgramServices {
 public:
  // `ui` is borrowed and must outlive this object. With `fixed_now` the
  // clock stands at that moment (reproducible builds); otherwise it is the
  // system clock.
  ProgramServices(UserInterface& ui, std::optional<TimePoint> fixed_now);
  ProgramServices(const ProgramServices&) = delete;
  ProgramServices& operator=(const ProgramServices&) = delete;

  Env& env() { return env_; }

 private:
  RealFileSystem fs_;
  std::unique_ptr<Clock> clock_;
  ProgramPaths paths_;
  Log log_;
  LocaleFacts locale_;
  ProgressIndicator progress_;
  CurlNetwork net_;
  Env env_;
};

}  // namespace pagorin
