// Search and Replace over a folder: the status texts, the changed-file list
// and its text, refusals, files that cannot be changed, the preview, and
// taking a run back.
#include "tools/search_replace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/site_fixture.h"
#include "tools/replace_undo.h"

namespace pagorin::testing {
namespace {

class SearchReplace : public SiteTest {
 protected:
  ReplaceRun Go(const std::string& search, const std::string& replacement, bool wildcard = false,
                bool dry_run = false) {
    status.clear();
    return cmdGo(engine, {search, replacement, Site("Includes/"), wildcard, dry_run},
                 [this](const std::string& text) { status.push_back(text); });
  }
  std::vector<std::string> Names(const ReplaceRun& run) const {
    std::vector<std::string> names;
    for (const ReplacedFile& file : run.changed) {
      names.push_back(file.name + ":" + std::to_string(file.matches));
    }
    return names;
  }
  std::vector<std::string> UndoRuns() const { return t.List(Site("Replace undo")); }

  std::vector<std::string> status;
};

TEST_F(SearchReplace, SourcePathDefaultsToIncludesAndIsStoredInMemory) {
  OpenSite();
  EXPECT_EQ(Site("Includes/"), SearchSourcePath(engine));
  StoreSearchSourcePath(engine, "/elsewhere/");
  EXPECT_EQ("/elsewhere/", SearchSourcePath(engine));
  EXPECT_EQ("PROJECTPATH,./\r\n", t.ReadFile(Site("site.pgx")));
}

TEST_F(SearchReplace, PlainAndWildcardRunsOverTheFolder) {
  WriteInclude("a.inc", "<b>1</b> <B>2</B>");
  WriteInclude("B.inc", "nothing");
  WriteInclude("c.txt", "x*y <b>3</b>");
  OpenSite();
  const struct {
    std::string search, replacement;
    bool wildcard;
    std::vector<std::string> changed;
    std::string a, c;
  } cases[] = {
      {"<b>", "<i>", false, {"a.inc:2", "c.txt:1"}, "<i>1</b> <i>2</B>", "x*y <i>3</b>"},
      {"x*y", "z", false, {"c.txt:1"}, "<b>1</b> <B>2</B>", "z <b>3</b>"},
      // After the first match of a file, only "<b>" in its own case starts one.
      {"<b>*</b>",
       "<strong>*</strong>",
       true,
       {"a.inc:1", "c.txt:1"},
       "<strong>1</strong> <B>2</B>",
       "x*y <strong>3</strong>"},
      {"<B>*</B>", "X", true, {"a.inc:2", "c.txt:1"}, "1 2", "x*y 3"},
      {"nothing", "NOTHING", false, {"B.inc:1"}, "<b>1</b> <B>2</B>", "x*y <b>3</b>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.search);
    WriteInclude("a.inc", "<b>1</b> <B>2</B>");
    WriteInclude("c.txt", "x*y <b>3</b>");
    const ReplaceRun run = Go(c.search, c.replacement, c.wildcard);
    EXPECT_FALSE(run.refused);
    EXPECT_EQ(c.changed, Names(run));
    EXPECT_EQ(c.a, Include("a.inc"));
    EXPECT_EQ(c.c, Include("c.txt"));
    std::vector<std::string> expected_status;
    for (std::size_t n = 1; n <= c.changed.size(); ++n) {
      expected_status.push_back("Replaced data in " + std::to_string(n) + " files");
    }
    expected_status.push_back(expected_status.back());
    EXPECT_EQ(expected_status, status);
  }
  EXPECT_EQ(std::vector<std::string>{}, t.ui.MessageTexts());
}

TEST_F(SearchReplace, WildcardMessagesEndTheRunBeforeAnyFile) {
  WriteInclude("a.inc", "A*B AxB");
  OpenSite();
  const std::pair<std::string, std::string> cases[] = {
      {"*B", "Wildcard cannot be first or last character in search string"},
      {"A**B", "You can only specify one wildcard per search/replace string"},
      {"AB", "The search string needs a wildcard when the replace string has one"},
  };
  for (const auto& [search, message] : cases) {
    t.ui.messages.clear();
    const ReplaceRun run = Go(search, "X*Y", true);
    EXPECT_TRUE(run.refused);
    EXPECT_EQ(std::vector<std::string>{message}, t.ui.MessageTexts());
    EXPECT_EQ("A*B AxB", Include("a.inc"));
    EXPECT_EQ(std::vector<std::string>{}, status);
  }
  // Without the box ticked the star is plain text.
  EXPECT_EQ(std::vector<std::string>{"a.inc:1"}, Names(Go("*B", "X")));
  EXPECT_EQ("AX AxB", Include("a.inc"));
}

TEST_F(SearchReplace, ListShowsTwentySixNamesAndCountsTheRest) {
  OpenSite();
  EXPECT_EQ("Replaced data in these files: \r\nNone", ChangedFileListMessage(nullptr));
  for (int i = 0; i < 30; ++i) {
    WriteInclude("f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".inc", "old");
  }
  const ReplaceRun none = Go("absent", "x");
  EXPECT_EQ("", ChangedFileListText(&none));
  const ReplaceRun run = Go("old", "new");
  std::string expected;
  for (int i = 0; i < 26; ++i) {
    expected += "f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".inc\r\n";
  }
  EXPECT_EQ(expected + " ... and 4 more", ChangedFileListText(&run));
  EXPECT_EQ("Replaced data in 30 files", status.back());
}

TEST_F(SearchReplace, FilesThatCannotChangeAreNamedAndLeftWhole) {
  WriteInclude("a.inc", "old text");
  WriteInclude("b.bin", std::string("old\0binary", 10));
  WriteInclude("c.inc", "old read only");
  WriteInclude("d.inc", "old vanishing");
  WriteInclude("e.inc", "old disk full");
  WriteInclude("f.inc", "old last");
  std::filesystem::permissions(Site("Includes/c.inc"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  OpenSite();
  // The reads go a.inc, b.bin, c.inc, d.inc, e.inc, f.inc; the writes of
  // the files changed rename one file each (the kept copy is a second name
  // of the old file).
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 4, FsError::kNotFound);
  t.fs.FailNth(FaultyFileSystem::Op::kRename, 2, FsError::kDiskFull);
  const ReplaceRun run = Go("old", "new");
  EXPECT_EQ((std::vector<std::string>{"a.inc:1", "f.inc:1"}), Names(run));
  EXPECT_EQ("new text", Include("a.inc"));
  EXPECT_EQ(std::string("old\0binary", 10), Include("b.bin"));
  EXPECT_EQ("old read only", Include("c.inc"));
  EXPECT_EQ("old vanishing", Include("d.inc"));
  EXPECT_EQ("old disk full", Include("e.inc"));
  EXPECT_EQ("new last", Include("f.inc"));
  ASSERT_EQ(1u, t.ui.messages.size());
  const std::string& message = t.ui.messages[0].text;
  EXPECT_EQ(0u, message.find("These files were left as they were:\r\n"
                             "b.bin is not a text file\r\n"
                             "c.inc is read only\r\n"
                             "d.inc could not be read: "))
      << message;
  EXPECT_NE(std::string::npos, message.find("\r\ne.inc could not be written: ")) << message;
  EXPECT_EQ((std::vector<std::string>{"a.inc", "b.bin", "c.inc", "d.inc", "e.inc", "f.inc"}),
            t.List(Site("Includes")));
}

TEST_F(SearchReplace, FiftyMegabyteFileIsReplacedWhole) {
  const std::string middle(50u << 20, 'x');
  WriteInclude("big.inc", "old" + middle + "old<b>yy!");
  OpenSite();
  EXPECT_EQ(std::vector<std::string>{"big.inc:2"}, Names(Go("OLD", "new")));
  EXPECT_TRUE(Include("big.inc") == "new" + middle + "new<b>yy!");
  EXPECT_EQ(std::vector<std::string>{"big.inc:1"}, Names(Go("<b>*!", "<i>*</i>", true)));
  EXPECT_TRUE(Include("big.inc") == "new" + middle + "new<i>yy</i>");
}

TEST_F(SearchReplace, PreviewWritesNothing) {
  WriteInclude("a.inc", "old old");
  WriteInclude("b.inc", "old");
  OpenSite();
  const ReplaceRun preview = Go("old", "new", false, true);
  EXPECT_EQ("2 files would change:\r\na.inc: 2 matches\r\nb.inc: 1 match", PreviewText(preview));
  EXPECT_EQ("old old", Include("a.inc"));
  EXPECT_FALSE(t.Exists(Site("Replace undo")));
  EXPECT_EQ(std::vector<std::string>{}, status);
  EXPECT_EQ("No file would change.", PreviewText(Go("absent", "x", false, true)));
}

TEST_F(SearchReplace, UndoRestoresTheLastRunExceptFilesChangedSince) {
  WriteInclude("a.inc", "one");
  WriteInclude("b.inc", "one two");
  WriteInclude("c.inc", "two");
  OpenSite();
  Go("one", "1");
  t.clock.Advance(std::chrono::seconds(61));
  Go("two", "2");
  EXPECT_EQ((std::vector<std::string>{"2024-03-07 14.35.00", "2024-03-07 14.36.01"}), UndoRuns());
  WriteInclude("c.inc", "edited by hand");

  EXPECT_FALSE(UndoLastReplace(engine));
  EXPECT_EQ("1 two", Include("b.inc"));
  EXPECT_EQ("edited by hand", Include("c.inc"));
  EXPECT_EQ((std::vector<std::string>{
                "These files changed after the search and replace run of 2024-03-07 14.36.01, "
                "so they were left as they are:\r\n" +
                    Site("Includes/c.inc"),
                "Took back the search and replace run of 2024-03-07 14.36.01: 1 file restored."}),
            t.ui.MessageTexts());

  t.ui.messages.clear();
  EXPECT_TRUE(UndoLastReplace(engine));
  EXPECT_EQ("one", Include("a.inc"));
  EXPECT_EQ("one two", Include("b.inc"));
  EXPECT_EQ(
      std::vector<std::string>{
          "Took back the search and replace run of 2024-03-07 14.35.00: 2 files restored."},
      t.ui.MessageTexts());

  t.ui.messages.clear();
  EXPECT_FALSE(UndoLastReplace(engine));
  EXPECT_EQ(std::vector<std::string>{"There is no search and replace run to take back."},
            t.ui.MessageTexts());
  EXPECT_EQ((std::vector<std::string>{"2024-03-07 14.35.00 undone", "2024-03-07 14.36.01 undone"}),
            UndoRuns());
}

}  // namespace
}  // namespace pagorin::testing
