// Builds that keep unchanged pages against full builds, on random sites with
// random edits between the builds: the same bytes in every file, and a file
// keeps its modification time exactly when its text did not change; and
// rebuilds in one program run, which skip the compile of pages made from
// nothing that changed, against full builds of fresh program runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/build_driver.h"
#include "app/build_run.h"
#include "app/project.h"
#include "support/real_disk.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kIncludes = 6;
constexpr int kVariables = 4;

// Every file of `folder` but the project, by path below it.
std::map<std::string, std::string> Files(const TestEnv& t, const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() != ".pgx") {
      files[fs::relative(entry.path(), folder).string()] = t.ReadFile(entry.path().string());
    }
  }
  return files;
}

// The real disk, taking calls from two threads. With its time an hour
// ahead, the files just written count as left alone long since, as when a
// person edits a file a while after the last build; without, every file
// was changed too recently for its times to be trusted.
class ThreadedDisk final : public RealDisk {
 public:
  explicit ThreadedDisk(bool later)
      : ahead_(later ? std::chrono::hours(1) : std::chrono::hours(0)) {}
  TimePoint Now() const override { return real_.Now() + ahead_; }

 private:
  const std::chrono::hours ahead_;
};

// Two copies of a random site: site/, which Kept() builds keeping unchanged
// pages, and full/, built whole. Kept() is `engine`, or in a threaded case
// an engine on the real disk that takes calls from two threads.
template <typename Param>
class RandomSitesTest : public SiteTest, public ::testing::WithParamInterface<Param> {
 protected:
  explicit RandomSitesTest(bool later) : disk_(later) {}

  // Text for a template, or for an include that may include only the
  // includes after `first_include` (so that none includes itself).
  virtual std::string RandomText(int first_include) = 0;
  // Writes an input file into both sites, with a later time than the last.
  virtual void WriteBoth(const std::string& relative, const std::string& text) = 0;

  // The folders of full/, the includes and `templates` templates.
  void WriteInputs(int templates) {
    fs::create_directories(Full("Templates"));
    fs::create_directories(Full("Includes"));
    random_.seed(this->GetParam().seed);
    for (int i = 0; i < kIncludes; ++i) {
      WriteBoth(IncludeName(i), RandomText(i + 1));
    }
    for (int i = 0; i < templates; ++i) {
      AddTemplate();
    }
  }

  std::string Full(const std::string& relative = "") const { return t.Path("full/" + relative); }
  Engine& Kept() { return this->GetParam().threaded ? threaded_ : engine; }
  static std::string IncludeName(int index) {
    return "Includes/inc" + std::to_string(index) + ".inc";
  }
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  void AddTemplate() {
    WriteBoth("Templates/t" + std::to_string(templates_++) + ".template", RandomText(0));
  }

  std::mt19937 random_;
  int templates_ = 0;
  int edits_ = 0;
  ThreadedDisk disk_;
  Env disk_env_{disk_, t.clock, t.ui, t.log, t.locale, t.progress, t.paths, t.net};
  Engine threaded_{disk_env_};
};

struct Case {
  unsigned seed;
  bool threaded;   // the kept build writes its pages on a thread of their own
  bool from_flag;  // asked for by --changed (Engine::changed_only), not by the project
};

class ChangedOnlyBuildTest : public RandomSitesTest<Case> {
 protected:
  ChangedOnlyBuildTest() : RandomSitesTest(/*later=*/false) {}

  void SetUp() override {
    WriteInputs(10);
    OpenSite(GetParam().from_flag ? std::vector<std::string>{}
                                  : std::vector<std::string>{"CHANGEDONLY,1"});
    Engine& kept = Kept();
    kept.changed_only = GetParam().from_flag;
    if (&kept != &engine) {
      kept.ProjectFile = ProjectPath();
      ASSERT_TRUE(OpenProject(kept));
    }
    t.WriteFile(Full("site.pgx"), "PROJECTPATH,./\r\n");
    full_.ProjectFile = Full("site.pgx");
    ASSERT_TRUE(OpenProject(full_));
  }

  std::string Word() {
    static const std::vector<std::string> words = {"alpha", "<b>beta</b>",  "gamma ",
                                                   "\r\n",  "d\xC3\xA9lta", "e=f"};
    return words[Pick(static_cast<int>(words.size()))];
  }

