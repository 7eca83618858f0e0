// The limits no template passes: nesting, a file too large to read, too
// many variables, a page that grows past its limit. Each ends the build
// with a message naming the chain of files, and the old page stays.
#include "app/build_limits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

using BuildLimits = SiteTest;

TEST_F(BuildLimits, EachLimitEndsTheBuildNamingTheChainAndKeepsTheOldPage) {
  // Includes 101 deep: i0.inc includes i1.inc, and so on.
  for (int i = 0; i <= 101; ++i) {
    WriteInclude("i" + std::to_string(i) + ".inc", "[include=i" + std::to_string(i + 1) + ".inc]");
  }
  std::string deep_chain = "page.template";
  for (int i = 0; i < 100; ++i) {
    deep_chain += " > i" + std::to_string(i) + ".inc";
  }
  // Sparse: a file past the limit that takes no room on the disk.
  WriteInclude("huge.inc", "");
  std::filesystem::resize_file(Site("Includes/huge.inc"), kMaxFileBytes + 1);
  // A value of 1 KB used in 70,000 places: 70 MB.
  std::string used_everywhere = "[var big=" + std::string(1024, 'b') + "]";
  for (int i = 0; i < 70'000; ++i) {
    used_everywhere += "[big]";
  }
  // One MB included 72 times, through a middle include.
  WriteInclude("mega.inc", std::string(1 << 20, 'm'));
  std::string eight;
  for (int i = 0; i < 8; ++i) {
    eight += "[include=mega.inc]";
  }
  WriteInclude("eight.inc", eight);
  std::string fan_out;
  for (int i = 0; i < 9; ++i) {
    fan_out += "[include=eight.inc]";
  }
  // A million and one names.
  std::string names;
  for (int i = 0; i <= static_cast<int>(kMaxVariables); ++i) {
    names += "[var v" + std::to_string(i) + "=x]";
  }
  const struct {
    const char* name;
    std::string text;
    std::string message;
  } cases[] = {
      {"nesting", "x[include=i0.inc]",
       "Includes nest more than 100 levels deep: " + deep_chain + ". Please fix and re-run."},
      {"file size", "x[include=huge.inc]",
       "huge.inc is larger than 1024 MB, too large to read: page.template > huge.inc. Please fix "
       "and re-run."},
      {"variable values", used_everywhere,
       "Its variables make the page larger than 64 MB (a long value used in many places?): "
       "page.template. Please fix and re-run."},
      {"includes", fan_out,
       "The page grows past 64 MB: page.template > eight.inc > mega.inc. Please fix and re-run."},
      {"variables", names,
       "More than 1000000 variables are defined in one build: page.template. Please fix and "
       "re-run."},
  };
  OpenSite();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteTemplate("page.template", "old");
    ASSERT_TRUE(BuildAll());
    t.ui.messages.clear();
    WriteTemplate("page.template", c.text);
    EXPECT_FALSE(BuildAll());
    EXPECT_EQ(std::vector<std::string>{c.message}, t.ui.MessageTexts());
    if (std::string_view(c.name) != "nesting") {  // a broken directive cuts the page there
      EXPECT_EQ("old", Page("page.html"));
    }
    EXPECT_EQ((std::vector<std::string>{"Includes", "Templates", "page.html", "site.pgx"}),
              t.List(Site()));
  }
}

// A value ends at the first "]", so a variable never brings back a use of
// itself: "a" is "[a" here, each "]" of the text closes at most one use,
// and a page grows by at most a value per "]".
TEST_F(BuildLimits, AVariableThatNamesItselfIsPutInOnce) {
  OpenSite();
  WriteTemplate("page.template", "[var a=[a][a]]<[a]>[var b=[b]<[b]]>");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("[a]<[a><[b]>", Page("page.html"));
}

}  // namespace
}  // namespace pagorin::testing
