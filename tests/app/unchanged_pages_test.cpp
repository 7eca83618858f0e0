// Pages left uncompiled by a rebuild in the same program run: after each
// kind of edit exactly the pages made from what changed are compiled again,
// the site holds the bytes a fresh full build writes, and a page whose text
// stays the same keeps its file untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <tuple>

#include "app/build_driver.h"
#include "app/build_run.h"
#include "app/project.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

namespace fs = std::filesystem;

// What shows that a file was written: its times and its inode.
using Stamp = std::tuple<long, long, long, long, ino_t>;

Stamp StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    return {};
  }
  return {st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec, st.st_ino};
}

class UnchangedPagesTest;

struct Edit {
  const char* what;
  std::function<void(UnchangedPagesTest&)> edit;
  int compiled;  // pages compiled by the rebuild after it
  bool built = true;
  bool reads = true;  // false: the rebuild reads no template or include, it only checks them
  bool just_written = false;  // the disk's time is that of the test (else an hour ahead)
};

class UnchangedPagesTest : public SiteTest, public ::testing::WithParamInterface<Edit> {
 public:
  using SiteTest::engine;
  using SiteTest::Page;
  using SiteTest::ProjectPath;
  using SiteTest::Site;
  using SiteTest::t;
  using SiteTest::WriteInclude;
  using SiteTest::WriteTemplate;

  // Files touched a while after the first build.
  void Later(const std::string& relative) {
    t.Touch(Site(relative), FixedNow() + std::chrono::hours(1));
  }

 protected:
  void SetUp() override {
    WriteTemplate("a.template", "<title>Alpha</title>[var colour=red][include=nav.inc]A");
    WriteTemplate("b.template", "$ENCODEDPAGETITLE|[colour]|B");
    WriteTemplate("c.template", "<title>Gamma</title>[include=only_c.inc]C[size]");
    WriteTemplate("d.template", "<title>Delta</title>$LONGDATE D");
    WriteTemplate("e.template", "<title>Echo</title>[include=dated.inc]E");
    WriteTemplate("f.template", "<title>Fox</title>$BASEURL F[include=nav.inc]");
    WriteInclude("nav.inc", "nav");
    WriteInclude("only_c.inc", "only c");
    WriteInclude("dated.inc", "$FILECREATE");
    t.Touch(Site("Includes/dated.inc"), FixedNow() - std::chrono::hours(48));
    OpenSite({"WEBSITEURL,https://lanterns.example/"});
    engine.changed_only = true;
  }

  // The pages of the site folder, by name.
  std::map<std::string, std::string> Pages() const {
    std::map<std::string, std::string> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(Site())) {
      if (entry.is_regular_file() && entry.path().extension() == ".html") {
        pages[entry.path().filename().string()] = t.ReadFile(entry.path().string());
      }
    }
    return pages;
  }
};

TEST_P(UnchangedPagesTest, OnlyPagesMadeFromWhatChangedAreCompiled) {
  if (GetParam().just_written) {
    t.fs.SetAhead(std::chrono::seconds(0));
  }
  ASSERT_TRUE(BuildPages(engine, false));
  GetParam().edit(*this);
  const std::map<std::string, std::string> old = Pages();
  std::map<std::string, Stamp> before;
  for (const auto& [name, text] : old) {
    before[name] = StampOf(Site(name));
  }
  const std::string title = engine.last_page_title;
  const size_t reads = t.fs.reads().size();

  BuildRun run(engine);
  EXPECT_EQ(GetParam().built, BuildPages(run, false));
  EXPECT_EQ(GetParam().compiled, run.pages_compiled);
  if (!GetParam().reads) {
    for (size_t i = reads; i < t.fs.reads().size(); ++i) {
      const std::string& read = t.fs.reads()[i];
      EXPECT_EQ(std::string::npos, read.find("/Templates/")) << read;
      EXPECT_EQ(std::string::npos, read.find("/Includes/")) << read;
    }
  }
  const std::map<std::string, std::string> kept = Pages();
  for (const auto& [name, text] : kept) {
    if (const auto was = old.find(name); was != old.end() && was->second == text) {
      EXPECT_EQ(before[name], StampOf(Site(name))) << name << " was touched";
    }
  }
  // A full build in a program run of its own, from the title the rebuild
  // started with, writes the same bytes.
  Engine fresh(t.env);
  fresh.ProjectFile = ProjectPath();
  ASSERT_TRUE(OpenProject(fresh));
  fresh.last_page_title = title;
  EXPECT_EQ(GetParam().built, BuildPages(fresh, false));
  EXPECT_EQ(Pages(), kept);
}

