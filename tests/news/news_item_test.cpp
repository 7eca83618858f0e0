// The parts of a news item that need no files: its summary, its number and
// its date texts.
#include "news/news_item.h"

#include <gtest/gtest.h>

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
      {"one two three", 3, "one two three"},
      {"one two three ", 3, "one two three"},
      {"one two three", 0, ""},
      {"", 20, ""},
      {"<p>a<br>b</p>", 20, "a b"},  // a line break tag is a blank
      {"a<BR>b<Br>c", 2, "a b"},     // in any letter case
      {"<b>bold</b>   and <i>plain</i>", 20, "bold and plain"},
      {" one two three", 2, "one"},           // a leading blank is an empty word
      {"  one two", 2, "one"},                // runs of blanks count as one
      {"one\r\ntwo three", 1, "one\r\ntwo"},  // only blanks separate words
      {"<style>p {}</style>one", 20, "one"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.story);
    clsNewsItem item;
    item.strStory = c.story;
    EXPECT_EQ(c.summary, item.Summary(c.words));
  }
}

TEST(Summary, LongStoryCostsOnePass) {
  clsNewsItem item;
  item.strStory.reserve(4'000'000);
  for (int i = 0; i < 500'000; ++i) {
    item.strStory += "word<br>";
  }
  EXPECT_EQ("word word word", item.Summary(3));
}

TEST(ItemNumber, AtLeastFourDigits) {
  EXPECT_EQ("0007", FourDigits(7));
  EXPECT_EQ("0000", FourDigits(0));
  EXPECT_EQ("9999", FourDigits(9999));
  EXPECT_EQ("12345", FourDigits(12345));
  EXPECT_EQ("-0007", FourDigits(-7));
}

class NewsDates : public ::testing::Test {
 protected:
  TestEnv t;
};

TEST_F(NewsDates, NowTextOnTheTwelveHourClock) {
  struct Case {
    LocalDateTime when;
    const char* text;
  };
  const Case cases[] = {
      {{2024, 12, 4, 15, 7, 0}, "3:07pm, December 4 2024"},
      {{2024, 1, 1, 0, 5, 0}, "12:05am, January 1 2024"},
      {{2024, 6, 30, 11, 59, 59}, "11:59am, June 30 2024"},
      {{2024, 6, 30, 12, 0, 0}, "12:00pm, June 30 2024"},
      {{2025, 10, 12, 23, 40, 0}, "11:40pm, October 12 2025"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, NewsDateText(c.when, t.locale));
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
  struct Case {
    const char* text;
    std::optional<sys_days> date;
  };
  const Case cases[] = {
      {" December 4 2024", sys_days{2024y / 12 / 4}},
      {"december 4, 2024", sys_days{2024y / 12 / 4}},
      {"4 Dec 2024", sys_days{2024y / 12 / 4}},
      {"\tFebruary 29 2024\r\n", sys_days{2024y / 2 / 29}},
      {"2024-12-04", sys_days{2024y / 12 / 4}},
      {"February 29 2023", std::nullopt},
      {"December 31 1899", std::nullopt},
      {"January 1 1900", sys_days{1900y / 1 / 1}},
      {"32 Foo 2020", std::nullopt},
      {"December 32 2024", std::nullopt},
      {"December 4 24", std::nullopt},
      {"December 2024", std::nullopt},
      {"3:07pm, December 4 2024", std::nullopt},
      {"2024-13-01", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.date, ParseNewsDate(c.text, t.locale));
  }
}

}  // namespace
}  // namespace pagorin::testing
