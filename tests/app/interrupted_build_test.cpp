// The real pagorin executable on the benchmark's generated site, stopped
// the hard way: killed at random moments, and on a disk that fills up.
// Whatever happens, every page is either its old bytes or its new ones, and
// the next complete build leaves no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/killed_runs.h"
#include "support/test_env.h"

namespace pagorin::testing {
namespace {

namespace fs = std::filesystem;

// 7 March 2024 and 16 April 2024, 14:35 UTC: every page shows the day.
constexpr const char* kOldDay = "1709822100";
constexpr const char* kNewDay = "1713278100";

class InterruptedBuildTest : public ::testing::Test {
 protected:
  // Generates a site of `pages` pages into `folder` (its project is
  // pagorin/site.pgx).
  void Generate(const std::string& folder, int pages) {
    ASSERT_EQ(
        0, std::system(("/usr/bin/python3 '" PAGORIN_SOURCE_DIR "/bench/gen_site.py' '" + folder +
                        "' --no-hugo --pages " + std::to_string(pages) + " --news 20 >/dev/null")
                           .c_str()));
  }

  // Starts `pagorin /AUTO <project>` with the clock at `day`; its standard
  // error goes to stderr.txt. The process id.
  pid_t Start(const std::string& project, const char* day) {
    return StartProgram(t, PAGORIN_EXECUTABLE, {"/AUTO", project}, day, t.Path("stderr.txt"));
  }

  // The exit status of a build run to its end.
  int Build(const std::string& project, const char* day) {
    return WaitForExit(Start(project, day));
  }

  // Templates for pages the site did not have, built before the others.
  void AddTemplates(const std::string& site) const {
    const std::string text = t.ReadFile(site + "/Templates/archive.template");
    for (int i = 0; i < 50; ++i) {
      t.WriteFile(site + "/Templates/added" + std::to_string(100 + i) + ".template", text);
    }
  }

  // Every page of the site folder, by name.
  std::map<std::string, std::string> Pages(const std::string& site) const {
    std::map<std::string, std::string> pages;
    for (const auto& entry : fs::directory_iterator(site)) {
      if (entry.path().extension() == ".html") {
        pages[entry.path().filename().string()] = t.ReadFile(entry.path().string());
      }
    }
    return pages;
  }

  // The temporary files anywhere under `folder`.
  static std::vector<std::string> Temporary(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.path().extension() == ".tmp") {
        found.push_back(entry.path().string());
      }
    }
    return found;
  }

  // Each page of `site` is the one of `old_pages` or of `new_pages` of its
  // name, byte for byte; none of the old ones is missing. The number of
  // pages that have no old one.
  std::size_t ExpectOldOrNew(const std::string& site,
                             const std::map<std::string, std::string>& old_pages,
                             const std::map<std::string, std::string>& new_pages) const {
    std::size_t added = 0;
    const std::map<std::string, std::string> pages = Pages(site);
    for (const auto& [name, text] : pages) {
      EXPECT_TRUE(new_pages.count(name) != 0) << name;
      if (new_pages.count(name) == 0) {
        continue;
      }
      added += old_pages.count(name) == 0 ? 1 : 0;
      EXPECT_TRUE(text == new_pages.at(name) ||
                  (old_pages.count(name) != 0 && text == old_pages.at(name)))
          << name << " is neither its old nor its new page (" << text.size() << " bytes)";
    }
    EXPECT_EQ(old_pages.size() + added, pages.size());
    return added;
  }

  TestEnv t;
};

TEST_F(InterruptedBuildTest, KilledBuildsLeaveEveryPageOldOrNew) {
  const int kPages = 300;
  Generate(t.Path("new"), kPages);
  ASSERT_EQ(0, Build(t.Path("new/pagorin/site.pgx"), kNewDay));
  const std::map<std::string, std::string> new_pages = Pages(t.Path("new/pagorin"));
  Generate(t.Path("site"), kPages);
  const std::string site = t.Path("site/pagorin");
  const std::string project = site + "/site.pgx";
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(0, Build(project, kOldDay));
  const auto whole_build = std::chrono::steady_clock::now() - started;
  const std::map<std::string, std::string> old_pages = Pages(site);
  ASSERT_EQ(static_cast<std::size_t>(kPages), old_pages.size());
  ASSERT_NE(old_pages.begin()->second, new_pages.at(old_pages.begin()->first));

  // Kills anywhere from the start to the end of a build, the two days in
  // turn, so that pages of both kinds are being replaced.
  std::mt19937 random(20240307);
  std::uniform_int_distribution<long long> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole_build).count());
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    const pid_t pid = Start(project, round % 2 == 0 ? kNewDay : kOldDay);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(pid, SIGKILL);
    WaitForExit(pid);
    ExpectOldOrNew(site, old_pages, new_pages);
    // Each killed run leaves at most the page being written and a list
    // include; a later run takes one over only when it comes to that file,
    // and one killed earlier may not.
    EXPECT_LE(Temporary(site).size(), 2u * static_cast<std::size_t>(round + 1));
  }
  ASSERT_EQ(0, Build(project, kNewDay));
  EXPECT_EQ(new_pages, Pages(site));
  EXPECT_EQ(std::vector<std::string>{}, Temporary(site));
}

// A small file system of its own, filled to the last byte before the build.
TEST_F(InterruptedBuildTest, FullDiskEndsTheBuildWithEveryOldPageWhole) {
  const std::string disk = t.Path("disk");
  fs::create_directories(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64m") != 0) {
    GTEST_SKIP() << "no file system can be mounted here; the faulty file system's tests stand in";
  }
  Generate(t.Path("new"), 600);
  AddTemplates(t.Path("new/pagorin"));
  ASSERT_EQ(0, Build(t.Path("new/pagorin/site.pgx"), kNewDay));
  const std::map<std::string, std::string> new_pages = Pages(t.Path("new/pagorin"));
  Generate(disk, 600);
  const std::string site = disk + "/pagorin";
  const std::string project = site + "/site.pgx";
  ASSERT_EQ(0, Build(project, kOldDay));
  const std::map<std::string, std::string> old_pages = Pages(site);
  const std::string project_text = t.ReadFile(project);

  // The rest of the disk in one file, then a little given back: enough for
  // the news lists and a few pages, never for the fifty pages added.
  AddTemplates(site);
  {
    std::ofstream filler(disk + "/filler", std::ios::binary);
    const std::string block(1 << 20, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
  }
  fs::resize_file(disk + "/filler", fs::file_size(disk + "/filler") - 200 * 1024);
  EXPECT_EQ(1, Build(project, kNewDay));
  const std::string errors = t.ReadFile(t.Path("stderr.txt"));
  EXPECT_TRUE(errors.starts_with("pagorin: The page ") &&
              errors.find(" cannot be written. Please fix and re-run.\n") != std::string::npos)
      << errors;
  EXPECT_LT(ExpectOldOrNew(site, old_pages, new_pages), 50u);
  EXPECT_EQ(project_text, t.ReadFile(project));
  EXPECT_EQ(std::vector<std::string>{}, Temporary(site));

  fs::remove(disk + "/filler");
  EXPECT_EQ(0, Build(project, kNewDay));
  EXPECT_EQ(new_pages, Pages(site));
  ::umount2(disk.c_str(), MNT_DETACH);
}

}  // namespace
}  // namespace pagorin::testing
