// How the user's locale writes dates and the words true and false.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "shared/clock.h"

namespace pagorin {

class Log;

// Learnt once per run from the C library's LC_TIME locale by formatting the
// probe date 25 December 2001 with the short date format; with no locale set
// the facts are the English ones. Nothing is computed until first asked.
class LocaleFacts {
 public:
  // `log` receives the five report lines when the facts are first computed.
  explicit LocaleFacts(Log& log);
  // Facts from a given probe text (as the short date format writes
  // 25 December 2001), for tests of the pattern rules.
  LocaleFacts(Log& log, std::string probe_text);

  const std::string& TrueWord();            // upper-cased, "TRUE" in English
  const std::string& FalseWord();           // upper-cased, "FALSE" in English
  const std::string& DateFormat();          // e.g. "DD/MM/YYYY"
  const std::string& FullDateFormat();      // e.g. "DD/MMM/YYYY"
  const std::string& FullDateTimeFormat();  // e.g. "DD/MMM/YYYY HH:MM"
  const std::string& DateSeparator();       // "/", "." or "-"

  // Month names of the locale for month 1..12; an empty text for any other
  // number.
  const std::string& MonthName(int month);
  const std::string& AbbreviatedMonthName(int month);

 private:
  void checkinitialised();
  void setuplocale();

  Log& log_;
  std::string probe_;
  bool probe_given_ = false;
  bool initialised_ = false;
  std::string true_word_, false_word_, date_format_, full_date_format_, full_date_time_format_,
      separator_;
  std::array<std::string, 12> months_, short_months_;
  const std::string no_month_;
};

// The rules that turn a probe text (25 December 2001 as the short date
// format writes it) into a pattern; exposed for tests.
std::string fdateseparator(std::string_view probe_text);
std::string flocaldateformatstring(std::string_view probe_text);
std::string flocalfulldateformat(std::string_view probe_text);

// Formats a moment with the date tokens of templates and version includes:
// "YYYY", "YY" (two-digit year), "MMMM" (full month name), "MMM"
// (abbreviated), "MM" (month; minutes when it follows "HH" directly or after
// a ":"), "DD", "D", "HH"; every other character is copied.
std::string FormatDate(const LocalDateTime& when, std::string_view pattern, LocaleFacts& locale);

}  // namespace pagorin
