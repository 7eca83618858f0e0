// `pagorin news add`: its command line, and the item it writes.
#include "news/news_command.h"

#include <gtest/gtest.h>

#include "news_fixture.h"

namespace pagorin::testing {
namespace {

TEST(NewsAddLine, OptionsAndTheProjectInAnyOrder) {
  struct Case {
    std::vector<std::string> args;
    NewsAddLine line;
  };
  auto ok = [](std::string project, std::string title, std::string story, std::string tags = "",
               std::optional<std::string> date = std::nullopt) {
    return NewsAddLine{false, project, title, story, tags, date, ""};
  };
  auto error = [](std::string text) { return NewsAddLine{false, "", "", "", "", {}, text}; };
  const Case cases[] = {
      {{"p.pgx", "--title", "T", "--story", "S"}, ok("p.pgx", "T", "S")},
      {{"--story=S, more", "--tags", "a,b", "--title=", "--date", "May 1 2024", "p.pgx"},
       ok("p.pgx", "", "S, more", "a,b", "May 1 2024")},
      {{"--title", "--story", "--story", "x", "--", "-odd.pgx"}, ok("-odd.pgx", "--story", "x")},
      {{"p.pgx", "--help"}, NewsAddLine{true, "p.pgx", "", "", "", {}, ""}},
      {{"--title", "T", "--story", "S"}, error("name the project file")},
      {{"p.pgx", "--story", "S"}, error("--title is missing")},
      {{"p.pgx", "--title", "T"}, error("--story is missing")},
      {{"p.pgx", "--title", "T", "--story"}, error("--story needs a value")},
      {{"p.pgx", "--titel", "T"}, error("unknown option --titel")},
      {{"a.pgx", "b.pgx"}, error("one project file only (a.pgx and b.pgx)")},
  };
  for (const Case& c : cases) {
    const NewsAddLine line = ParseNewsAddLine(c.args);
    SCOPED_TRACE(c.args.front());
    EXPECT_EQ(c.line.error, line.error);
    if (c.line.error.empty()) {
      EXPECT_EQ(c.line.help, line.help);
      EXPECT_EQ(c.line.project, line.project);
      EXPECT_EQ(c.line.title, line.title);
      EXPECT_EQ(c.line.story, line.story);
      EXPECT_EQ(c.line.tags, line.tags);
      EXPECT_EQ(c.line.date, line.date);
    }
  }
}

class NewsAddCommand : public NewsSiteTest {
 protected:
  NewsAddCommand() {
    t.WriteFile(Site("Templates/news0000.template"), "[include=content_news0000.inc]");
    t.WriteFile(Site("Includes/content_news0000.inc"),
                "$NewsTitle$$NewsDate$$NewsStory$$NewsTags$");
    t.WriteFile(Site("Includes/header_news0000.inc"), "");
  }

  int Add(std::string project_text, const std::optional<std::string>& date = std::nullopt) {
    t.WriteFile(Site("site.pgx"), project_text);
    Engine fresh(t.env);
    return NewsAdd(fresh, NewsAddLine{false, Site("site.pgx"), "T", "S", "x", date, ""});
  }
};

TEST_F(NewsAddCommand, WritesTheItemAsGenerateDoes) {
  EXPECT_EQ(0, Add("PROJECTPATH,./\r\nNEWSNUMBER,6\r\n"));
  EXPECT_EQ(std::vector<std::string>{Site("Templates/news0006.template") + " generated"},
            t.ui.MessageTexts());
  EXPECT_EQ(
      "<!-- title -->T<!-- end title --><!-- date -->2:35pm, March 7 2024<!-- end date --><!-- "
      "story -->S<!-- end story --><!-- num=6--><!-- tags -->x<!-- end tags -->",
      t.ReadFile(Site("Includes/content_news0006.inc")));
  EXPECT_NE(std::string::npos, t.ReadFile(Site("site.pgx")).find("\r\nTAGS_1,x\r\n"));

  EXPECT_EQ(0, Add(t.ReadFile(Site("site.pgx")), "May 1 2024"));
  EXPECT_NE(std::string::npos,
            t.ReadFile(Site("Includes/content_news0007.inc")).find(">May 1 2024<"));
}

TEST_F(NewsAddCommand, RefusalsEndWithStatusOne) {
  EXPECT_EQ(1, Add("PROJECTPATH,./\r\nNEWSNUMBER,abc\r\n"));
  EXPECT_EQ(1, Add("not a project file"));
  Engine fresh(t.env);
  EXPECT_EQ(1, NewsAdd(fresh, NewsAddLine{false, Site("gone.pgx"), "T", "S", "", {}, ""}));
  ASSERT_EQ(3u, t.ui.messages.size());
  EXPECT_EQ(
      "The current number \"abc\" is not a whole number from 1 up. No news item was generated.",
      t.ui.messages[0].text);
  EXPECT_EQ(Site("gone.pgx") + " does not exist, so no news item was written.",
            t.ui.messages[2].text);
  EXPECT_FALSE(t.Exists(Site("Templates/news0001.template")));
}

TEST(NewsSubcommand, HelpAndUsageErrors) {
  TestEnv t;
  ProgramRun run = RunPagorin(t, "news --help");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(NewsUsageText(), run.out);
  run = RunPagorin(t, "news add --help");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(NewsAddUsageText(), run.out);
  run = RunPagorin(t, "news");
  EXPECT_EQ(2, run.status);
  EXPECT_EQ(NewsUsageText(), run.err);
  run = RunPagorin(t, "news remove x.pgx");
  EXPECT_EQ(2, run.status);
  EXPECT_EQ("pagorin: unknown news command remove\n" + NewsUsageText(), run.err);
  run = RunPagorin(t, "news add x.pgx --story S");
  EXPECT_EQ(2, run.status);
  EXPECT_EQ("pagorin: --title is missing\n" + NewsAddUsageText(), run.err);
  run = RunPagorin(t, "news add '" + t.Path("x.pgx") + "' --title T --story S");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("pagorin: " + t.Path("x.pgx") + " does not exist, so no news item was written.\n",
            run.err);
}

}  // namespace
}  // namespace pagorin::testing
