#include "update/update_schedule.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/settings.h"
#include "shared/text.h"
#include "update/updater.h"

namespace pagorin {

namespace {

constexpr std::int64_t kWeek = 7;

// Days from 1 January 1970 to a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

constexpr std::array<std::string_view, 12> kEnglishMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int MonthOf(std::string_view name, LocaleFacts& locale) {
  name = TrimView(name);
  for (int month = 1; month <= 12; ++month) {
    if (EqualsNoCase(name, locale.AbbreviatedMonthName(month)) ||
        EqualsNoCase(name, kEnglishMonths[month - 1]) ||
        EqualsNoCase(name, locale.MonthName(month))) {
      return month;
    }
  }
  const std::string digits = Trim(name);
  if (!digits.empty() && digits.size() <= 2 &&
      digits.find_first_not_of("0123456789") == std::string::npos) {
    return std::stoi(digits);
  }
  return 0;
}

std::vector<std::string_view> SplitAtSlash(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t slash = text.find('/'); slash != std::string_view::npos;
       slash = text.find('/', start)) {
    parts.push_back(text.substr(start, slash - start));
    start = slash + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

bool AllDigits(std::string_view text, std::size_t min, std::size_t max) {
  text = TrimView(text);
  return text.size() >= min && text.size() <= max &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "05/Mar/2007" as a day number; false when it is no such date.
bool ParseDayMonthYear(std::string_view text, LocaleFacts& locale, std::int64_t* day_number) {
  const std::vector<std::string_view> parts = SplitAtSlash(text);
  if (parts.size() != 3 || !AllDigits(parts[0], 1, 2) || !AllDigits(parts[2], 4, 4)) {
    return false;
  }
  const int day = std::stoi(Trim(parts[0]));
  const int month = MonthOf(parts[1], locale);
  const int year = std::stoi(Trim(parts[2]));
  if (month < 1 || month > 12 || day < 1 || day > 31) {
    return false;
  }
  *day_number = DayNumber(LocalDateTime{year, month, day});
  return true;
}

}  // namespace

std::int64_t DayNumber(const LocalDateTime& date) {
  return DaysFromCivil(date.year, date.month, date.day) - DaysFromCivil(1899, 12, 30);
}

std::int64_t LastUpdateCheckDay(Env& env, const cSHAREDSettings& app_settings) {
  const std::int64_t week_ago = DayNumber(ToLocal(env.clock.Now())) - kWeek;
  const SettingValue stored = GetAppSettingWithDefault(app_settings, "LastUpdateCheck", week_ago);
  if (stored.Text().find('/') != std::string::npos) {
    std::int64_t day = week_ago;
    return ParseDayMonthYear(stored.Text(), env.locale, &day) ? day : week_ago;
  }
  return stored.AsNumber(week_ago);
}

bool TimedUpdateCheck(Env& env, const cSHAREDSettings& app_settings, Updater& updater,
                      const UpdateFiles& files) {
  if (GetAppSettingWithDefault(app_settings, "DisableAutoUpdateCheck", true).AsBool()) {
    env.log.LogEvent("Automatic update check is disabled");
    return false;
  }
  const std::int64_t today = DayNumber(ToLocal(env.clock.Now()));
  if (LastUpdateCheckDay(env, app_settings) > today - kWeek) {
    return false;
  }
  updater.CheckForUpdate(/*silent=*/true, files, "");
  return true;
}

}  // namespace pagorin
