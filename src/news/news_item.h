// One news item as the news lists read it back from its files, and the
// marker comments that carry its values inside those files.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace pagorin {

// Each value of an item stands between its two markers with nothing added in
// between. Writing items and reading them back both use these texts, so an
// item written by one version of the program is read by every other.
inline constexpr std::string_view kTitleStart = "<!-- title -->";
inline constexpr std::string_view kTitleEnd = "<!-- end title -->";
inline constexpr std::string_view kDateStart = "<!-- date -->";
inline constexpr std::string_view kDateEnd = "<!-- end date -->";
inline constexpr std::string_view kStoryStart = "<!-- story -->";
inline constexpr std::string_view kStoryEnd = "<!-- end story -->";
inline constexpr std::string_view kTagsStart = "<!-- tags -->";
inline constexpr std::string_view kTagsEnd = "<!-- end tags -->";
// The story's closing marker is followed by "<!-- num=" + number + "-->".
inline constexpr std::string_view kNumStart = "<!-- num=";
inline constexpr std::string_view kNumEnd = "-->";

// The date of an item never given one (or whose date could not be read); it
// sorts before every date an item can carry.
inline constexpr std::chrono::sys_days kZeroDate{std::chrono::year{1899} / 12 / 30};

struct clsNewsItem {
  std::string strDate;  // the date text, its time of day cut off
  std::chrono::sys_days dDate = kZeroDate;
  std::string strTitle;  // without carriage returns and line feeds
  std::string strLink;   // full path of the item's output page
  std::int16_t iNum = 0;
  std::string strStory;
  std::string strTags;

  // The first `NumWords` words of the story as plain text: "<br>" (any
  // letter case) counts as a blank, markup is stripped, runs of blanks count
  // as one, and a blank at the very start counts as an empty word. The
  // result is trimmed of blanks. Linear in the length of the story.
  std::string Summary(int NumWords) const;
};

// "0007" for 7: at least four digits, zero-padded; a negative number keeps
// its sign in front ("-0007").
std::string FourDigits(std::int64_t number);

}  // namespace pagorin
