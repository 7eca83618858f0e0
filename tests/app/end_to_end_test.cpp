// The real pagorin executable on a copy of the Sample, on the benchmark's
// generated site, and on sites that must make it stop: exit status, messages
// on standard error, pages.
//
// The expected pages live in tests/app/data/sample/. After a deliberate
// change to the Sample or the compiler, run this test once with
// PAGORIN_UPDATE_EXPECTED=1 to write them afresh, and review the diff.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"

namespace pagorin::testing {
namespace {

namespace fs = std::filesystem;

// Every file under `folder`, by its path relative to it.
std::map<std::string, std::string> Files(const TestEnv& t, const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = t.ReadFile(entry.path().string());
    }
  }
  return files;
}

class EndToEndTest : public ::testing::Test {
 protected:
  TestEnv t;
};

TEST_F(EndToEndTest, SampleBuildsToTheExpectedPages) {
  const fs::path site = t.Path("Sample");
  fs::copy(PAGORIN_SOURCE_DIR "/Sample", site, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(site)) {
    t.Touch(entry.path().string(), FromLocal({2024, 3, 1, 12, 0, 0}));
  }
  t.Touch((site / "releases/current.txt").string(), FromLocal({2024, 2, 20, 9, 30, 0}));
  const std::map<std::string, std::string> before = Files(t, site);

  const ProgramRun run = RunPagorin(t, "/AUTO Sample/Sample.pgx");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("", run.err);

  std::map<std::string, std::string> built;
  for (const auto& [name, text] : Files(t, site)) {
    if (before.count(name) == 0) {
      built[name] = text;
    } else {
      EXPECT_EQ(before.at(name), text) << name << " changed";  // the project file too
    }
  }
  const fs::path expected_folder = PAGORIN_SOURCE_DIR "/tests/app/data/sample";
  if (std::getenv("PAGORIN_UPDATE_EXPECTED") != nullptr) {
    fs::remove_all(expected_folder);
    for (const auto& [name, text] : built) {
      t.WriteFile((expected_folder / name).string(), text);
    }
    GTEST_SKIP() << "expected pages written to " << expected_folder;
  }
  const std::map<std::string, std::string> expected = Files(t, expected_folder);
  for (const auto& [name, text] : expected) {
    ASSERT_EQ(1u, built.count(name)) << name << " was not built";
    EXPECT_EQ(text, built.at(name)) << name;
  }
  EXPECT_EQ(expected.size(), built.size());
  EXPECT_TRUE(built.count("index.html") && built.count("faq.htm"));
}

TEST_F(EndToEndTest, MissingIncludeStopsWithAMessageAndExitStatus) {
  const std::string project_text = "PROJECTPATH,./\r\nPROJECTTITLE,Broken\r\n";
  const std::string project = t.Path("site/site.pgx");
  for (const auto& [name, text] : std::map<std::string, std::string>{
           {"site.pgx", project_text},
           {"Templates/first.template", "first"},
           {"Templates/folder.template/x.txt", ""},  // no template
           {"Templates/second.template", "second[include=gone.inc]x"},
           {"Templates/third.template", "third"}}) {
    t.WriteFile(t.Path("site/" + name), text);
  }
  const ProgramRun run = RunPagorin(t, "/auto '" + project + "'");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("pagorin: gone.inc not found in second.template. Please fix and re-run.\n", run.err);
  EXPECT_EQ("first", t.ReadFile(t.Path("site/first.html")));
  EXPECT_FALSE(t.Exists(t.Path("site/folder.html")));
  EXPECT_EQ("second", t.ReadFile(t.Path("site/second.html")));
  EXPECT_FALSE(t.Exists(t.Path("site/third.html")));
  EXPECT_EQ(project_text, t.ReadFile(project));
  // The log holds the records of the failure.
  EXPECT_NE(std::string::npos, t.ReadFile(t.Path("config/pagorin/log.txt"))
                                   .find("File not found(23001) in ParseTemplateFile"));
}

