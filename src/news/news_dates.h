// The date texts of news items: the one the Content Creator writes, and
// reading its calendar date back.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "shared/clock.h"

namespace pagorin {

class LocaleFacts;

// "3:07pm, December 4 2024": the hour on the 12-hour clock without a leading
// zero (midnight and noon are 12), two-digit minutes, "am" or "pm", ", ",
// the locale's full month name, the day without a leading zero, the year.
std::string NewsDateText(const LocalDateTime& when, LocaleFacts& locale);

// The date text without its time of day: the part from three characters
// after the first "pm" (so it starts with the blank after the comma), then
// the same for "am". Texts without either come back unchanged.
std::string CutTimeOfDay(std::string date_text);

// The calendar date of a date text such as " December 4 2024". Blanks around
// it are ignored, month names (full or abbreviated, in the locale's language
// or in English) in any letter case, and a comma after a word. Accepted:
// "December 4 2024", "December 4, 2024", "4 December 2024" and
// "2024-12-04", for the years 1900 to 9999. nullopt when the text is none of
// these or names no real day.
std::optional<std::chrono::sys_days> ParseNewsDate(std::string_view text, LocaleFacts& locale);

}  // namespace pagorin
