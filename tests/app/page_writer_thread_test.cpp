// Pages written on a thread of their own: the same pages as written at once,
// and every way a build can end early ends as it would have.
#include "app/page_writer_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/build_driver.h"
#include "app/build_run.h"
#include "app/project.h"
#include "support/real_disk.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

// Fails every write with a full disk.
class FullDiskFile final : public OutputFile {
 public:
  explicit FullDiskFile(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
  FsStatus Append(std::string_view) override { return FsStatus{FsError::kDiskFull, "write"}; }
  FsStatus Sync() override { return file_->Sync(); }
  FsStatus Close() override { return file_->Close(); }

 private:
  std::unique_ptr<OutputFile> file_;
};

// The real disk, taking calls from two threads. The refusals are set before
// a build starts; the threads that opened pages are noted.
class PageFaultDisk final : public RealDisk {
 public:
  // Pages are opened under their replacement names.
  std::string refuse_open;  // a page that is not opened, after `open_delay`
  std::chrono::milliseconds open_delay{0};
  std::string full_disk;  // a page whose writes fail

  std::set<std::thread::id> openers() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return openers_;
  }

  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      openers_.insert(std::this_thread::get_id());
    }
    if (!refuse_open.empty() && path == ReplacementName(refuse_open)) {
      std::this_thread::sleep_for(open_delay);
      file->reset();
      return FsStatus{FsError::kAccessDenied, "open " + path + ": Permission denied"};
    }
    FsStatus status = real_.OpenOutput(path, mode, file);
    if (status.ok() && !full_disk.empty() && path == ReplacementName(full_disk)) {
      *file = std::make_unique<FullDiskFile>(std::move(*file));
    }
    return status;
  }

 private:
  std::mutex mutex_;
  std::set<std::thread::id> openers_;
};

// Pages a to e, each with two includes and the variables they define.
class PageWriterThreadTest : public SiteTest {
 protected:
  void SetUp() override {
    WriteInclude("head.inc", "<title>$PAGEURL</title>[var shade=green]");
    WriteInclude("foot.inc", "[shade]|[colour]|$ENCODEDPAGETITLE");
    for (const char* name : {"b", "c", "d", "e"}) {
      WriteTemplate(std::string(name) + ".template",
                    std::string("[include=head.inc]page ") + name + "[include=foot.inc]");
    }
    WriteTemplate("a.template", "[var colour=red][include=head.inc]page a[include=foot.inc]");
    OpenSite();
    threaded.ProjectFile = ProjectPath();
    ASSERT_TRUE(OpenProject(threaded));
  }

  bool BuildThreaded() {
    run = std::make_unique<BuildRun>(threaded);
    return BuildPages(*run, /*selected_only=*/false);
  }

  // Pages a to e, one letter each: W whole, C cut at a missing include, O
  // the old text, E empty, - not there, ? anything else.
  std::string Pages() const {
    std::string letters;
    for (const char name : {'a', 'b', 'c', 'd', 'e'}) {
      const std::string page = std::string(1, name) + ".html";
      const std::map<std::string, char> known = {
          {"<title>" + page + "</title>page " + name + "green|red|$PAGEURL", 'W'},
          {"page c ", 'C'},
          {"old", 'O'},
          {"", 'E'}};
      const auto found = known.find(Page(page));
      letters += !PageExists(page) ? '-' : found == known.end() ? '?' : found->second;
    }
    return letters;
  }

  // The threaded build ends early, leaving `pages`, with `page` reported as
  // one that cannot be written and `error` logged.
  void ExpectUnwritable(const std::string& pages, const std::string& page,
                        const std::string& error) {
    EXPECT_FALSE(BuildThreaded());
    EXPECT_EQ(pages, Pages());
    EXPECT_EQ(
        std::vector<std::string>{"The page " + page + " cannot be written. Please fix and re-run."},
        t.ui.MessageTexts());
    EXPECT_EQ(page + " cannot be written", t.ui.main_status.back().caption);
    EXPECT_EQ(Site(page), run->CurrentPageFile);
    EXPECT_EQ(error + " in ParseTemplateFile of module frmMain\n", Ring());
  }