TEST_F(EndToEndTest, BadCommandLinesAndProjects) {
  const std::string photo = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  t.WriteFile(t.Path("photo.pgx"), photo);
  struct Case {
    std::string args;
    int status;
    std::string errors;
  };
  const Case cases[] = {
      {"/AUTO", 1, "pagorin: Please specify the project file to auto-run\n"},
      {"/AUTO nothing.pgx", 1,
       "pagorin: The project file " + t.root() +
           "nothing.pgx does not exist, so there is nothing to build.\n"},
      {"/AUTO photo.pgx", 1,
       "pagorin: " + t.root() +
           "photo.pgx is not a Pagorin project file (its lines are not NAME,value settings). It "
           "was not opened and will not be changed.\n"},
      {"--fast x.pgx", 2, "pagorin: unknown option --fast\n"},
      {"photo.pgx", 2,
       "pagorin: no window can be shown here; use /AUTO PROJECT.pgx to build a project\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ProgramRun run = RunPagorin(t, c.args);
    EXPECT_EQ(c.status, run.status);
    EXPECT_EQ(c.errors, run.err.substr(0, c.errors.size()));
  }
  EXPECT_EQ(photo, t.ReadFile(t.Path("photo.pgx")));
  EXPECT_FALSE(t.Exists(t.Path("nothing.pgx")));
}

// A site folder that cannot hold a site, or a Templates folder that cannot
// be listed: told, exit status 1, and nothing made anywhere.
TEST_F(EndToEndTest, SiteFolderThatCannotHoldASiteStopsTheBuild) {
  const std::string fix = " Choose the site folder in File > Settings and re-run.\n";
  t.WriteFile(t.Path("plain"), "x");
  t.WriteFile(t.Path("flat/Templates"), "not a folder");
  fs::create_directories(t.Path("bare"));
  struct Case {
    std::string folder;  // the project key
    std::string errors;
  };
  const Case cases[] = {
      {t.Path("nowhere/"),
       "pagorin: The site folder " + t.Path("nowhere/") + " does not exist." + fix},
      {t.Path("plain"),
       "pagorin: The site folder " + t.Path("plain/") + " is a file, not a folder." + fix},
      {"C:\\Sites\\A\\",
       "pagorin: The site folder C:/Sites/A/ is a Windows drive path, which "
       "this computer does not have." +
           fix},
      {"/",
       "pagorin: The site folder is \"/\", the top folder of the whole system, which cannot "
       "hold a site." +
           fix},
      {t.Path("bare/"), "pagorin: The site folder " + t.Path("bare/") +
                            " has no Templates folder, so there is nothing to build. Please fix "
                            "and re-run.\n"},
      {t.Path("flat/"), "pagorin: The Templates folder " + t.Path("flat/Templates/") +
                            " cannot be listed. Please fix and re-run.\n"},
  };
  const bool root_had_templates = fs::exists("/Templates") || fs::exists("/Includes");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string project_text = "PROJECTPATH," + c.folder + "\r\nPROJECTTITLE,Site\r\n";
    t.WriteFile(t.Path("project/site.pgx"), project_text);
    const ProgramRun run = RunPagorin(t, "/AUTO project/site.pgx");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(c.errors, run.err);
    EXPECT_EQ(project_text, t.ReadFile(t.Path("project/site.pgx")));
  }
  EXPECT_FALSE(t.Exists(t.Path("nowhere")));
  EXPECT_EQ("x", t.ReadFile(t.Path("plain")));
  EXPECT_FALSE(t.Exists(t.Path("C:")));
  // The folders the project's save makes in a site folder that exists.
  EXPECT_EQ((std::vector<std::string>{"Includes", "Templates"}), t.List(t.Path("bare")));
  if (!root_had_templates) {
    EXPECT_FALSE(fs::exists("/Templates") || fs::exists("/Includes"));
  }
}

// The benchmark's generated site, built so that the benchmark keeps working
// as the program changes: every page holds what the generator's manifest
// lists for it and no markup is left over. Nothing here is timed.
TEST_F(EndToEndTest, BenchmarkSiteBuildsEveryPageAsItsManifestSays) {
  ASSERT_EQ(0, std::system(("/usr/bin/python3 '" PAGORIN_SOURCE_DIR "/bench/gen_site.py' '" +
                            t.Path("bench") + "' --no-hugo --pages 300 --news 20")
                               .c_str()));
  const ProgramRun run = RunPagorin(t, "/AUTO bench/pagorin/site.pgx");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);

  const char* const leftovers[] = {"[include=",  "[var ",   "$BASEURL", "$PAGEURL",
                                   "$LONGDATE",  "$inner$", "$News",    "[pagetitle]",
                                   "[sitename]", "_topic]", "_lead]"};
  // Each line: a page and texts it holds; the first, "*", texts every page holds.
  std::istringstream manifest(t.ReadFile(t.Path("bench/manifest.tsv")));
  std::vector<std::string> every_page = {"was generated on March 7, 2024 for The Lantern Works."};
  int pages = 0;
  for (std::string line; std::getline(manifest, line);) {
    std::istringstream fields(line);
    std::string page, text;
    std::getline(fields, page, '\t');
    std::vector<std::string> texts;
    while (std::getline(fields, text, '\t')) {
      texts.push_back(text);
    }
    if (page == "*") {
      every_page.insert(every_page.end(), texts.begin(), texts.end());
      continue;
    }
    ++pages;
    const std::string html = t.ReadFile(t.Path("bench/pagorin/" + page));
    texts.insert(texts.end(), every_page.begin(), every_page.end());
    for (const std::string& held : texts) {
      EXPECT_NE(std::string::npos, html.find(held)) << page << " lacks " << held;
    }
    for (const char* left : leftovers) {
      EXPECT_EQ(std::string::npos, html.find(left)) << page << " shows " << left;
    }
  }
  EXPECT_EQ(300, pages);
  EXPECT_EQ(300,
            std::count_if(fs::directory_iterator(t.Path("bench/pagorin")), {},
                          [](const auto& entry) { return entry.path().extension() == ".html"; }));
}

}  // namespace
}  // namespace pagorin::testing
