// Pages written on a thread of their own: the same pages as written at once,
// and every way a build can end early ends as it would have.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/build_driver.h"
#include "app/project.h"
#include "shared/real_file_system.h"
#include "site_fixture.h"

namespace pagorin::testing {
namespace {

// Fails every write with the error it is given.
class RefusingFile final : public OutputFile {
 public:
  RefusingFile(std::unique_ptr<OutputFile> file, FsError error)
      : file_(std::move(file)), error_(error) {}
  FsStatus Append(std::string_view) override { return FsStatus{error_, "write: refused"}; }
  FsStatus Sync() override { return file_->Sync(); }
  FsStatus Close() override { return file_->Close(); }

 private:
  std::unique_ptr<OutputFile> file_;
  FsError error_;
};

// The real disk, taking calls from two threads, refusing on demand to open
// or to write one page, or to make a file writable. Notes the threads that
// opened pages.
class PageFaultDisk final : public FileSystem {
 public:
  bool ThreadSafe() const override { return true; }

  // After `delay`: long enough for the next page to be compiled meanwhile.
  void RefuseOpening(const std::string& page,
                     std::chrono::milliseconds delay = std::chrono::milliseconds(0)) {
    refuse_open_ = page;
    refuse_delay_ = delay;
  }
  void RefuseWriting(const std::string& page, FsError error) {
    refuse_write_ = page;
    write_error_ = error;
  }
  void RefuseWritable() { refuse_writable_ = true; }
  std::set<std::thread::id> openers() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return openers_;
  }

  FileInfo Stat(const std::string& path) override { return real_.Stat(path); }
  FsStatus ReadFile(const std::string& path, std::string* contents) override {
    return real_.ReadFile(path, contents);
  }
  FsStatus ReadFileWithInfo(const std::string& path, std::string* contents,
                            FileInfo* info) override {
    return real_.ReadFileWithInfo(path, contents, info);
  }
  FsStatus OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) override {
    return real_.OpenInput(path, file);
  }
  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      openers_.insert(std::this_thread::get_id());
    }
    if (path == refuse_open_) {
      std::this_thread::sleep_for(refuse_delay_);
      file->reset();
      return FsStatus{FsError::kAccessDenied, "open " + path + ": Permission denied"};
    }
    FsStatus status = real_.OpenOutput(path, mode, file);
    if (status.ok() && path == refuse_write_) {
      *file = std::make_unique<RefusingFile>(std::move(*file), write_error_);
    }
    return status;
  }
  FsStatus Rename(const std::string& from, const std::string& to) override {
    return real_.Rename(from, to);
  }
  FsStatus Remove(const std::string& path) override { return real_.Remove(path); }
  FsStatus MakeDirectory(const std::string& path) override { return real_.MakeDirectory(path); }
  FsStatus ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override {
    return real_.ListDirectory(path, entries);
  }
  FsStatus SetReadOnly(const std::string& path, bool read_only) override {
    if (refuse_writable_) {
      return FsStatus{FsError::kAccessDenied, "change attributes of " + path + ": refused"};
    }
    return real_.SetReadOnly(path, read_only);
  }
  FsStatus SetModified(const std::string& path, TimePoint when) override {
    return real_.SetModified(path, when);
  }

 private:
  RealFileSystem real_;
  // Set before a build starts, read during it.
  std::string refuse_open_;
  std::chrono::milliseconds refuse_delay_{0};
  std::string refuse_write_;
  FsError write_error_ = FsError::kNone;
  bool refuse_writable_ = false;
  std::mutex mutex_;
  std::set<std::thread::id> openers_;
};

class PageWriterThreadTest : public SiteTest {
 protected:
  void SetUp() override {
    WriteInclude("head.inc", "<title>$PAGEURL</title>[var shade=green]");
    WriteInclude("foot.inc", "[shade]|[colour]|$ENCODEDPAGETITLE");
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      WriteTemplate(std::string(name) + ".template",
                    std::string("[include=head.inc]page ") + name + "[include=foot.inc]");
    }
    WriteTemplate("a.template", "[var colour=red][include=head.inc]page a[include=foot.inc]");
    OpenSite();
    threaded.ProjectFile = ProjectPath();
    ASSERT_TRUE(OpenProject(threaded));
  }

  bool BuildThreaded() { return BuildPages(threaded, /*selected_only=*/false); }

  PageFaultDisk disk;
  Env disk_env{disk, t.clock, t.ui, t.log, t.locale, t.progress, t.paths};
  Engine threaded{disk_env};
};

