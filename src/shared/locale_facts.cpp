#include "shared/locale_facts.h"

#include <langinfo.h>

#include <ctime>
#include <utility>

#include "shared/log.h"
#include "shared/text.h"

namespace pagorin {

namespace {

// 25 December 2001 as the C library's current LC_TIME locale writes it with
// its short date format. The program sets the locale at start; the engine
// only reads it.
std::string ProbeFromLocale() {
  std::tm tm{};
  tm.tm_year = 2001 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 25;
  tm.tm_hour = 12;
  char text[128];
  size_t length = std::strftime(text, sizeof text, "%x", &tm);
  return std::string(text, length);
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// 1-based position of `part`, 0 when absent.
size_t Position(std::string_view text, std::string_view part) {
  size_t found = text.find(part);
  return found == std::string_view::npos ? 0 : found + 1;
}

// "/" in a pattern becomes the separator the probe shows.
std::string WithProbeSeparator(std::string pattern, std::string_view probe_text) {
  if (Contains(probe_text, ".")) {
    pattern = ReplaceAll(pattern, "/", ".", true);
  }
  if (Contains(probe_text, "-")) {
    pattern = ReplaceAll(pattern, "/", "-", true);
  }
  return pattern;
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value % 100);
  return text.size() < 2 ? "0" + text : text;
}

constexpr int kMonthItems[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                 MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
constexpr int kShortMonthItems[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                      ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};

}  // namespace

std::string fdateseparator(std::string_view probe_text) {
  for (const char* separator : {"/", ".", "-"}) {
    if (Contains(probe_text, separator)) {
      return separator;
    }
  }
  return "/";
}

std::string flocaldateformatstring(std::string_view probe_text) {
  size_t y = Position(probe_text, "2001");
  const bool two_digit_year = y == 0;
  if (two_digit_year) {
    y = Position(probe_text, "01");
  }
  const size_t m = Position(probe_text, "12");
  const size_t d = Position(probe_text, "25");
  std::string format;
  if (y == 1) {
    format = m < d ? "YYYY/MM/DD" : "YYYY/DD/MM";
  } else {
    format = m <= d ? "MM/DD/YYYY" : "DD/MM/YYYY";
  }
  format = WithProbeSeparator(format, probe_text);
  if (two_digit_year) {
    format = ReplaceAll(format, "YYYY", "YY", true);
  }
  return format;
}

std::string flocalfulldateformat(std::string_view probe_text) {
  return WithProbeSeparator("DD/MMM/YYYY", probe_text);
}

LocaleFacts::LocaleFacts(Log& log) : log_(log) {}

LocaleFacts::LocaleFacts(Log& log, std::string probe_text)
    : log_(log), probe_(std::move(probe_text)), probe_given_(true) {}

void LocaleFacts::checkinitialised() {
  if (!initialised_) {
    setuplocale();
  }
}

void LocaleFacts::setuplocale() {
  if (initialised_) {
    return;
  }
  if (!probe_given_) {
    probe_ = ProbeFromLocale();
  }
  date_format_ = flocaldateformatstring(probe_);
  full_date_format_ = flocalfulldateformat(probe_);
  full_date_time_format_ = full_date_format_ + " HH:MM";
  separator_ = fdateseparator(probe_);
  // The C library has no words for true and false; these are the program's.
  true_word_ = UCase("True");
  false_word_ = UCase("False");
  for (size_t i = 0; i < months_.size(); ++i) {
    months_[i] = nl_langinfo(kMonthItems[i]);
    short_months_[i] = nl_langinfo(kShortMonthItems[i]);
  }
  log_.LogEvent("Date format: " + date_format_);
  log_.LogEvent("Full date format: " + full_date_format_);
  log_.LogEvent("Full date format plus time: " + full_date_time_format_);
  log_.LogEvent("Date separator: " + separator_);
  log_.LogEvent("True string: " + true_word_ + " False string: " + false_word_);
  initialised_ = true;
}

const std::string& LocaleFacts::TrueWord() {
  checkinitialised();
  return true_word_;
}

const std::string& LocaleFacts::FalseWord() {
  checkinitialised();
  return false_word_;
}

const std::string& LocaleFacts::DateFormat() {
  checkinitialised();
  return date_format_;
}

const std::string& LocaleFacts::FullDateFormat() {
  checkinitialised();
  return full_date_format_;
}

const std::string& LocaleFacts::FullDateTimeFormat() {
  checkinitialised();
  return full_date_time_format_;
}

const std::string& LocaleFacts::DateSeparator() {
  checkinitialised();
  return separator_;
}

const std::string& LocaleFacts::MonthName(int month) {
  checkinitialised();
  return month >= 1 && month <= 12 ? months_[static_cast<size_t>(month - 1)] : no_month_;
}

const std::string& LocaleFacts::AbbreviatedMonthName(int month) {
  checkinitialised();
  return month >= 1 && month <= 12 ? short_months_[static_cast<size_t>(month - 1)] : no_month_;
}

std::string FormatDate(const LocalDateTime& when, std::string_view pattern, LocaleFacts& locale) {
  std::string result;
  bool after_hour = false;  // the last token was "HH", perhaps followed by ":"
  size_t i = 0;
  while (i < pattern.size()) {
    std::string_view rest = pattern.substr(i);
    bool hour = false;
    if (rest.starts_with("YYYY")) {
      result += std::to_string(when.year);
      i += 4;
    } else if (rest.starts_with("YY")) {
      result += TwoDigits(when.year);
      i += 2;
    } else if (rest.starts_with("MMMM")) {
      result += locale.MonthName(when.month);
      i += 4;
    } else if (rest.starts_with("MMM")) {
      result += locale.AbbreviatedMonthName(when.month);
      i += 3;
    } else if (rest.starts_with("MM")) {
      result += TwoDigits(after_hour ? when.minute : when.month);
      i += 2;
    } else if (rest.starts_with("DD")) {
      result += TwoDigits(when.day);
      i += 2;
    } else if (rest.starts_with("D")) {
      result += std::to_string(when.day);
      i += 1;
    } else if (rest.starts_with("HH")) {
      result += TwoDigits(when.hour);
      hour = true;
      i += 2;
    } else {
      result += pattern[i];
      hour = after_hour && pattern[i] == ':';
      i += 1;
    }
    after_hour = hour;
  }
  return result;
}

}  // namespace pagorin
