// The preview server's remembering disk against the real one, on a real
// folder: after any change, once its events are taken (or at once for its
// own writes and for files it must not vouch for), it answers as the disk.
#include "serve/watched_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "shared/real_file_system.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

namespace fs = std::filesystem;

// What `disk` tells of `folder` and everything below it, one line per entry
// (size and modification time for a file), then of each probe path.
std::string Seen(FileSystem& disk, const std::string& folder,
                 const std::vector<std::string>& probes = {}) {
  std::string seen;
  std::vector<DirEntry> entries;
  if (!disk.ListDirectory(folder, &entries).ok()) {
    return folder + " cannot be listed\n";
  }
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  for (const DirEntry& entry : entries) {
    const std::string path = folder + "/" + entry.name;
    const FileInfo info = disk.Stat(path);
    if (entry.is_directory) {
      seen += path + "/\n" + Seen(disk, path);
    } else {
      seen += path + " " + std::to_string(info.size) + " " +
              std::to_string(info.modified.time_since_epoch().count()) +
              (info.read_only ? " read-only" : "") + "\n";
    }
  }
  for (const std::string& probe : probes) {
    seen += probe + (disk.Stat(probe).exists ? " exists\n" : " missing\n");
  }
  return seen;
}

// Writes in place (the same file keeps its name and its other names).
void Overwrite(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class WatchedFileSystemTest : public ::testing::Test {
 protected:
  WatchedFileSystemTest() : watched(real) {
    for (const char* file :
         {"site/Templates/a.template", "site/Templates/b.template", "site/Includes/menu.inc",
          "site/Includes/sub/deep/d.inc", "site/index.html", "site/news.txt"}) {
      t.WriteFile(t.Path(file), file);
    }
    EXPECT_TRUE(watched.Watch(Site("Templates"), {.subfolders = true, .suffix = ""}));
    EXPECT_TRUE(watched.Watch(Site("Includes/"), {.subfolders = true, .suffix = ""}));
    EXPECT_TRUE(watched.Watch(Site(), {.subfolders = false, .suffix = ".txt"}));
  }
  std::string Site(const std::string& relative = "") const {
    return t.Path(relative.empty() ? "site" : "site/" + relative);
  }

  testing::TestEnv t;
  RealFileSystem real;
  WatchedFileSystem watched;
};

TEST_F(WatchedFileSystemTest, SeesEveryChangeOnceItsEventsAreTaken) {
  const std::vector<std::string> probes = {Site("Templates/new.template"),
                                           Site("Includes/nav/x.inc"), Site("gone.html")};
  const auto past = fs::file_time_type::clock::now() - std::chrono::hours(48);
  const struct {
    const char* change;
    std::function<void()> make;
  } steps[] = {
      {"write", [&] { Overwrite(Site("Templates/a.template"), "a longer text"); }},
      {"rename over",
       [&] {
         t.WriteFile(Site("Includes/.menu.inc.tmp"), "<nav>renamed</nav>");
         fs::rename(Site("Includes/.menu.inc.tmp"), Site("Includes/menu.inc"));
       }},
      {"touch -m", [&] { fs::last_write_time(Site("Templates/a.template"), past); }},
      {"chmod", [&] { chmod(Site("Templates/b.template").c_str(), 0444); }},
      {"delete", [&] { fs::remove(Site("Templates/b.template")); }},
      {"create", [&] { t.WriteFile(Site("Templates/new.template"), "new"); }},
      {"new subfolder with a file", [&] { t.WriteFile(Site("Includes/nav/x.inc"), "x"); }},
      {"edit in the new subfolder", [&] { Overwrite(Site("Includes/nav/x.inc"), "x edited"); }},
      {"edit deep down", [&] { Overwrite(Site("Includes/sub/deep/d.inc"), "d edited"); }},
      {"subfolder renamed", [&] { fs::rename(Site("Includes/sub"), Site("Includes/moved")); }},
      {"edit in the renamed subfolder",
       [&] { Overwrite(Site("Includes/moved/deep/d.inc"), "d edited again"); }},
      {"page written", [&] { Overwrite(Site("index.html"), "<p>page</p>"); }},
      {"folder renamed away, edited and back",
       [&] {
         fs::rename(Site("Templates"), Site("Old"));
         Overwrite(Site("Old/a.template"), "edited while away");
         fs::rename(Site("Old"), Site("Templates"));
       }},
      {"edit in the folder that came back", [&] { Overwrite(Site("Templates/a.template"), "!"); }},
  };
  EXPECT_EQ(Seen(watched, Site(), probes), Seen(real, Site(), probes));
  for (const auto& step : steps) {
    SCOPED_TRACE(step.change);
    step.make();
    watched.TakeEvents();
    EXPECT_EQ(Seen(watched, Site(), probes), Seen(real, Site(), probes));
  }
}

TEST_F(WatchedFileSystemTest, AnswersFromMemoryUntilTheEventsAreTaken) {
  const std::string a = Site("Templates/a.template");
  const TimePoint first_look = watched.Now();
  const std::string before = Seen(watched, Site());
  const TimePoint looked = watched.Now();
  // Vouched for since it was looked at, and not before.
  EXPECT_TRUE(watched.UnchangedSince(a, looked));
  EXPECT_FALSE(watched.UnchangedSince(a, first_look - std::chrono::seconds(1)));
  Overwrite(a, "a longer text");
  EXPECT_EQ(Seen(watched, Site()), before);
  EXPECT_TRUE(watched.TakeEvents());
  EXPECT_FALSE(watched.UnchangedSince(a, looked));
  EXPECT_EQ(Seen(watched, Site()), Seen(real, Site()));
  EXPECT_FALSE(watched.UnchangedSince(a, looked));
}

TEST_F(WatchedFileSystemTest, NeverVouchesForALinkedFile) {
  t.WriteFile(t.Path("outside.inc"), "target");
  ASSERT_EQ(symlink(t.Path("outside.inc").c_str(), Site("Includes/symbolic.inc").c_str()), 0);
  ASSERT_EQ(link(Site("Includes/menu.inc").c_str(), t.Path("other-name.inc").c_str()), 0);
  const struct {
    const char* kind;
    std::string watched_name, other_name;
  } cases[] = {
      {"symbolic link", Site("Includes/symbolic.inc"), t.Path("outside.inc")},
      {"hard link", Site("Includes/menu.inc"), t.Path("other-name.inc")},
  };
  watched.TakeEvents();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(watched.Stat(c.watched_name).size, real.Stat(c.watched_name).size);
    EXPECT_FALSE(watched.UnchangedSince(c.watched_name, watched.Now()));
    // No event comes from outside the folder: the answer must not be memory's.
    const std::string edit = "a text of another length";
    Overwrite(c.other_name, edit);
    EXPECT_EQ(watched.Stat(c.watched_name).size, edit.size());
  }
}

