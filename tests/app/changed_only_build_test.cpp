// Builds that keep unchanged pages against full builds, on random sites with
// random edits between the builds: the same bytes in every file, and a file
// keeps its modification time exactly when its text did not change.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/build_driver.h"
#include "app/project.h"
#include "shared/real_file_system.h"
#include "site_fixture.h"

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

struct Case {
  unsigned seed;
  bool threaded;   // the kept build writes its pages on a thread of their own
  bool from_flag;  // asked for by --changed (Engine::changed_only), not by the project
};

class ChangedOnlyBuildTest : public SiteTest, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    fs::create_directories(Full("Templates"));
    fs::create_directories(Full("Includes"));
    random_.seed(GetParam().seed);
    for (int i = 0; i < kIncludes; ++i) {
      WriteBoth("Includes/inc" + std::to_string(i) + ".inc", IncludeText(i));
    }
    for (int i = 0; i < 10; ++i) {
      AddTemplate();
    }
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

  std::string Full(const std::string& relative = "") const { return t.Path("full/" + relative); }
  Engine& Kept() { return GetParam().threaded ? threaded_ : engine; }

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  std::string Word() {
    static const std::vector<std::string> words = {"alpha", "<b>beta</b>",  "gamma ",
                                                   "\r\n",  "d\xC3\xA9lta", "e=f"};
    return words[Pick(static_cast<int>(words.size()))];
  }

  // Text, variable definitions and uses, and includes of the includes after
  // `first_include` (so that no include includes itself).
  std::string RandomText(int first_include) {
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

  std::string IncludeText(int index) { return RandomText(index + 1); }

  // Writes an input file into both sites, each time with a later date, so
  // that the file cache sees every edit, even one that keeps the size.
  void WriteBoth(const std::string& relative, const std::string& text) {
    const auto when = fs::file_time_type::clock::now() + std::chrono::seconds(++edits_);
    for (const std::string& path : {Site(relative), Full(relative)}) {
      t.WriteFile(path, text);
      fs::last_write_time(path, when);
    }
  }

  void AddTemplate() {
    WriteBoth("Templates/t" + std::to_string(templates_++) + ".template", RandomText(0));
  }

  // One random edit of the inputs, or of a page of the kept site.
  void Edit() {
    const std::string include = "Includes/inc" + std::to_string(Pick(kIncludes)) + ".inc";
    const std::string page = "t" + std::to_string(Pick(templates_)) + ".html";
    switch (Pick(6)) {
      case 0:
        WriteBoth(include, IncludeText(include[12] - '0'));
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

  std::mt19937 random_;
  int templates_ = 0;
  int edits_ = 0;
  RealFileSystem disk_;
  Env disk_env_{disk_, t.clock, t.ui, t.log, t.locale, t.progress, t.paths, t.net};
  Engine threaded_{disk_env_};
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
                                           Case{5, true, false}, Case{6, false, false}));

}  // namespace
}  // namespace pagorin::testing