  // Text, variable definitions and uses, and includes.
  std::string RandomText(int first_include) override {
    std::string text;
    for (int n = Pick(8); n >= 0; --n) {
      const int kind = Pick(5);
      const std::string variable = "v" + std::to_string(Pick(kVariables));
      if (kind == 0 && first_include < kIncludes) {
        text += "[include=inc" + std::to_string(first_include + Pick(kIncludes - first_include)) +
                ".inc]";
      } else if (kind == 1) {
        text += "[var " + variable + "=" + std::to_string(Pick(100)) + "]";
      } else if (kind == 2) {
        text += "[" + variable + "]";
      } else {
        text += Word();
      }
    }
    return text;
  }

  // Each time with a later date than now, so that the file cache sees every
  // edit, even one that keeps the size.
  void WriteBoth(const std::string& relative, const std::string& text) override {
    const auto when = fs::file_time_type::clock::now() + std::chrono::seconds(++edits_);
    for (const std::string& path : {Site(relative), Full(relative)}) {
      t.WriteFile(path, text);
      fs::last_write_time(path, when);
    }
  }

  // One random edit of the inputs, or of a page of the kept site.
  void Edit() {
    const std::string include = IncludeName(Pick(kIncludes));
    const std::string page = "t" + std::to_string(Pick(templates_)) + ".html";
    switch (Pick(6)) {
      case 0:
        WriteBoth(include, RandomText(include[12] - '0' + 1));
        break;
      case 1:
        WriteBoth("Templates/t" + std::to_string(Pick(templates_)) + ".template", RandomText(0));
        break;
      case 2: {  // the letter case of one "h" of an include, the size kept
        std::string text = t.ReadFile(Site(include));
        std::vector<size_t> letters;
        for (size_t i = 0; i < text.size(); ++i) {
          if (text[i] == 'h' || text[i] == 'H') {
            letters.push_back(i);
          }
        }
        if (!letters.empty()) {
          text[letters[Pick(static_cast<int>(letters.size()))]] ^= 0x20;
        }
        WriteBoth(include, text);
        break;
      }
      case 3: {  // a page changed behind the program's back, its size kept
        std::string text = PageExists(page) ? Page(page) : std::string();
        if (!text.empty()) {
          text[text.size() - 1] ^= 1;
          t.WriteFile(Site(page), text);
        }
        break;
      }
      case 4:
        fs::remove(Site(page));
        break;
      default:
        AddTemplate();
    }
  }

  Engine full_{disk_env_};
};

