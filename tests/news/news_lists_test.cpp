// The news lists every build writes: which items, in which order, filled how.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/build_driver.h"
#include "news/news_summaries.h"
#include "news_fixture.h"

namespace pagorin::testing {
namespace {

constexpr const char* kDay1 = "9:00am, March 1 2024";
constexpr const char* kDay2 = "3:07pm, March 2 2024";
constexpr const char* kDay3 = "11:15pm, March 3 2024";

class NewsLists : public NewsSiteTest {
 protected:
  // A list of every item's number, newest first.
  void DefineNumberList(const std::string& include) {
    DefineList(include, "[$inner$]", "$NewsNum$;");
  }
};

TEST_F(NewsLists, NewestFirstSameDayInNameOrderUndatedAndUnreadableLast) {
  for (int number : {6, 2, 7}) {
    WriteItem(number, "T", kDay1, "");
  }
  WriteItem(1, "T", kDay3, "");
  WriteItem(3, "T", nullptr, "");
  WriteItem(4, "T", kDay2, "");
  WriteItem(5, "T", "9:00am, 32 Foo 2020", "");
  DefineNumberList("all.inc");
  Generate();
  EXPECT_EQ("[0001;0004;0002;0006;0007;0003;0005;]", List("all.inc"));
  EXPECT_EQ(
      "Type mismatch: the date \" 32 Foo 2020\" of news0005.template is not a month name, day and "
      "year(13) in GenerateNewsSummaries of module frmMain\n",
      Ring());

  WriteItem(7, "T", kDay2, "");  // the next build sees the new date
  Generate();
  EXPECT_EQ("[0001;0004;0007;0002;0006;0003;0005;]", List("all.inc"));
}

TEST_F(NewsLists, BuildShowsTheNewListsAndReadsEachItemFileOnce) {
  WriteItem(1, "T", kDay1, "");
  WriteItem(2, "T", kDay2, "");
  DefineNumberList("all.inc");
  WriteTemplate("index.template", "[include=all.inc]");
  ASSERT_TRUE(BuildPages(engine, false));
  EXPECT_EQ("[0002;0001;]", t.ReadFile(Site("index.html")));
  // The lists and the item pages share what they read.
  for (const char* file : {"Templates/news0001.template", "Includes/content_news0002.inc"}) {
    EXPECT_EQ(1, std::count(t.fs.reads().begin(), t.fs.reads().end(), Site(file))) << file;
  }
}

TEST_F(NewsLists, PlaceholdersAreFilledInTheirOrder) {
  WriteItem(7, "A $NewsDate$\r\ntitle", kDay2, "Vorn 1, Appearance", "<p>One two<br>three</p>");
  project().StoreSetting("Ext_news0007", ".php");
  DefineList("list.inc", "<ul>\r\n$inner$</ul>$inner$",
             "<li>$NewsNum$|$NewsTitle$|$NewsLink$|$NewsSummary$|$NewsTags$</li>\r\n");
  Generate();
  const std::string item =
      "<li>0007|A  March 2 2024title|news0007.php|One two three [...]|Vorn 1, Appearance</li>\r\n";
  EXPECT_EQ("<ul>\r\n" + item + "</ul>" + item, List("list.inc"));
}

TEST_F(NewsLists, OnlyNumberedTemplatesWithTheirContentIncludeAreItems) {
  WriteItem(1, "T", kDay1, "");
  WriteItem(2, "T", kDay1, "");
  WriteTemplate("news0000.template", "[include=content_news0000.inc]");
  WriteTemplate("News0005.template", "[include=content_news0005.inc]");
  WriteTemplate("newsletter.template", "[include=content_news0001.inc]");
  WriteTemplate("news0002.template", "[include=header_news0002.inc]");
  WriteTemplate("news0008.template", "[include=content_news0008.inc");
  DefineNumberList("all.inc");
  Generate();
  EXPECT_EQ("[0001;0008;]", List("all.inc"));
  EXPECT_EQ(
      "newsletter.template does not end in a four-digit item number, so it is in no news "
      "list(13) in GenerateNewsSummaries of module frmMain\n"
      "The reference to content_news0008 in news0008.template has no closing ](5) in "
      "GenerateNewsSummaries of module frmMain\n"
      "news0002.template has no reference to content_news0002, so it is in no news list(53) in "
      "GenerateNewsSummaries of module frmMain\n",
      Ring());
}

TEST_F(NewsLists, IncludesWrittenOnlyWhereThereIsSomethingToWrite) {
  WriteInclude("old.inc", "old list");
  DefineNumberList("all.inc");
  DefineList("old.inc", "[$inner$]", "");  // an empty item template
  Generate();                              // no templates at all
  EXPECT_FALSE(t.Exists(Site("Includes/all.inc")));

  WriteItem(1, "T", kDay1, "");
  Generate();
  EXPECT_EQ("[0001;]", List("all.inc"));
  EXPECT_EQ("old list", List("old.inc"));

  project().StoreSetting("GEN_INNER_2", "missing.txt");
  Generate();
  EXPECT_EQ("old list", List("old.inc"));
}

// Items 1..8, newest last, odd ones tagged "Vorn <n>", even ones "Other".
std::vector<clsNewsItem> AlternatelyTagged() {
  std::vector<clsNewsItem> items(8);
  for (int i = 0; i < 8; ++i) {
    items[i].iNum = static_cast<std::int16_t>(i + 1);
    items[i].strTags = i % 2 == 0 ? "Vorn " + std::to_string(i + 1) + ", Appearance" : "Other";
  }
  return items;
}

TEST(NewsListText, TagsAndCountReachBackPastOtherItems) {
  struct Case {
    const char* tags;
    int count;
    const char* list;
  };
  const Case cases[] = {
      {"", -1, "0008;0007;0006;0005;0004;0003;0002;0001;"},
      {"", 3, "0008;0007;0006;"},
      {"", 0, ""},
      {"Vorn", 2, "0007;0005;"},
      {"vorn", 4, "0007;0005;0003;0001;"},
      {"Vorn 3", 15, "0003;"},
      {"Vorn 3, Other", 3, "0008;0006;0004;"},
      {" , Vorn 5 ,", -1, "0005;"},
      {" , ", -1, ""},
      {"Missing", 4, ""},
  };
  const std::vector<clsNewsItem> items = AlternatelyTagged();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tags) + " " + std::to_string(c.count));
    EXPECT_EQ(c.list, NewsListText(items, "$NewsNum$;", c.tags, c.count));
  }
}

}  // namespace
}  // namespace pagorin::testing
