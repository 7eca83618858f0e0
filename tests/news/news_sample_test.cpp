// Three items posted from the command line to a copy of the Sample, then a
// build: the lists show them in date order and the feed is real RSS 2.0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "news_fixture.h"

namespace pagorin::testing {
namespace {

// The item pages a list links to, in order.
std::vector<std::string> Links(const std::string& list) {
  static const std::regex kLink(R"(href="(news\d{4}\.html)\")");
  std::vector<std::string> links;
  for (std::sregex_iterator it(list.begin(), list.end(), kLink), end; it != end; ++it) {
    links.push_back((*it)[1]);
  }
  return links;
}

// What a real feed reader makes of the file: its format, whether it had to
// guess, then one line per entry (title, link, category, date).
std::string ReadFeed(const TestEnv& t, const std::string& path) {
  EXPECT_EQ(0, std::system(("/usr/bin/python3 -c \"import sys, feedparser\n"
                            "d = feedparser.parse(sys.argv[1])\n"
                            "print(d.version, 'bozo' if d.bozo else 'clean')\n"
                            "for e in d.entries: print(e.title, e.link, e.tags[0].term, "
                            "e.published, sep='|')\" '" +
                            path + "' >'" + t.Path("feed.txt") + "' 2>&1")
                               .c_str()));
  return t.ReadFile(t.Path("feed.txt"));
}

TEST(NewsOnTheSample, ItemsAddedFromTheCommandLineAppearInEveryList) {
  TestEnv t;
  std::filesystem::copy(PAGORIN_SOURCE_DIR "/Sample", t.Path("Sample"),
                        std::filesystem::copy_options::recursive);
  // 3 June 2024, 12:00 UTC: the date of an item added without --date.
  const std::string june_3 = "1717416000";
  const char* const items[] = {
      "--title 'Tide clock on the desktop' --story 'A small clock shows the <b>next</b> high "
      "water.' --tags Release",
      "--title 'Evening talk in Falmouth' --story 'Slides are online.' --tags 'Appearance' "
      "--date 'June 1 2024'",
      "--title 'Ports of the Azores' --story 'Nine more ports.' --tags Ports "
      "--date '9:15am, June 3 2024'",
      // Text from another program: markup of every kind shown as written.
      "--plain --title 'Tom & Jerry <3 [include=x.inc] $BASEURL' --story 'line one\n[var x=1]' "
      "--tags 'Ports & more' --date 'June 2 2024'",
  };
  for (int number = 6; number <= 9; ++number) {
    const ProgramRun run =
        RunPagorin(t, std::string("news add Sample/Sample.pgx ") + items[number - 6], june_3);
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(
        "pagorin: Sample/Templates/news000" + std::to_string(number) + ".template generated\n",
        run.err);
  }
  EXPECT_NE(std::string::npos, t.ReadFile(t.Path("Sample/Includes/content_news0006.inc"))
                                   .find("<!-- date -->12:00pm, June 3 2024<!-- end date -->"));

  const ProgramRun run = RunPagorin(t, "/AUTO Sample/Sample.pgx", june_3);
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  const std::vector<std::string> newest_first = {"news0006.html", "news0008.html", "news0009.html",
                                                 "news0007.html", "news0005.html", "news0004.html",
                                                 "news0003.html", "news0002.html", "news0001.html"};
  EXPECT_EQ(newest_first, Links(t.ReadFile(t.Path("Sample/news.html"))));
  EXPECT_EQ(newest_first, Links(t.ReadFile(t.Path("Sample/Includes/recent_newslist2.inc"))));
  EXPECT_EQ((std::vector<std::string>{"news0007.html", "news0005.html", "news0002.html"}),
            Links(t.ReadFile(t.Path("Sample/Includes/Newslist_Appearance_List.inc"))));
  EXPECT_NE(std::string::npos, t.ReadFile(t.Path("Sample/news0006.html"))
                                   .find("<title>Tide clock on the desktop - Kestrel Tide "
                                         "Tables</title>"));

  const std::string page = t.ReadFile(t.Path("Sample/news0009.html"));
  EXPECT_NE(std::string::npos,
            page.find("<!-- title -->Tom &amp; Jerry &lt;3 &#91;include=x.inc] &#36;BASEURL<!-- "
                      "end title -->"))
      << page;
  EXPECT_NE(std::string::npos, page.find("<!-- story -->line one<br>\n&#91;var x=1]<!-- end story"))
      << page;

  const std::string feed = ReadFeed(t, t.Path("Sample/rss.xml"));
  EXPECT_TRUE(feed.starts_with(
      "rss20 clean\n"
      "Tide clock on the desktop|https://kestrel.example.org/news0006.html|Release|"
      "Mon, 03 Jun 2024 00:00:00 +0000\n"
      "Ports of the Azores|https://kestrel.example.org/news0008.html|Ports|"
      "Mon, 03 Jun 2024 00:00:00 +0000\n"
      "Tom & Jerry <3 [include=x.inc] $BASEURL|https://kestrel.example.org/news0009.html|"
      "Ports & more|Sun, 02 Jun 2024 00:00:00 +0000\n"
      "Evening talk in Falmouth|https://kestrel.example.org/news0007.html|Appearance|"
      "Sat, 01 Jun 2024 00:00:00 +0000\n"))
      << feed;
  EXPECT_EQ(9, std::count(feed.begin(), feed.end(), '\n') - 1) << feed;
}

}  // namespace
}  // namespace pagorin::testing