TEST_P(ChangedOnlyBuildTest, SameBytesAsAFullBuildAndOnlyChangedFilesTouched) {
  const auto long_ago = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
  ASSERT_TRUE(BuildPages(Kept(), false));
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // The first round edits nothing: then no file may be written at all.
    for (int n = round == 0 ? 0 : 1 + Pick(3); n > 0; --n) {
      Edit();
    }
    std::map<std::string, std::string> before = Files(t, Site());
    for (const auto& [name, text] : before) {
      if (name.rfind("Templates/", 0) != 0 && name.rfind("Includes/", 0) != 0) {
        fs::last_write_time(Site(name), long_ago);
      }
    }
    ASSERT_TRUE(BuildPages(Kept(), false));
    ASSERT_TRUE(BuildPages(full_, false));

    const std::map<std::string, std::string> after = Files(t, Site());
    ASSERT_EQ(Files(t, Full()), after);
    int written = 0;
    for (const auto& [name, text] : after) {
      if (name.rfind("Templates/", 0) == 0 || name.rfind("Includes/", 0) == 0) {
        continue;
      }
      const auto old = before.find(name);
      const bool same = old != before.end() && old->second == text;
      EXPECT_EQ(same, fs::last_write_time(Site(name)) == long_ago) << name;
      written += same ? 0 : 1;
    }
    if (round == 0) {
      EXPECT_EQ(0, written);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RandomSites, ChangedOnlyBuildTest,
                         ::testing::Values(Case{1, false, false}, Case{2, true, false},
                                           Case{3, false, true}, Case{4, true, true},
                                           Case{5, true, false}, Case{6, false, false}),
                         [](const ::testing::TestParamInfo<Case>& test) {
                           return "Seed" + std::to_string(test.param.seed) +
                                  (test.param.threaded ? "Threaded" : "Direct") +
                                  (test.param.from_flag ? "Flag" : "Project");
                         });

// Rebuilds in one program run, which leave pages uncompiled when nothing
// they were made from changed, against full builds of fresh program runs,
// over random edits of every kind a page depends on.
struct RebuildCase {
  unsigned seed;
  bool threaded;
  bool later = true;  // the threaded disk's time is ahead (ThreadedDisk)
};

class RebuildInOneRunTest : public RandomSitesTest<RebuildCase> {
 protected:
  RebuildInOneRunTest() : RandomSitesTest(GetParam().later) {}

  void SetUp() override {
    WriteInputs(12);
    WriteProjects("https://a.example/");
    OpenSite({"PROJECTPATH,./", "WEBSITEURL,https://a.example/"});
    Kept().changed_only = true;
    if (&Kept() != &engine) {
      Kept().ProjectFile = ProjectPath();
      ASSERT_TRUE(OpenProject(Kept()));
    }
  }

  void WriteProjects(const std::string& url) {
    for (const std::string& path : {ProjectPath(), Full("site.pgx")}) {
      t.WriteFile(path, "PROJECTPATH,./\r\nWEBSITEURL," + url + "\r\n");
    }
  }

  // Titles, definitions whose values use other variables, uses, dollar
  // variables and includes.
  std::string RandomText(int first_include) override {
    static const std::vector<std::string> pieces = {"<title>T1</title>",
                                                    "<TITLE>Two words</TITLE>",
                                                    "$ENCODEDPAGETITLE",
                                                    "$LONGDATE",
                                                    "$BASEURL",
                                                    "$FILECREATE",
                                                    "$PAGEURL",
                                                    "alpha ",
                                                    "[v1",
                                                    "]",
                                                    "\r\n",
                                                    "<b>beta</b>"};
    std::string text;
    for (int n = Pick(9); n >= 0; --n) {
      const std::string variable = "v" + std::to_string(Pick(kVariables));
      switch (Pick(6)) {
        case 0:
          if (first_include < kIncludes) {
            text += "[include=inc" +
                    std::to_string(first_include + Pick(kIncludes - first_include)) + ".inc]";
          }
          break;
        case 1: {
          const int value = Pick(100);
          text += "[var " + variable + "=" +
                  (value < 30 ? "[v" + std::to_string(Pick(kVariables)) + "]" : "") +
                  std::to_string(value) + "]";
          break;
        }
        case 2:
          text += "[" + variable + "]";
          break;
        default:
          text += pieces[Pick(static_cast<int>(pieces.size()))];
      }
    }
    return text;
  }

  // Inputs are written into both sites with the same time, each edit a
  // second after the one before, all long enough ago to be trusted by their
  // times and sizes.
  void WriteBoth(const std::string& relative, const std::string& text) override {
    const auto when = start_ + std::chrono::seconds(++edits_);
    for (const std::string& path : {Site(relative), Full(relative)}) {
      t.WriteFile(path, text);
      fs::last_write_time(path, when);
    }
  }
  void RemoveBoth(const std::string& relative) {
    fs::remove(Site(relative));
    fs::remove(Full(relative));
  }
  // A template goes with its page.
  void RemoveTemplate() {
    const int index = Pick(templates_);
    RemoveBoth("Templates/t" + std::to_string(index) + ".template");
    RemoveBoth("t" + std::to_string(index) + ".html");
  }

  std::string SomeTemplate() {
    return "Templates/t" + std::to_string(Pick(templates_)) + ".template";
  }

  void Edit() {
    const int include = Pick(kIncludes);
    const std::string page = "t" + std::to_string(Pick(templates_)) + ".html";
    switch (Pick(11)) {
      case 0:
        WriteBoth(IncludeName(include), RandomText(include + 1));
        break;
      case 1:
        WriteBoth(SomeTemplate(), RandomText(0));
        break;
      case 2: {  // one byte of an include, the size kept
        std::string text = t.ReadFile(Site(IncludeName(include)));
        if (!text.empty()) {
          text[Pick(static_cast<int>(text.size()))] ^= 0x20;
        }
        WriteBoth(IncludeName(include), text);
        break;
      }
      case 3: {  // the same bytes written again: only $FILECREATE can tell
        WriteBoth(IncludeName(include), t.ReadFile(Site(IncludeName(include))));
        break;
      }
      case 4:  // a page changed behind the program's back, its time put back
        // A clock tick after the build wrote it, as any later edit is.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const std::string& path : {Site(page), Full(page)}) {
          if (fs::exists(path)) {
            std::string text = t.ReadFile(path);
            const auto when = fs::last_write_time(path);
            if (!text.empty()) {
              text.back() ^= 1;
            }
            t.WriteFile(path, text);
            fs::last_write_time(path, when);
          }
        }
        break;
      case 5:
        RemoveBoth(page);
        break;
      case 6:
        AddTemplate();
        break;
      case 7:
        RemoveTemplate();
        break;
      case 8:
        t.clock.Advance(std::chrono::hours(24));
        break;
      case 9:
        WriteProjects(Pick(2) == 0 ? "https://a.example/" : "https://b.example/");
        ASSERT_TRUE(OpenProject(Kept()));
        break;
      default:  // put back at the next round
        deleted_.push_back(IncludeName(include));
        deleted_text_.push_back(t.ReadFile(Site(IncludeName(include))));
        RemoveBoth(IncludeName(include));
    }
  }

  void PutBackDeleted() {
    for (size_t i = 0; i < deleted_.size(); ++i) {
      WriteBoth(deleted_[i], deleted_text_[i]);
    }
    deleted_.clear();
    deleted_text_.clear();
  }

  const fs::file_time_type start_ = fs::file_time_type::clock::now() - std::chrono::hours(24);
  std::vector<std::string> deleted_;
  std::vector<std::string> deleted_text_;
};

