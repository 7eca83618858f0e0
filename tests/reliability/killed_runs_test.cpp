// The real pagorin executable killed with SIGKILL at random moments (see
// support/killed_runs.h): a build with its saves of the project and the
// program settings, a news item, a replace and link titles over a large
// site. No file is ever cut short, and the next run works.
#include "support/killed_runs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace pagorin::testing {
namespace {

// 7 March 2024, 14:35 UTC.
constexpr const char* kDay = "1709822100";

pid_t Start(const TestEnv& t, const std::vector<std::string>& args) {
  return StartProgram(t, PAGORIN_EXECUTABLE, args, kDay, t.Path("stderr.txt"));
}

void Report(const KilledOperation& op, const KillFigures& figures) {
  std::printf("[ figures  ] %s: %d kill rounds, %d killed before the end\n", op.name.c_str(),
              figures.rounds, figures.killed_before_the_end);
}

// The Sample before its first build, with an old program settings file and
// its project written with LF line ends, so that the build's saves change
// both.
TEST(KilledRuns, BuildAndItsSavesOfTheProjectAndSettings) {
  TestEnv t;
  std::filesystem::copy(PAGORIN_SOURCE_DIR "/Sample", t.Path("Sample"),
                        std::filesystem::copy_options::recursive);
  std::string project = t.ReadFile(t.Path("Sample/Sample.pgx"));
  for (std::size_t at; (at = project.find("\r\n")) != std::string::npos;) {
    project.erase(at, 1);
  }
  t.WriteFile(t.Path("Sample/Sample.pgx"), project);
  t.WriteFile(t.Path("config/pagorin/Pagorin.ini"), "LASTLOADED,old.pgx\r\n");
  KilledOperation op{"build with its saves", [&] {
                       return Start(t, {"/AUTO", "Sample/Sample.pgx"});
                     }};
  op.rounds = 8;
  Report(op, KillInTurn(t, op, 20240307));
}

// A news item is three files and the project's count of items; a kill
// between them leaves whole files the project has not counted yet, so the
// next run writes the item under the next number.
TEST(KilledRuns, NewsItem) {
  TestEnv t;
  std::filesystem::copy(PAGORIN_SOURCE_DIR "/Sample", t.Path("Sample"),
                        std::filesystem::copy_options::recursive);
  KilledOperation op{"news add", [&] {
                       return Start(t, {"news", "add", "Sample/Sample.pgx", "--title", "Killed",
                                        "--story", "Every file whole."});
                     }};
  op.may_differ = [](const std::string& path) {
    return path == "Sample/Sample.pgx" || path.find("news0007") != std::string::npos ||
           path.find("news0006") != std::string::npos;
  };
  Report(op, KillInTurn(t, op, 20240308));
}

// The benchmark's generated site of 120 pages.
class KilledTools : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, std::system(("/usr/bin/python3 '" PAGORIN_SOURCE_DIR "/bench/gen_site.py' '" +
                              t.Path("gen") + "' --no-hugo --pages 120 --news 20 >/dev/null")
                                 .c_str()));
  }
  TestEnv t;
};

TEST_F(KilledTools, ReplaceOverALargeSite) {
  KilledOperation op{"replace", [&] {
                       return Start(
                           t, {"replace", "gen/pagorin/site.pgx", "--search", "id=\"content\"",
                               "--with", "id=\"main\"", "--folder", "gen/pagorin/Templates"});
                     }};
  // The old bytes a killed run kept stay for Undo, beside those of the run
  // after it.
  op.may_differ = [](const std::string& path) {
    return path.starts_with("gen/pagorin/Replace undo/");
  };
  Report(op, KillInTurn(t, op, 20240309));
}

TEST_F(KilledTools, LinkTitlesOverALargeSite) {
  KilledOperation op{"link-titles", [&] {
                       return Start(t, {"link-titles", "gen/pagorin/site.pgx"});
                     }};
  Report(op, KillInTurn(t, op, 20240310));
}

}  // namespace
}  // namespace pagorin::testing
