// "[include=" directives: where the file is found, nesting, and every way an
// include can fail.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/template_compiler.h"
#include "shared/file_system.h"
#include "shared/paths.h"
#include "shared/pointer.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class IncludesTest : public SiteTest {
 protected:
  void SetUp() override { OpenSite(); }

  std::string LogFile() const { return t.ReadFile(t.log.LogFilePath()); }

  // The ring's records of a build that `error` ended `levels` includes deep.
  static std::string Records(const std::string& error, int levels) {
    std::string records;
    for (int level = 0; level < levels; ++level) {
      records += error + " in Importfile of module frmMain\n";
    }
    return records + error + " in ParseTemplateFile of module frmMain\n";
  }
};

TEST_F(IncludesTest, PageIsTheTemplateWithEveryIncludeExpanded) {
  WriteInclude("a.inc", "<a>[include=b.inc]</a>");
  WriteInclude("b.inc", "<b>[include=parts/c.inc]</b>");
  WriteInclude("parts/c.inc", "c");
  WriteInclude("parts/deeper/d.inc", "d");
  WriteInclude("header.inc", "H");
  WriteInclude("twice.inc", "[include=parts/c.inc][include=parts/c.inc]");
  const std::string bytes("line one\r\nline two\0\xff\r\n", 21);
  WriteInclude("bytes.inc", bytes);
  t.WriteFile(t.Path("elsewhere/foot.inc"), "F");
  const std::pair<std::string, std::string> cases[] = {
      {"[include=parts/c.inc]", "c"},
      {"x[include=a.inc]y", "x<a><b>c</b></a>y"},
      {"[include=twice.inc][include=parts/c.inc]", "ccc"},  // the same include again is no cycle
      {"[include=parts\\deeper\\d.inc][include=parts/deeper/d.inc]", "dd"},
      {"[INCLUDE=parts/c.inc][Include=parts/c.inc]", "cc"},
      {"[include=HEADER.Inc]", "H"},  // letter case as Windows ignored it
      {"<[include=" + t.Path("elsewhere/foot.inc") + "]>", "<F>"},
      {"[include=bytes.inc]", bytes},  // a page of only a directive is exactly the include
  };
  for (const auto& [text, page] : cases) {
    SCOPED_TRACE(text);
    WriteTemplate("page.template", text);
    ASSERT_TRUE(BuildAll());
    EXPECT_EQ(page, Page("page.html"));
  }
}