TEST_F(PageWriterThreadTest, SamePagesAsWrittenAtOnce) {
  ASSERT_TRUE(BuildAll());
  std::map<std::string, std::string> at_once;
  for (const char* name : {"a.html", "b.html", "c.html", "d.html", "e.html"}) {
    at_once[name] = Page(name);
    std::filesystem::remove(Site(name));
  }
  EXPECT_EQ("<title>c.html</title>page cgreen|red|$PAGEURL", at_once["c.html"]);

  ASSERT_TRUE(BuildThreaded());
  for (const auto& [name, text] : at_once) {
    EXPECT_EQ(text, Page(name)) << name;
  }
  const std::set<std::thread::id> openers = disk.openers();
  EXPECT_EQ(1u, openers.size());
  EXPECT_EQ(0u, openers.count(std::this_thread::get_id()));
  EXPECT_EQ(Site("e.html"), threaded.CurrentPageFile);
  EXPECT_EQ(nullptr, threaded.page_writer_thread);
}

TEST_F(PageWriterThreadTest, MissingIncludeCutsItsPageAndNoneAfter) {
  WriteTemplate("c.template", "page c [include=gone.inc] rest");
  EXPECT_FALSE(BuildThreaded());
  EXPECT_EQ("<title>a.html</title>page agreen|red|$PAGEURL", Page("a.html"));
  EXPECT_EQ("<title>b.html</title>page bgreen|red|$PAGEURL", Page("b.html"));
  EXPECT_EQ("page c ", Page("c.html"));
  EXPECT_FALSE(PageExists("d.html"));
  EXPECT_FALSE(PageExists("e.html"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("gone.inc not found in c.template. Please fix and re-run.", t.ui.messages[0].text);
  EXPECT_EQ(
      "File not found(23001) in Importfile of module frmMain\n"
      "File not found(23001) in ParseTemplateFile of module frmMain\n",
      Ring());
}

TEST_F(PageWriterThreadTest, PageThatCannotBeOpenedEndsTheBuildThere) {
  disk.RefuseOpening(Site("b.html"));
  EXPECT_FALSE(BuildThreaded());
  EXPECT_TRUE(PageExists("a.html"));
  for (const char* name : {"b.html", "c.html", "d.html", "e.html"}) {
    EXPECT_FALSE(PageExists(name)) << name;
  }
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("The page b.html cannot be written. Please fix and re-run.", t.ui.messages[0].text);
  EXPECT_EQ("b.html cannot be written", t.ui.main_status.back().caption);
  EXPECT_EQ(Site("b.html"), threaded.CurrentPageFile);
  EXPECT_EQ("Path/File access error(75) in ParseTemplateFile of module frmMain\n", Ring());
}

TEST_F(PageWriterThreadTest, ReadOnlyPageThatStaysSoIsLogged) {
  t.WriteFile(Site("b.html"), "old");
  std::filesystem::permissions(Site("b.html"), std::filesystem::perms::owner_read);
  disk.RefuseOpening(Site("b.html"));  // as it would for anyone but root
  disk.RefuseWritable();
  EXPECT_FALSE(BuildThreaded());
  EXPECT_EQ("old", Page("b.html"));
  EXPECT_NE(std::string::npos,
            t.ReadFile(t.log.LogFilePath())
                .find(Site("b.html") +
                      " is read only, can't change it to read write, can't update it\r\n"));
  EXPECT_EQ("The page b.html cannot be written. Please fix and re-run.", t.ui.messages.at(0).text);
}

TEST_F(PageWriterThreadTest, LastPageThatCannotBeWrittenIsReportedAtTheEnd) {
  disk.RefuseWriting(Site("e.html"), FsError::kDiskFull);
  EXPECT_FALSE(BuildThreaded());
  EXPECT_EQ("<title>d.html</title>page dgreen|red|$PAGEURL", Page("d.html"));
  EXPECT_EQ("", Page("e.html"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("The page e.html cannot be written. Please fix and re-run.", t.ui.messages[0].text);
  EXPECT_EQ("Disk full(61) in ParseTemplateFile of module frmMain\n", Ring());
}

TEST_F(PageWriterThreadTest, EarlierPageThatCannotBeWrittenComesBeforeALaterFailure) {
  // Page c fails while page b is still with the writer.
  disk.RefuseOpening(Site("b.html"), std::chrono::milliseconds(200));
  WriteTemplate("c.template", "page c [include=gone.inc] rest");
  EXPECT_FALSE(BuildThreaded());
  EXPECT_FALSE(PageExists("b.html"));
  EXPECT_FALSE(PageExists("c.html"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("The page b.html cannot be written. Please fix and re-run.", t.ui.messages[0].text);
  EXPECT_EQ("Path/File access error(75) in ParseTemplateFile of module frmMain\n", Ring());
}

}  // namespace
}  // namespace pagorin::testing