TEST_F(WatchedFileSystemTest, SeesItsOwnChangesAtOnce) {
  std::unique_ptr<OutputFile> appended;
  const struct {
    const char* change;
    std::function<FsStatus()> make;
  } steps[] = {
      {"written whole", [&] { return WriteWholeFile(watched, Site("index.html"), "<p>1</p>"); }},
      {"replaced", [&] { return ReplaceFile(watched, Site("Includes/menu.inc"), "<nav>2</nav>"); }},
      {"opened for appending",
       [&] {
         return watched.OpenOutput(Site("news.txt"), FileSystem::OpenMode::kAppend, &appended);
       }},
      {"appended to", [&] { return appended->Append("more news"); }},
      {"closed", [&] { return appended->Close(); }},
      {"renamed", [&] { return watched.Rename(Site("index.html"), Site("Templates/c.template")); }},
      {"removed", [&] { return watched.Remove(Site("Templates/b.template")); }},
      {"linked",
       [&] { return watched.Link(Site("Templates/a.template"), Site("Includes/a.inc")); }},
      {"written through the link",
       [&] { return WriteWholeFile(watched, Site("Includes/a.inc"), "through the link"); }},
      {"folder made", [&] { return watched.MakeDirectory(Site("Includes/parts")); }},
      {"made read-only", [&] { return watched.SetReadOnly(Site("Includes/menu.inc"), true); }},
      {"dated", [&] { return watched.SetModified(Site("news.txt"), testing::FixedNow()); }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.change);
    Seen(watched, Site());
    EXPECT_TRUE(step.make().ok());
    EXPECT_EQ(Seen(watched, Site()), Seen(real, Site()));
  }
}

