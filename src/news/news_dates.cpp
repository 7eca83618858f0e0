#include "news/news_dates.h"

#include <algorithm>
#include <array>
#include <vector>

#include "shared/locale_facts.h"
#include "shared/text.h"

namespace pagorin {

namespace {

// Undated items sort as if dated 30 December 1899, so real dates start after.
constexpr unsigned kFirstYear = 1900;

constexpr std::array<std::string_view, 12> kEnglishMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Items keep the month names of the locale they were written in; English
// names are read as well, so a site moved between locales keeps its dates.
std::optional<unsigned> MonthNumber(std::string_view word, LocaleFacts& locale) {
  for (unsigned month = 1; month <= 12; ++month) {
    const std::string_view english = kEnglishMonths[month - 1];
    const int m = static_cast<int>(month);
    if (EqualsNoCase(word, locale.MonthName(m)) ||
        EqualsNoCase(word, locale.AbbreviatedMonthName(m)) || EqualsNoCase(word, english) ||
        EqualsNoCase(word, english.substr(0, 3))) {
      return month;
    }
  }
  return std::nullopt;
}

// The value of a run of `min_digits` to `max_digits` ASCII digits; nullopt
// otherwise.
std::optional<unsigned> Digits(std::string_view word, std::size_t min_digits,
                               std::size_t max_digits) {
  if (word.size() < min_digits || word.size() > max_digits) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(" \t\r\n,", start);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    if (stop > start) {
      words.push_back(text.substr(start, stop - start));
    }
    start = stop + 1;
  }
  return words;
}

std::optional<std::chrono::sys_days> MakeDate(std::optional<unsigned> year,
                                              std::optional<unsigned> month,
                                              std::optional<unsigned> day) {
  if (!year || !month || !day) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(*year)),
                                         std::chrono::month(*month), std::chrono::day(*day)};
  if (!date.ok() || *year < kFirstYear) {
    return std::nullopt;
  }
  return std::chrono::sys_days(date);
}

std::string TwoDigits(int number) {
  return std::string(1, char('0' + number / 10 % 10)) + char('0' + number % 10);
}

}  // namespace

std::string NewsDateText(const LocalDateTime& when, LocaleFacts& locale) {
  const int hour = when.hour % 12 == 0 ? 12 : when.hour % 12;
  return std::to_string(hour) + ":" + TwoDigits(when.minute) + (when.hour < 12 ? "am" : "pm") +
         ", " + locale.MonthName(when.month) + " " + std::to_string(when.day) + " " +
         std::to_string(when.year);
}

std::string CutTimeOfDay(std::string date_text) {
  for (const std::string_view half : {"pm", "am"}) {
    const std::size_t at = date_text.find(half);
    if (at != std::string::npos) {
      date_text.erase(0, std::min(date_text.size(), at + 3));
    }
  }
  return date_text;
}

std::optional<std::chrono::sys_days> ParseNewsDate(std::string_view text, LocaleFacts& locale) {
  const std::vector<std::string_view> words = Words(text);
  if (words.size() == 1) {
    const std::string_view iso = words[0];
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') {
      return std::nullopt;
    }
    return MakeDate(Digits(iso.substr(0, 4), 4, 4), Digits(iso.substr(5, 2), 2, 2),
                    Digits(iso.substr(8, 2), 2, 2));
  }
  if (words.size() != 3) {
    return std::nullopt;
  }
  const std::optional<unsigned> year = Digits(words[2], 4, 4);
  if (const std::optional<unsigned> month = MonthNumber(words[0], locale)) {
    return MakeDate(year, month, Digits(words[1], 1, 2));
  }
  return MakeDate(year, MonthNumber(words[1], locale), Digits(words[0], 1, 2));
}

}  // namespace pagorin