  PageFaultDisk disk;
  Env disk_env{disk, t.clock, t.ui, t.log, t.locale, t.progress, t.paths, t.net};
  Engine threaded{disk_env};
  std::unique_ptr<BuildRun> run;  // the last threaded one
};

TEST_F(PageWriterThreadTest, SamePagesAsWrittenAtOnce) {
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("WWWWW", Pages());
  for (const char* name : {"a.html", "b.html", "c.html", "d.html", "e.html"}) {
    std::filesystem::remove(Site(name));
  }
  ASSERT_TRUE(BuildThreaded());
  EXPECT_EQ("WWWWW", Pages());
  const std::set<std::thread::id> openers = disk.openers();
  EXPECT_EQ(1u, openers.size());
  EXPECT_EQ(0u, openers.count(std::this_thread::get_id()));
  EXPECT_EQ(Site("e.html"), run->CurrentPageFile);
  EXPECT_EQ(nullptr, run->page_writer_thread);
}

TEST_F(PageWriterThreadTest, MissingIncludeCutsItsPageAndNoneAfter) {
  WriteTemplate("c.template", "page c [include=gone.inc] rest");
  EXPECT_FALSE(BuildThreaded());
  EXPECT_EQ("WWC--", Pages());
  EXPECT_EQ(std::vector<std::string>{"gone.inc not found in c.template. Please fix and re-run."},
            t.ui.MessageTexts());
  EXPECT_EQ(
      "File not found(23001) in Importfile of module frmMain\n"
      "File not found(23001) in ParseTemplateFile of module frmMain\n",
      Ring());
}

TEST_F(PageWriterThreadTest, LastPageThatCannotBeWrittenIsReportedAtTheEnd) {
  t.WriteFile(Site("e.html"), "old");
  disk.full_disk = Site("e.html");
  ExpectUnwritable("WWWWO", "e.html", "Disk full(61)");
  EXPECT_FALSE(std::filesystem::exists(ReplacementName(Site("e.html"))));
}

TEST_F(PageWriterThreadTest, EarlierPageThatCannotBeWrittenComesBeforeALaterFailure) {
  // Page c fails while page b is still with the writer.
  disk.refuse_open = Site("b.html");
  disk.open_delay = std::chrono::milliseconds(200);
  WriteTemplate("c.template", "page c [include=gone.inc] rest");
  ExpectUnwritable("W----", "b.html", "Path/File access error(75)");
}

// Holds every page at its opening until let go, telling when the first
// one got there.
class GatedDisk final : public RealDisk {
 public:
  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override {
    {
      std::unique_lock lock(mutex_);
      waiting_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return open_; });
    }
    return RealDisk::OpenOutput(path, mode, file);
  }
  void AwaitFirstPage() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_; });
  }
  void LetGo() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool waiting_ = false;
  bool open_ = false;
};

// A reader that cannot wait for the disk finds each page's newest text
// until it is written, the page being written included.
TEST(PageWriterQueueTest, AnswersTheNewestTextOfAPageUntilItIsWritten) {
  TestEnv t;
  GatedDisk disk;
  const std::string a = t.Path("a.html");
  const std::string b = t.Path("b.html");
  PageWriterThread writer(disk, SameText::kRewrite, {});
  writer.Queue(a, "first a");
  disk.AwaitFirstPage();
  EXPECT_EQ(writer.Queued(a), "first a");
  writer.Queue(b, "b");
  writer.Queue(a, "second a");
  EXPECT_EQ(writer.Queued(a), "second a");
  EXPECT_EQ(writer.Queued(b), "b");
  EXPECT_EQ(writer.Queued(t.Path("c.html")), std::nullopt);
  disk.LetGo();
  EXPECT_EQ(writer.Finish(), std::nullopt);
  EXPECT_EQ(writer.Queued(a), std::nullopt);
  EXPECT_EQ(t.ReadFile(a), "second a");
}

}  // namespace
}  // namespace pagorin::testing