// The inode and times of a file, which any write changes.
std::tuple<long, long, ino_t> WriteStamp(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return {st.st_ctim.tv_sec, st.st_ctim.tv_nsec, st.st_ino};
}

TEST_P(RebuildInOneRunTest, SameBytesAsAFreshFullBuildAndSkippedPagesUntouched) {
  ASSERT_TRUE(BuildPages(Kept(), false));
  int unchanged = 0;
  for (int round = 0; round < 16; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    PutBackDeleted();
    // The first two rounds edit nothing; the second then compiles nothing
    // (the first may compile pages that took the title an earlier run left).
    for (int n = round < 2 ? 0 : 1 + Pick(3); n > 0; --n) {
      Edit();
    }
    const std::map<std::string, std::string> before = Files(t, Site());
    std::map<std::string, std::tuple<long, long, ino_t>> stamps;
    for (const auto& [name, text] : before) {
      stamps[name] = WriteStamp(Site(name));
    }
    const std::string title = Kept().last_page_title;

    BuildRun run(Kept());
    const bool built = BuildPages(run, false);
    Engine fresh(disk_env_);
    fresh.ProjectFile = Full("site.pgx");
    ASSERT_TRUE(OpenProject(fresh));
    fresh.last_page_title = title;
    ASSERT_EQ(BuildPages(fresh, false), built);

    const std::map<std::string, std::string> after = Files(t, Site());
    ASSERT_EQ(Files(t, Full()), after);
    for (const auto& [name, text] : after) {
      const auto old = before.find(name);
      if (old != before.end() && old->second == text) {
        EXPECT_EQ(stamps[name], WriteStamp(Site(name))) << name << " was written";
      }
    }
    if (round == 1) {
      EXPECT_EQ(0, run.pages_compiled);
    }
    unchanged += run.pages_unchanged;
  }
  EXPECT_GT(unchanged, 0);
}

INSTANTIATE_TEST_SUITE_P(RandomSites, RebuildInOneRunTest,
                         ::testing::Values(RebuildCase{11, false}, RebuildCase{12, true},
                                           RebuildCase{13, false}, RebuildCase{14, true},
                                           RebuildCase{15, false}, RebuildCase{16, true, false},
                                           RebuildCase{17, true, false}),
                         [](const ::testing::TestParamInfo<RebuildCase>& test) {
                           return "Seed" + std::to_string(test.param.seed) +
                                  (test.param.threaded ? "Threaded" : "Direct") +
                                  (test.param.later ? "" : "RecentTimes");
                         });

}  // namespace
}  // namespace pagorin::testing
