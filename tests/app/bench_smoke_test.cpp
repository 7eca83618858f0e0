// Generates a small benchmark site with bench/gen_site.py and builds it with
// the real pagorin executable, so that the benchmark keeps working as the
// program changes. Nothing here is timed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shared/settings.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

namespace fs = std::filesystem;

constexpr int kPages = 300;
constexpr int kNewsItems = 20;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// One manifest line: a page and texts it must hold ("*" stands for every page).
struct Expectation {
  std::string page;
  std::vector<std::string> texts;
};

std::vector<Expectation> ReadManifest(const fs::path& path) {
  std::vector<Expectation> lines;
  std::istringstream in(ReadWhole(path));
  std::string line;
  while (std::getline(in, line)) {
    Expectation expectation;
    std::istringstream fields(line);
    std::string field;
    std::getline(fields, expectation.page, '\t');
    while (std::getline(fields, field, '\t')) {
      expectation.texts.push_back(field);
    }
    lines.push_back(expectation);
  }
  return lines;
}

// How the latest-news lists link item `number`.
std::string NewsLink(int number) {
  char link[80];
  std::snprintf(link, sizeof link, "<li class=\"news-%04d\"><a href=\"news%04d.html\">", number,
                number);
  return link;
}

// Exit status of a shell command, or -1 when it did not exit normally.
int RunShell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class BenchSmoke : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(test_env_.root());
    site_ = root_ / "pagorin";
    ASSERT_EQ(0, Generate(root_, kNewsItems));
  }

  // Generates the same site with `news` items into `folder`.
  static int Generate(const fs::path& folder, int news, const std::string& options = "") {
    return RunShell("/usr/bin/python3 '" PAGORIN_SOURCE_DIR "/bench/gen_site.py' '" +
                    folder.string() + "' --no-hugo --pages " + std::to_string(kPages) + " --news " +
                    std::to_string(news) + " " + options);
  }

  // The variables every run of the executable gets.
  std::string RunSettings() const {
    return "TZ=UTC LC_ALL=C SOURCE_DATE_EPOCH=1709821800 XDG_CONFIG_HOME='" + root_.string() +
           "/xdg' XDG_DATA_HOME='" + root_.string() + "/xdg' ";
  }

  // Builds the site with the real executable on 7 March 2024 (UTC), so that
  // $LONGDATE is known; returns its exit status.
  int Build() const {
    return RunShell("cd '" + root_.string() + "' && " + RunSettings() +
                    "'" PAGORIN_EXECUTABLE "' /AUTO '" + (site_ / "site.pgx").string() + "' 2>'" +
                    (root_ / "stderr.txt").string() + "'");
  }

  testing::TestEnv test_env_;
  fs::path root_;
  fs::path site_;
};

TEST_F(BenchSmoke, EveryPageIsBuiltWithItsIncludesAndVariables) {
  ASSERT_EQ(0, Build()) << ReadWhole(root_ / "stderr.txt");
  EXPECT_EQ("", ReadWhole(root_ / "stderr.txt"));

  const std::vector<Expectation> manifest = ReadManifest(root_ / "manifest.tsv");
  ASSERT_EQ(static_cast<size_t>(kPages + 1), manifest.size());
  ASSERT_EQ("*", manifest.front().page);
  std::vector<std::string> every_page = manifest.front().texts;
  every_page.push_back("was generated on March 7, 2024 for The Lantern Works.");
  // Markup that a finished page never shows.
  const std::vector<std::string> leftovers = {"[include=",  "[var ",   "$BASEURL", "$PAGEURL",
                                              "$LONGDATE",  "$inner$", "$News",    "[pagetitle]",
                                              "[sitename]", "_topic]", "_lead]"};

  int pages_on_disk = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(site_)) {
    pages_on_disk += entry.path().extension() == ".html" ? 1 : 0;
  }
  EXPECT_EQ(kPages, pages_on_disk);

  for (size_t i = 1; i < manifest.size(); ++i) {
    const Expectation& expectation = manifest[i];
    SCOPED_TRACE(expectation.page);
    const std::string page = ReadWhole(site_ / expectation.page);
    ASSERT_FALSE(page.empty());
    for (const std::string& text : expectation.texts) {
      EXPECT_NE(std::string::npos, page.find(text)) << "missing: " << text;
    }
    for (const std::string& text : every_page) {
      EXPECT_NE(std::string::npos, page.find(text)) << "missing: " << text;
    }
    for (const std::string& text : leftovers) {
      EXPECT_EQ(std::string::npos, page.find(text)) << "left over: " << text;
    }
  }
}