using T = UnchangedPagesTest;

const Edit kEdits[] = {
    {"nothing", [](T&) {}, 0, true, false},
    // Templates and includes are read again and compared; pages written
    // one by one are compiled again (and kept).
    {"nothing, every file just written", [](T&) {}, 6, true, true, true},
    {"one template", [](T& s) { s.WriteTemplate("c.template", "<title>Gamma</title>C!"); }, 1},
    {"an include of one page", [](T& s) { s.WriteInclude("only_c.inc", "only C"); }, 1},
    {"an include of two pages", [](T& s) { s.WriteInclude("nav.inc", "NAV"); }, 2},
    {"a definition a later page uses",
     [](T& s) {
       s.WriteTemplate("a.template", "<title>Alpha</title>[var colour=blue][include=nav.inc]A");
     },
     2},
    {"a definition of a name a later page looked up in vain",
     [](T& s) {
       s.WriteTemplate("a.template",
                       "<title>Alpha</title>[var colour=red][var size=9][include=nav.inc]A");
     },
     2},
    {"a definition no later page uses",
     [](T& s) {
       s.WriteTemplate("a.template",
                       "<title>Alpha</title>[var colour=red][var sh=1][include=nav.inc]A");
     },
     1},
    {"a definition of a name longer than any before",
     [](T& s) {
       s.WriteTemplate("a.template",
                       "<title>Alpha</title>[var colour=red][var longername=1][include=nav.inc]A");
     },
     6},
    {"the title a later page carries over",
     [](T& s) {
       s.WriteTemplate("a.template", "<title>Alfa</title>[var colour=red][include=nav.inc]A");
     },
     2},
    {"the date", [](T& s) { s.t.clock.Advance(std::chrono::hours(24)); }, 1},
    {"the time of an include used with $FILECREATE, its bytes kept",
     [](T& s) { s.Later("Includes/dated.inc"); }, 1},
    {"the time of an include without dates, its bytes kept",
     [](T& s) { s.Later("Includes/nav.inc"); }, 0},
    {"the site address",
     [](T& s) {
       s.t.WriteFile(s.ProjectPath(), "PROJECTPATH,./\r\nWEBSITEURL,https://lamps.example/\r\n");
       ASSERT_TRUE(OpenProject(s.engine));
     },
     1},
    {"a page removed", [](T& s) { fs::remove(s.Site("d.html")); }, 1},
    {"a page rewritten behind the program's back, its time put back",
     [](T& s) {
       // A clock tick after the build wrote it, as any later edit is.
       std::this_thread::sleep_for(std::chrono::milliseconds(20));
       const auto when = fs::last_write_time(s.Site("d.html"));
       std::string text = s.Page("d.html");
       text.back() ^= 1;
       s.t.WriteFile(s.Site("d.html"), text);
       fs::last_write_time(s.Site("d.html"), when);
     },
     1},
    {"a template removed", [](T& s) { fs::remove(s.Site("Templates/e.template")); }, 0},
    {"a template added", [](T& s) { s.WriteTemplate("g.template", "[colour] G"); }, 1},
    {"an include deleted", [](T& s) { fs::remove(s.Site("Includes/nav.inc")); }, 1, false},
};

INSTANTIATE_TEST_SUITE_P(Edits, UnchangedPagesTest, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<Edit>& param) {
                           return "Edit" + std::to_string(param.index);
                         });

}  // namespace
}  // namespace pagorin::testing
