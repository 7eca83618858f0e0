// "[include=" directives: where the file is found, nesting, and every way an
// include can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/template_compiler.h"
#include "shared/pointer.h"
#include "site_fixture.h"

namespace pagorin::testing {
namespace {

class IncludesTest : public SiteTest {
 protected:
  void SetUp() override { OpenSite(); }

  std::string LogFile() const { return t.ReadFile(t.log.LogFilePath()); }
};

TEST_F(IncludesTest, PageIsTheTemplateWithEveryIncludeExpanded) {
  struct Case {
    const char* template_text;
    const char* page;
  };
  WriteInclude("a.inc", "<a>[include=b.inc]</a>");
  WriteInclude("b.inc", "<b>[include=parts/c.inc]</b>");
  WriteInclude("parts/c.inc", "c");
  WriteInclude("parts/deeper/d.inc", "d");
  WriteInclude("header.inc", "H");
  t.WriteFile(t.Path("elsewhere/foot.inc"), "F");
  const std::string full_path = t.Path("elsewhere/foot.inc");
  const Case cases[] = {
      {"[include=parts/c.inc]", "c"},
      {"x[include=a.inc]y", "x<a><b>c</b></a>y"},
      {"[include=parts\\deeper\\d.inc][include=parts/deeper/d.inc]", "dd"},
      {"[INCLUDE=parts/c.inc][Include=parts/c.inc]", "cc"},
      {"[include=HEADER.Inc]", "H"},  // letter case as Windows ignored it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.template_text);
    WriteTemplate("page.template", c.template_text);
    ASSERT_TRUE(BuildAll());
    EXPECT_EQ(c.page, Page("page.html"));
  }
  WriteTemplate("page.template", "<[include=" + full_path + "]>");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("<F>", Page("page.html"));
}

TEST_F(IncludesTest, PageOfOnlyADirectiveIsExactlyTheInclude) {
  const std::string bytes("line one\r\nline two\0\xff\r\n", 21);
  WriteInclude("a.inc", bytes);
  WriteTemplate("index.template", "[include=a.inc]");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ(bytes, Page("index.html"));
}

TEST_F(IncludesTest, MissingIncludeStopsWithItsWholeSequence) {
  WriteInclude("nav.inc", "<nav>[include=gone.inc]</nav>");
  WriteTemplate("index.template", "<p>[include=nav.inc]<p>after");
  EXPECT_FALSE(BuildAll());

  EXPECT_EQ("<p><nav>", Page("index.html"));
  EXPECT_NE(std::string::npos,
            LogFile().find(Site("Includes/gone.inc") + " not found in " + Site("Includes/nav.inc") +
                           ". Please fix and re-run.\r\n"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("gone.inc not found in nav.inc. Please fix and re-run.", t.ui.messages[0].text);
  EXPECT_EQ(Buttons::kOk, t.ui.messages[0].buttons);
  ASSERT_FALSE(t.ui.main_status.empty());
  EXPECT_EQ("gone.inc not found in nav.inc", t.ui.main_status.back().caption);
  EXPECT_EQ(0, t.ui.main_status.back().fraction);
  EXPECT_EQ(Pointer::kNormal, t.ui.pointers.back());
  EXPECT_EQ(
      "File not found(23001) in Importfile of module frmMain\n"
      "File not found(23001) in Importfile of module frmMain\n"
      "File not found(23001) in ParseTemplateFile of module frmMain\n",
      Ring());
}

TEST_F(IncludesTest, NamesThatFindNoFileAreMissing) {
  std::filesystem::create_directories(Site("Includes/folder.inc"));
  WriteInclude("a.inc", "A");
  const char* directives[] = {"[include= a.inc]", "[include=]", "[include=folder.inc]",
                              "[include=C:\\common\\a.inc]"};
  const char* messages[] = {" a.inc not found in page.template. Please fix and re-run.",
                            " not found in page.template. Please fix and re-run.",
                            "folder.inc not found in page.template. Please fix and re-run.",
                            "a.inc not found in page.template. Please fix and re-run."};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(directives[i]);
    t.ui.messages.clear();
    WriteTemplate("page.template", std::string("x") + directives[i] + "y");
    EXPECT_FALSE(BuildAll());
    EXPECT_EQ("x", Page("page.html"));
    ASSERT_EQ(1u, t.ui.messages.size());
    EXPECT_EQ(messages[i], t.ui.messages[0].text);
  }
}

TEST_F(IncludesTest, CycleEndsTheBuildNamingTheChain) {
  WriteInclude("a.inc", "A[include=b.inc]");
  WriteInclude("b.inc", "B[include=a.inc]never");
  WriteInclude("self.inc", "S[include=./self.inc]");
  WriteTemplate("index.template", "I[include=a.inc]");
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("IAB", Page("index.html"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("a.inc includes itself: index.template > a.inc > b.inc > a.inc", t.ui.messages[0].text);
  EXPECT_EQ("a.inc includes itself: index.template > a.inc > b.inc > a.inc",
            t.ui.main_status.back().caption);

  t.ui.messages.clear();
  WriteTemplate("index.template", "[include=self.inc]");
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("self.inc includes itself: index.template > self.inc > self.inc",
            t.ui.messages.at(0).text);
}

TEST_F(IncludesTest, SameIncludeTwiceIsNoCycle) {
  WriteInclude("a.inc", "[include=b.inc][include=b.inc]");
  WriteInclude("b.inc", "b");
  WriteTemplate("index.template", "[include=a.inc][include=b.inc]");
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("bbb", Page("index.html"));
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

TEST_F(IncludesTest, DirectiveWithoutClosingBracketWritesTheTextBeforeIt) {
  WriteTemplate("index.template", "before[include=a.inc and no end");
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("before", Page("index.html"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("The include directive in index.template has no closing \"]\". Please fix and re-run.",
            t.ui.messages[0].text);
  EXPECT_EQ(
      "Invalid procedure call or argument(5) in Importfile of module frmMain\n"
      "Invalid procedure call or argument(5) in ParseTemplateFile of module frmMain\n",
      Ring());
}

TEST_F(IncludesTest, UnreadableIncludeStopsTheBuild) {
  WriteInclude("a.inc", "A");
  WriteTemplate("index.template", "x[include=a.inc]y");
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 2, FsError::kAccessDenied);  // 1: the template
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("x", Page("index.html"));
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

TEST_F(IncludesTest, ReadOnlyPageIsReplaced) {
  WriteTemplate("index.template", "new");
  t.WriteFile(Site("index.html"), "old");
  std::filesystem::permissions(Site("index.html"), std::filesystem::perms::owner_read);
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("new", Page("index.html"));
}

// The tests run as root, whom a read-only file never refuses; the refusal
// another user meets is injected.
TEST_F(IncludesTest, ReadOnlyPageThatRefusesIsMadeWritableOrReported) {
  WriteTemplate("index.template", "new");
  t.WriteFile(Site("index.html"), "old");
  std::filesystem::permissions(Site("index.html"), std::filesystem::perms::owner_read);
  t.fs.FailNth(FaultyFileSystem::Op::kOpen, 1, FsError::kAccessDenied);
  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("new", Page("index.html"));

  WriteTemplate("index.template", "newer");
  std::filesystem::permissions(Site("index.html"), std::filesystem::perms::owner_read);
  t.fs.FailNth(FaultyFileSystem::Op::kOpen, 1, FsError::kAccessDenied);
  t.fs.FailNth(FaultyFileSystem::Op::kSetReadOnly, 1, FsError::kAccessDenied);
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("new", Page("index.html"));
  EXPECT_EQ("The page index.html cannot be written. Please fix and re-run.",
            t.ui.messages.at(0).text);
  EXPECT_NE(std::string::npos,
            LogFile().find(Site("index.html") +
                           " is read only, can't change it to read write, can't update it\r\n"));
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
