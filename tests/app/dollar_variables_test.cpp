// Dollar variables, the page title and GetBetween. The clock stands at
// 7 March 2024 14:35 UTC.
#include <gtest/gtest.h>

#include <chrono>

#include "app/current_date_texts.h"
#include "app/template_markup.h"
#include "shared/log.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class DollarVariablesTest : public SiteTest {
 protected:
  void SetUp() override {
    OpenSite({"EXT_ABOUT,.php", "WEBSITEURL,https://walkers.example/$AUTHOR/$PAGEURL/"});
  }
};

TEST_F(DollarVariablesTest, EachVariableHasItsValue) {
  // A value is searched for the variables after its own only; an include
  // takes the page's name but its own file date.
  WriteInclude("footer.inc", "$PAGEURL $FILECREATE");
  t.Touch(Site("Includes/footer.inc"), FromLocal({2021, 12, 31, 23, 59, 0}));
  WriteTemplate("about.template",
                "<title>Our Walks</title>|$GENERATOR|$AUTHOR|$FILECREATE|$FILECHANGE|"
                "$SHORTDATE|$LONGDATE|$BASEURL|$PAGEURL|$ENCODEDPAGETITLE|$pageurl|$|"
                "[include=footer.inc]");
  t.Touch(Site("Templates/about.template"), FromLocal({2023, 1, 2, 3, 4, 5}));
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("<title>Our Walks</title>|Pagorin " + AppVersion() +
                "|Pagorin User|20230102;03040000|20240307;14350000|7/Mar/2024|March 7, 2024|"
                "https://walkers.example/$AUTHOR/about.php/|about.php|Our%20Walks|$pageurl|$|"
                "about.php 20211231;23590000",
            Page("about.php"));
}

TEST_F(DollarVariablesTest, TitleCarriesOverToLaterPages) {
  WriteTemplate("a.template", "<TITLE>My Site</TITLE>$ENCODEDPAGETITLE");
  WriteTemplate("b.template", "$ENCODEDPAGETITLE");
  WriteInclude("head.inc", "<title>From $PAGEURL</title>");
  WriteTemplate("c.template", "[include=head.inc]$ENCODEDPAGETITLE");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("<TITLE>My Site</TITLE>My%20Site", Page("a.html"));
  EXPECT_EQ("My%20Site", Page("b.html"));
  // The template's own text is done before its include sets a new title; the
  // title is read before dollar variables are replaced.
  EXPECT_EQ("<title>From c.html</title>My%20Site", Page("c.html"));
  EXPECT_EQ("From $PAGEURL", engine.last_page_title);
}

TEST(CurrentDateTexts, FollowTheClockFromSecondToSecond) {
  TestEnv t;
  CurrentDateTexts dates;
  const TimePoint last_second = FromLocal({2024, 3, 7, 23, 59, 59});
  EXPECT_EQ("March 7, 2024", dates.At(last_second, t.locale).long_date);
  const CurrentDateTexts::Texts& next = dates.At(last_second + std::chrono::seconds(1), t.locale);
  EXPECT_EQ("20240308;00000000", next.file_change);
  EXPECT_EQ("8/Mar/2024", next.short_date);
  EXPECT_EQ("March 8, 2024", next.long_date);
  EXPECT_EQ("March 7, 2024",
            dates.At(last_second + std::chrono::milliseconds(999), t.locale).long_date);
}

TEST(GetBetween, TakesTheTextBetweenTheMarkers) {
  const std::pair<const char*, const char*> cases[] = {
      {"<head><title>Home</title></head>", "Home"},
      {"<TITLE> Spaced </Title>", " Spaced "},
      {"<title>a<title>b</title>", "ab"},
      {"<title>no end", ""},
      {"no start</title>", ""},
      {"</title><title>x</title>", "x"},
  };
  for (const auto& [text, part] : cases) {
    EXPECT_EQ(part, GetBetween(text, "<title>", "</title>")) << text;
  }
}

}  // namespace
}  // namespace pagorin::testing
