// The parts of a news item that need no files: its summary and its dates.
#include "news/news_item.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "news/news_dates.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

TEST(Summary, FirstWordsOfTheStoryAsPlainText) {
  struct Case {
    const char* story;
    int words;
    const char* summary;
  };
  const Case cases[] = {
      {"one two three", 20, "one two three"},
      {"one two three", 2, "one two"},
      {"one two three", 0, ""},
      {"<p>a<br>b</p>", 20, "a b"},  // a line break tag is a blank
      {"a<BR>b<Br>c", 2, "a b"},     // in any letter case
      {"<b>bold</b>   and <i>plain</i>", 20, "bold and plain"},
      {" one two three", 2, "one"},           // a leading blank is an empty word
      {"  one two", 2, "one"},                // runs of blanks count as one
      {"one\r\ntwo three", 1, "one\r\ntwo"},  // only blanks separate words
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.story);
    clsNewsItem item;
    item.strStory = c.story;
    EXPECT_EQ(c.summary, item.Summary(c.words));
  }
}

TEST(FourDigits, AtLeastFourDigitsWithTheSignBeforeThem) {
  EXPECT_EQ("0000", FourDigits(0));
  EXPECT_EQ("0007", FourDigits(7));
  EXPECT_EQ("12345", FourDigits(12345));
  EXPECT_EQ("-0005", FourDigits(-5));
  EXPECT_EQ("-9223372036854775808", FourDigits(std::numeric_limits<std::int64_t>::min()));
}

class NewsDates : public ::testing::Test {
 protected:
  TestEnv t;
};

TEST_F(NewsDates, NowTextOnTheTwelveHourClock) {
  const std::pair<LocalDateTime, const char*> cases[] = {
      {{2024, 12, 4, 15, 7, 0}, "3:07pm, December 4 2024"},
      {{2024, 1, 1, 0, 5, 0}, "12:05am, January 1 2024"},
      {{2024, 6, 30, 12, 0, 0}, "12:00pm, June 30 2024"},
  };
  for (const auto& [when, text] : cases) {
    EXPECT_EQ(text, NewsDateText(when, t.locale));
  }
}

TEST(CutTimeOfDay, KeepsTheTextAfterTheComma) {
  EXPECT_EQ(" December 4 2024", CutTimeOfDay("3:07pm, December 4 2024"));
  EXPECT_EQ(" June 30 2024", CutTimeOfDay("11:59am, June 30 2024"));
  EXPECT_EQ("December 4 2024", CutTimeOfDay("December 4 2024"));
  EXPECT_EQ("", CutTimeOfDay("3pm"));
  EXPECT_EQ("3:07PM, May 4 2024", CutTimeOfDay("3:07PM, May 4 2024"));  // lower case only
}

TEST_F(NewsDates, ParsesMonthNameDayAndYear) {
  using std::chrono::sys_days;
  using namespace std::chrono_literals;
  const std::pair<const char*, std::optional<sys_days>> cases[] = {
      {" December 4 2024", sys_days{2024y / 12 / 4}},
      {"december 4, 2024", sys_days{2024y / 12 / 4}},
      {"4 Dec 2024", sys_days{2024y / 12 / 4}},
      {"2024-12-04", sys_days{2024y / 12 / 4}},
      {"February 29 2023", std::nullopt},
      {"December 31 1899", std::nullopt},
      {"January 1 1900", sys_days{1900y / 1 / 1}},
      {"32 Foo 2020", std::nullopt},
      {"December 2024", std::nullopt},
      {"3:07pm, December 4 2024", std::nullopt},
  };
  for (const auto& [text, date] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(date, ParseNewsDate(text, t.locale));
  }
}

}  // namespace
}  // namespace pagorin::testing
