// The dollar variables that tell the current date ($FILECHANGE, $SHORTDATE,
// $LONGDATE), which every file of every page may ask for.
#pragma once

#include <chrono>
#include <string>

#include "shared/clock.h"
#include "shared/locale_facts.h"

namespace pagorin {

// Formats the three texts once per second of the clock: asked again within
// the same second, it gives the texts it made before.
class CurrentDateTexts {
 public:
  struct Texts {
    std::string file_change;  // "YYYYMMDD;HHMM0000"
    std::string short_date;   // "D/MMM/YYYY"
    std::string long_date;    // "MMMM D, YYYY"
  };

  // Valid until the next call.
  const Texts& At(TimePoint now, LocaleFacts& locale);

 private:
  bool made_ = false;
  std::chrono::time_point<std::chrono::system_clock, std::chrono::seconds> second_{};
  Texts texts_;
};

// "YYYYMMDD;HHMM0000": the form of $FILECREATE and $FILECHANGE.
std::string DateStamp(const LocalDateTime& when, LocaleFacts& locale);

}  // namespace pagorin
