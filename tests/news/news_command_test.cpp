// `pagorin news add`: its command line, help and usage errors. The item it
// writes is checked end to end on the Sample.
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
      {{"--title", "T", "--story", "S"}, error("name the project file")},
      {{"p.pgx", "--story", "S"}, error("--title is missing")},
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
