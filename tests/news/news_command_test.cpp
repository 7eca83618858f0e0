// `pagorin news add`: its command line, help and usage errors. The item it
// writes is checked end to end on the Sample.
#include "news/news_command.h"

#include <gtest/gtest.h>

#include "news_fixture.h"

namespace pagorin::testing {
namespace {

// A parsed line as "project|title|story|tags|date", a missing date as "-";
// a refused one as its error.
std::string Shown(const NewsAddLine& line) {
  if (!line.error.empty()) {
    return line.error;
  }
  return (line.help ? "help " : "") + line.project + "|" + line.title + "|" + line.story + "|" +
         line.tags + "|" + line.date.value_or("-");
}

TEST(NewsAddLine, OptionsAndTheProjectInAnyOrder) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"p.pgx", "--title", "T", "--story", "S"}, "p.pgx|T|S||-"},
      {{"--story=S, more", "--tags", "a,b", "--title=", "--date", "May 1 2024", "p.pgx"},
       "p.pgx||S, more|a,b|May 1 2024"},
      {{"--title", "--story", "--story", "x", "--", "-odd.pgx"}, "-odd.pgx|--story|x||-"},
      {{"--title", "T", "--story", "S"}, "name the project file"},
      {{"p.pgx", "--story", "S"}, "--title is missing"},
      {{"a.pgx", "b.pgx"}, "one project file only (a.pgx and b.pgx)"},
  };
  for (const auto& [args, shown] : cases) {
    EXPECT_EQ(shown, Shown(ParseNewsAddLine(args))) << args.front();
  }
}

TEST(NewsSubcommand, HelpAndUsageErrors) {
  TestEnv t;
  const std::string missing = t.Path("x.pgx");
  t.WriteFile(t.Path("p.pgx"), "PROJECTPATH,./\r\n");
  const std::string bad_date =
      "is not a date the news lists can read. Write it as \"3:07pm, December 4 2024\", "
      "\"December 4 2024\", \"December 4, 2024\", \"4 December 2024\" or \"2024-12-04\". No news "
      "item was written.\n";
  RunSteps(t,
           {
               {"news --help", {0, NewsUsageText(), ""}},
               {"news add --help", {0, NewsAddUsageText(), ""}},
               {"news", {2, "", NewsUsageText()}},
               {"news add x.pgx --story S",
                {2, "", "pagorin: --title is missing\n" + NewsAddUsageText()}},
               {"news add '" + missing + "' --title T --story S",
                {1, "", "pagorin: " + missing + " does not exist, so no news item was written.\n"}},
               {"news add p.pgx --title T --story S --date someday",
                {2, "", "pagorin: --date \"someday\" " + bad_date}},
               {"news add p.pgx --title T --story S --date 'February 30 2024'",
                {2, "", "pagorin: --date \"February 30 2024\" " + bad_date}},
           });
  EXPECT_EQ("PROJECTPATH,./\r\n", t.ReadFile(t.Path("p.pgx")));
  EXPECT_FALSE(t.Exists(t.Path("Templates")));
}

}  // namespace
}  // namespace pagorin::testing