TEST_F(BenchSmoke, VersionIncludeAndNewsListsAreWrittenBeforeThePages) {
  ASSERT_EQ(0, Build()) << ReadWhole(root_ / "stderr.txt");

  EXPECT_EQ(
      "<div class=\"release\">\r\n"
      "<h2>Lantern 3.2.1</h2>\r\n"
      "<p>Version 3.2, revision 1, released Mar 07, 2024 (2024-03-07).</p>\r\n"
      "<p><a href=\"https://downloads.example.org/lantern/lantern-321.tar.gz\">"
      "Download Lantern 3.2.1</a></p>\r\n"
      "<div class=\"notes\">Builds large sites faster.\r\n"
      "Keeps the news lists in date order.\r\n"
      "Reads include names in any letter case.\r\n</div>\r\n"
      "</div>\r\n",
      ReadWhole(site_ / "Includes" / "version.inc"));

  // Newest first: the items are dated one or two days apart, item 20 last.
  const std::string recent = ReadWhole(site_ / "Includes" / "recent_newslist.inc");
  size_t previous = 0;
  for (int item = kNewsItems; item > kNewsItems - 10; --item) {
    const size_t at = recent.find(NewsLink(item));
    ASSERT_NE(std::string::npos, at) << NewsLink(item);
    EXPECT_LT(previous, at) << NewsLink(item);
    previous = at;
  }
  EXPECT_EQ(std::string::npos, recent.find(NewsLink(kNewsItems - 10)));
  const std::string complete = ReadWhole(site_ / "Includes" / "complete_newslist.inc");
  EXPECT_LT(complete.find("news0002.html"), complete.find("news0001.html"));
}

// The text between two markers of an item file; empty when they are missing.
std::string Marked(const std::string& text, const std::string& start, const std::string& end) {
  const size_t from = text.find(start);
  const size_t to = from == std::string::npos ? from : text.find(end, from);
  return to == std::string::npos ? "" : text.substr(from + start.size(), to - from - start.size());
}

TEST_F(BenchSmoke, NewsItemsAreWrittenAsTheContentCreatorWritesThem) {
  // The last generated item, written again by 'pagorin news add' into the
  // same site generated with one item fewer, gives the same files and project.
  const fs::path other = root_ / "fewer";
  ASSERT_EQ(0, Generate(other, kNewsItems - 1, "--source-template"));
  const std::string content = ReadWhole(site_ / "Includes" / "content_news0020.inc");
  const std::string title = Marked(content, "<!-- title -->", "<!-- end title -->");
  const std::string date = Marked(content, "<!-- date -->", "<!-- end date -->");
  const std::string story = Marked(content, "<!-- story -->", "<!-- end story -->");
  const std::string tags = Marked(content, "<!-- tags -->", "<!-- end tags -->");
  ASSERT_FALSE(title.empty() || date.empty() || story.empty() || tags.empty());
  ASSERT_EQ(0, RunShell(RunSettings() + "'" PAGORIN_EXECUTABLE "' news add '" +
                        (other / "pagorin" / "site.pgx").string() + "' --title '" + title +
                        "' --story '" + story + "' --tags '" + tags + "' --date '" + date +
                        "' 2>/dev/null"));

  for (const char* file : {"Templates/news0020.template", "Includes/content_news0020.inc",
                           "Includes/header_news0020.inc", "site.pgx"}) {
    EXPECT_EQ(ReadWhole(site_ / file), ReadWhole(other / "pagorin" / file)) << file;
  }
}

TEST_F(BenchSmoke, ProjectFileIsWrittenAsTheSettingsStoreWritesIt) {
  const std::string original = ReadWhole(site_ / "site.pgx");
  cSHAREDSettings project(test_env_.env);
  project.LoadSettings((site_ / "site.pgx").string());
  project.SaveSettings((root_ / "saved.pgx").string());
  EXPECT_EQ(original, ReadWhole(root_ / "saved.pgx"));

  for (const char* set : {"GEN_INCFILE", "GEN_OUTER", "GEN_INNER", "GEN_TAGS", "GEN_COUNT"}) {
    EXPECT_EQ(13, project.SetCount(set)) << set;
  }
  EXPECT_EQ("-1", project.sGet("GEN_COUNT_1").Text());
  EXPECT_EQ("Newslist_Vorn_Top.inc", project.sGet("GEN_INCFILE_13").Text());
  EXPECT_EQ(std::to_string(kNewsItems), project.sGet("NewsNumber").Text());
  EXPECT_EQ(".html", project.sGet("Ext_news0020").Text());
  EXPECT_TRUE(project.sGet("DoVersionsFirst").AsBool());
  EXPECT_EQ("", test_env_.log.RingText());
}

}  // namespace
}  // namespace pagorin