// The build reads the templates' statuses while its page writer replaces
// pages in another folder: what it read is still remembered, so the next
// build need not read it again.
TEST_F(WatchedFileSystemTest, RemembersWhatItReadWhilePagesAreWritten) {
  std::vector<std::string> templates;
  for (int i = 0; i < 300; ++i) {
    templates.push_back(Site("Templates/t" + std::to_string(i) + ".template"));
    t.WriteFile(templates.back(), "t");
  }
  watched.TakeEvents();
  std::atomic<bool> reading = true;
  std::atomic<int> written = 0;
  std::thread writer([&] {
    for (int i = 0; reading; ++i) {
      EXPECT_TRUE(ReplaceFile(watched, Site("page" + std::to_string(i % 10) + ".html"), "p").ok());
      ++written;
    }
  });
  while (written == 0) {
    std::this_thread::yield();
  }
  for (const std::string& path : templates) {
    watched.Stat(path);
  }
  reading = false;
  writer.join();
  const TimePoint now = watched.Now();
  EXPECT_TRUE(std::all_of(templates.begin(), templates.end(),
                          [&](const std::string& path) { return watched.UnchangedSince(path, now); }));
}

// A queue of events too long for the kernel loses events: everything
// remembered is forgotten, and a rebuild is due.
TEST_F(WatchedFileSystemTest, ForgetsEverythingWhenEventsWereLost) {
  std::ifstream limit_file("/proc/sys/fs/inotify/max_queued_events");
  int limit = 0;
  limit_file >> limit;
  if (limit <= 0 || limit > 100000) {
    GTEST_SKIP() << "the queue holds " << limit << " events";
  }
  Seen(watched, Site());
  // Files that take turns, so the kernel cannot fold their events into one.
  const std::string turns[] = {Site("Includes/sub/deep/d.inc"), Site("Templates/b.template")};
  for (int i = 0; i < limit; ++i) {
    ASSERT_EQ(utimensat(AT_FDCWD, turns[i % 2].c_str(), nullptr, 0), 0);
  }
  Overwrite(Site("Templates/a.template"), "an edit whose event is lost");
  EXPECT_TRUE(watched.TakeEvents());
  EXPECT_EQ(Seen(watched, Site()), Seen(real, Site()));
}

TEST_F(WatchedFileSystemTest, OnlyFinishedChangesOfSourcesStartARebuild) {
  int open_file = -1;
  const struct {
    const char* change;
    std::function<void()> make;
    bool rebuild;
  } steps[] = {
      {"nothing", [] {}, false},
      {"an editor's new empty file",
       [&] { open_file = open(Site("Templates/new.template").c_str(), O_CREAT | O_WRONLY, 0644); },
       false},
      {"written, not yet closed", [&] { EXPECT_EQ(write(open_file, "text", 4), 4); }, false},
      {"closed", [&] { close(open_file); }, true},
      {"a page written", [&] { Overwrite(Site("index.html"), "page"); }, false},
      {"a news list written", [&] { Overwrite(Site("news.txt"), "news"); }, true},
      {"a news list in capitals written", [&] { Overwrite(Site("OLD.TXT"), "old"); }, true},
      {"a news list and a page replaced by the program itself",
       [&] {
         EXPECT_TRUE(ReplaceFile(watched, Site("news.txt"), "own news").ok());
         EXPECT_TRUE(ReplaceFile(watched, Site("index.html"), "own page").ok());
       },
       false},
      {"an include replaced by the program itself",
       [&] { EXPECT_TRUE(ReplaceFile(watched, Site("Includes/list.inc"), "list").ok()); }, false},
      {"an include deep down written", [&] { Overwrite(Site("Includes/sub/deep/d.inc"), "d"); },
       true},
      {"an empty subfolder made", [&] { fs::create_directory(Site("Includes/nav")); }, false},
      {"a file written in it", [&] { Overwrite(Site("Includes/nav/x.inc"), "x"); }, true},
      {"a subfolder deleted", [&] { fs::remove_all(Site("Includes/nav")); }, true},
      {"the templates folder moved away and back",
       [&] {
         fs::rename(Site("Templates"), Site("Old"));
         fs::rename(Site("Old"), Site("Templates"));
       },
       true},
      {"a template written after", [&] { Overwrite(Site("Templates/a.template"), "a"); }, true},
      {"a template touched",
       [&] { utimensat(AT_FDCWD, Site("Templates/a.template").c_str(), nullptr, 0); }, true},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.change);
    step.make();
    EXPECT_EQ(watched.TakeEvents(), step.rebuild);
  }
}

}  // namespace
}  // namespace pagorin