TEST_F(IncludesTest, BrokenDirectiveEndsTheBuildWithThePageCutThere) {
  struct Case {
    const char* text;
    const char* page;
    const char* message;
    const char* caption;
    std::string ring;
  };
  std::filesystem::create_directories(Site("Includes/folder.inc"));
  WriteInclude("a.inc", "A");
  WriteInclude("one.inc", "1[include=two.inc]");
  WriteInclude("two.inc", "2[include=one.inc]never");
  WriteInclude("self.inc", "S[include=./self.inc]");
  WriteInclude("nav.inc", "<nav>[include=gone.inc]</nav>");
  const std::string kNotFound = Records("File not found(23001)", 1);
  const Case cases[] = {
      {"x[include= a.inc]y", "x", " a.inc not found in page.template. Please fix and re-run.",
       " a.inc not found in page.template", kNotFound},
      {"x[include=]y", "x", " not found in page.template. Please fix and re-run.",
       " not found in page.template", kNotFound},
      {"x[include=folder.inc]y", "x",
       "folder.inc not found in page.template. Please fix and re-run.",
       "folder.inc not found in page.template", kNotFound},
      {"x[include=C:\\common\\a.inc]y", "x",
       "a.inc not found in page.template. Please fix and re-run.",
       "a.inc not found in page.template", kNotFound},
      {"x[include=a.inc and no end", "x",
       "The include directive in page.template has no closing \"]\". Please fix and re-run.",
       "Include directive without \"]\" in page.template",
       Records("Invalid procedure call or argument(5)", 1)},
      {"x[include=one.inc]", "x12",
       "one.inc includes itself: page.template > one.inc > two.inc > one.inc",
       "one.inc includes itself: page.template > one.inc > two.inc > one.inc",
       Records("Include cycle(23002)", 3)},
      {"x[include=self.inc]", "xS", "self.inc includes itself: page.template > self.inc > self.inc",
       "self.inc includes itself: page.template > self.inc > self.inc",
       Records("Include cycle(23002)", 2)},
      {"<p>[include=nav.inc]<p>after", "<p><nav>",
       "gone.inc not found in nav.inc. Please fix and re-run.", "gone.inc not found in nav.inc",
       Records("File not found(23001)", 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    t.ui.messages.clear();
    const std::string ring = Ring();
    WriteTemplate("page.template", c.text);
    EXPECT_FALSE(BuildAll());
    EXPECT_EQ(c.page, Page("page.html"));
    EXPECT_EQ(std::vector<std::string>{c.message}, t.ui.MessageTexts());
    EXPECT_EQ(c.caption, t.ui.main_status.back().caption);
    EXPECT_EQ(ring + c.ring, Ring());
  }
  // The last one's report, everywhere it goes.
  EXPECT_EQ(Buttons::kOk, t.ui.messages[0].buttons);
  EXPECT_EQ(0, t.ui.main_status.back().fraction);
  EXPECT_EQ(Pointer::kNormal, t.ui.pointers.back());
  EXPECT_NE(std::string::npos,
            LogFile().find(Site("Includes/gone.inc") + " not found in " + Site("Includes/nav.inc") +
                           ". Please fix and re-run.\r\n"));
}

// A device or pipe never ends or never starts: it is refused before a byte
// is read, and the page it was for stays as it was.
TEST_F(IncludesTest, IncludeThatIsNoRegularFileIsRefusedNamingTheChain) {
  ASSERT_EQ(0, ::mkfifo(Site("Includes/pipe.inc").c_str(), 0644));
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = Site("Includes/socket.inc");
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  socket_path.copy(address.sun_path, socket_path.size());
  ASSERT_EQ(0, ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address));
  t.WriteFile(Site("index.html"), "old");
  const std::pair<std::string, std::string> cases[] = {
      {"pipe.inc",
       "pipe.inc is not a regular file but a device, pipe or socket: "
       "index.template > nav.inc > pipe.inc. Please fix and re-run."},
      {"/dev/zero",
       "zero is not a regular file but a device, pipe or socket: "
       "index.template > nav.inc > zero. Please fix and re-run."},
      {"socket.inc",
       "socket.inc is not a regular file but a device, pipe or socket: "
       "index.template > nav.inc > socket.inc. Please fix and re-run."},
  };
  WriteTemplate("index.template", "x[include=nav.inc]y");
  for (const auto& [name, message] : cases) {
    SCOPED_TRACE(name);
    t.ui.messages.clear();
    WriteInclude("nav.inc", "<nav>[include=" + name + "]</nav>");
    EXPECT_FALSE(BuildAll());
    EXPECT_EQ(std::vector<std::string>{message}, t.ui.MessageTexts());
    EXPECT_EQ(fileonly(name) + " is not a regular file", t.ui.main_status.back().caption);
    EXPECT_EQ("old", Page("index.html"));
    EXPECT_EQ(Records("Path/File access error(75)", 3),
              Ring().substr(Ring().size() - Records("Path/File access error(75)", 3).size()));
  }
  ::close(sock);
}

TEST_F(IncludesTest, IncludeEditedBetweenBuildsIsReadAgainAndNoOtherIs) {
  WriteInclude("a.inc", "one");
  WriteInclude("b.inc", "B");
  t.Touch(Site("Includes/a.inc"), FixedNow());
  WriteTemplate("p.template", "[include=a.inc][include=b.inc]");
  WriteTemplate("q.template", "[include=A.INC][include=b.inc]");
  ASSERT_TRUE(BuildAll());
  WriteInclude("a.inc", "two");
  t.Touch(Site("Includes/a.inc"), FixedNow() + std::chrono::seconds(1));
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("twoB", Page("p.html"));
  EXPECT_EQ("twoB", Page("q.html"));
  const std::vector<std::string>& reads = t.fs.reads();
  EXPECT_EQ(2, std::count(reads.begin(), reads.end(), Site("Includes/a.inc")));
  EXPECT_EQ(1, std::count(reads.begin(), reads.end(), Site("Includes/b.inc")));
}

TEST_F(IncludesTest, UnreadableIncludeStopsTheBuildAndKeepsTheOldPage) {
  WriteInclude("a.inc", "A");
  WriteTemplate("index.template", "x[include=a.inc]y");
  t.WriteFile(Site("index.html"), "old");
  // Read 1 is the old page, for the list's description; 2 the template.
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 3, FsError::kAccessDenied);
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("old", Page("index.html"));
  EXPECT_FALSE(std::filesystem::exists(ReplacementName(Site("index.html"))));
  EXPECT_EQ("a.inc (included in index.template) cannot be read. Please fix and re-run.",
            t.ui.messages.at(0).text);
}

TEST_F(IncludesTest, PageThatCannotBeWrittenStopsTheBuild) {
  WriteTemplate("index.template", "x");
  t.fs.FailNth(FaultyFileSystem::Op::kOpen, 1, FsError::kAccessDenied);
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("The page index.html cannot be written. Please fix and re-run.",
            t.ui.messages.at(0).text);
  EXPECT_EQ("Path/File access error(75) in ParseTemplateFile of module frmMain\n", Ring());
  EXPECT_NE(std::string::npos, LogFile().find(Site("index.html") + " cannot be written: "));
}

// A page is replaced by a new file, so its own read-only mark is no
// obstacle, as the folder's would be.
TEST_F(IncludesTest, ReadOnlyPageIsReplaced) {
  t.WriteFile(Site("index.html"), "old");
  std::filesystem::permissions(Site("index.html"), std::filesystem::perms::owner_read);
  WriteTemplate("index.template", "new");
  EXPECT_TRUE(BuildAll());
  EXPECT_EQ("new", Page("index.html"));
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(IncludesTest, LargeIncludeIsCopiedWhole) {
  std::string big(50 * 1024 * 1024, 'x');
  for (size_t i = 0; i < big.size(); i += 4096) {
    big[i] = '\n';
  }
  WriteInclude("big.inc", big);
  WriteTemplate("index.template", "<[include=big.inc]>");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("<" + big + ">", Page("index.html"));
}

}  // namespace
}  // namespace pagorin::testing
