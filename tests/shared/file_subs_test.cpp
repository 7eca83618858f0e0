#include "shared/file_subs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::FaultyFileSystem;
using testing::TestEnv;

constexpr const char* kReadOnly = " is read only, can't change it to read write, can't update it";

class FileSubsTest : public ::testing::Test {
 protected:
  std::string LogFile() const { return t.ReadFile(t.log.LogFilePath()); }
  static std::string Line(const std::string& message) {
    return "14:35:00 #1   " + message + "\r\n";
  }

  TestEnv t;
  FileSubs files{t.env};
};

TEST_F(FileSubsTest, LetterCaseFallbackAppliesAtEveryLevel) {
  t.WriteFile(t.Path("Site/Templates/Page.HTML"), "page");
  t.WriteFile(t.Path("Site/Includes/a.inc"), "");
  const std::string asked = t.Path("site\\templates\\page.html");
  EXPECT_EQ(t.Path("Site/Templates/Page.HTML"), files.Resolve(asked));
  EXPECT_TRUE(files.FileExists(asked));
  EXPECT_EQ("page", files.LoadTextFile(asked));
  EXPECT_TRUE(files.FolderExists(t.Path("SITE/includes/")));
  // A new file goes into the folder as it is spelt on disk.
  ASSERT_TRUE(files.WriteTextFile(t.Path("site/templates/new.html"), "n"));
  EXPECT_EQ("n", t.ReadFile(t.Path("Site/Templates/new.html")));
  // Two candidates: neither is taken.
  t.WriteFile(t.Path("Site/Templates/PAGE.html"), "2");
  EXPECT_FALSE(files.FileExists(asked));
  EXPECT_EQ(t.Path("Site/Templates/page.html"), files.Resolve(asked));
}

TEST_F(FileSubsTest, ExistenceOfFilesFoldersAndPatterns) {
  t.WriteFile(t.Path("d/notes.TXT"), "");
  EXPECT_TRUE(files.FileExists(t.Path("d/notes.txt")));
  EXPECT_FALSE(files.FileExists(t.Path("d")));
  EXPECT_TRUE(files.FileExists(t.Path("d/*.txt")));
  EXPECT_TRUE(files.FileExists(t.Path("D\\n?tes.*")));
  EXPECT_FALSE(files.FileExists(t.Path("d/*.htm")));
  EXPECT_FALSE(files.FileExists(t.Path("*")));  // folders only
  EXPECT_TRUE(files.FolderExists(t.Path("d\\")));
  EXPECT_FALSE(files.FolderExists(t.Path("d/notes.txt")));
  for (const char* drive : {"C:", "C:\\", "Q:", "c:\\windows", ""}) {
    EXPECT_FALSE(files.FolderExists(drive)) << drive;
    EXPECT_FALSE(files.FileExists(drive)) << drive;
  }
}

TEST_F(FileSubsTest, MkMissingDirCreatesEveryLevelOnceAndFollowsLetterCase) {
  t.WriteFile(t.Path("Site/keep"), "");
  files.MkMissingDir(t.Path("site\\a\\b/c"));
  EXPECT_TRUE(t.Exists(t.Path("Site/a/b/c")));
  EXPECT_FALSE(t.Exists(t.Path("site")));
  files.MkMissingDir("  ");
  files.MkMissingDir("C:\\a\\b");
  EXPECT_FALSE(t.Exists("C:"));
  t.fs.FailNth(FaultyFileSystem::Op::kMkdir, 1, FsError::kAccessDenied);
  files.MkMissingDir(t.Path("x/y"));
  EXPECT_FALSE(t.Exists(t.Path("x")));
  EXPECT_EQ(" >> 1: Injected failure(70) in MkMissingDir of module FileSubs - 14:35:00\r\n",
            t.log.RingText());
}

TEST_F(FileSubsTest, FillFilesSortsIgnoringCaseAndTakesExtensionsBySubstring) {
  for (const char* name :
       {"b.htm", "page.HTM", "Z.htm", "A.html", "readme", "x.tm", "c.txt", "B.HTM"}) {
    t.WriteFile(t.Path("web/") + name, "");
  }
  t.WriteFile(t.Path("web/sub.htm/inner.htm"), "");
  std::vector<std::string> names{"kept"};
  files.FillFiles(t.Path("Web"), "htm,html", &names);
  EXPECT_EQ(
      (std::vector<std::string>{"kept", "A.html", "B.HTM", "b.htm", "page.HTM", "x.tm", "Z.htm"}),
      names);
  names.clear();
  files.FillFiles(t.Path("web/"), "", &names);
  EXPECT_EQ(8u, names.size());
  EXPECT_EQ("c.txt", names[3]);
  names.clear();
  files.FillFiles(t.Path("missing"), "", &names);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ("", t.log.RingText());
}

TEST_F(FileSubsTest, TextFilesRoundTripByteForByte) {
  std::string all_bytes;
  for (int c = 0; c < 256; ++c) {
    all_bytes += static_cast<char>(c);
  }
  for (const std::string& text : {all_bytes, std::string("a\r\nb\rc\n"), std::string()}) {
    ASSERT_TRUE(files.WriteTextFile(t.Path("f.txt"), text));
    EXPECT_EQ(text, t.ReadFile(t.Path("f.txt")));
    EXPECT_EQ(text, files.LoadTextFile(t.Path("f.txt")));
  }
  EXPECT_EQ("", files.LoadTextFile(t.Path("missing.txt")));
  EXPECT_EQ("", files.LoadTextFile(t.root()));
  EXPECT_EQ("", t.log.RingText());
}

TEST_F(FileSubsTest, FailedReadsWritesAndCopiesAreLogged) {
  t.WriteFile(t.Path("r.txt"), "r");
  t.fs.FailNth(FaultyFileSystem::Op::kWrite, 1, FsError::kDiskFull, /*persistent=*/true);
  EXPECT_FALSE(files.WriteTextFile(t.Path("f.txt"), "x"));
  EXPECT_FALSE(files.copyfile(t.Path("r.txt"), t.Path("t.txt")));
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 1);
  EXPECT_EQ("", files.LoadTextFile(t.Path("r.txt")));
  EXPECT_EQ(
      " >> 1: No space left on device (injected)(61) in WriteTextFile of module FileSubs"
      " - 14:35:00\r\n"
      " >> 2: No space left on device (injected)(61) in copyfile of module FileSubs - 14:35:00\r\n"
      " >> 3: Injected failure(75) in LoadTextFile of module FileSubs - 14:35:00\r\n",
      t.log.RingText());
}

TEST_F(FileSubsTest, ReadOnlyFilesAreMadeWritableWhenPossible) {
  const std::string path = t.Path("ro.txt");
  t.WriteFile(path, "old");
  ASSERT_EQ(0, ::chmod(path.c_str(), 0444));
  EXPECT_TRUE(files.isReadOnly(path));
  ASSERT_TRUE(files.WriteTextFile(path, "new"));
  EXPECT_EQ("new", t.ReadFile(path));
  EXPECT_FALSE(files.isReadOnly(path));

  ::chmod(path.c_str(), 0444);
  auto appending = files.createappendfile(path);
  ASSERT_NE(nullptr, appending);
  appending->Append("+");
  appending->Close();
  EXPECT_EQ("new+", t.ReadFile(path));

  ::chmod(path.c_str(), 0444);
  files.EraseFile(path);
  EXPECT_FALSE(t.Exists(path));
  EXPECT_FALSE(files.MakeReadWrite(path));
}

TEST_F(FileSubsTest, FileThatStaysReadOnlyIsLeftAloneWithTheLogLine) {
  const std::string path = t.Path("ro.txt");
  t.WriteFile(path, "old");
  ASSERT_EQ(0, ::chmod(path.c_str(), 0444));
  t.fs.FailNth(FaultyFileSystem::Op::kSetReadOnly, 1, FsError::kAccessDenied, true);
  EXPECT_FALSE(files.WriteTextFile(path, "new"));
  EXPECT_EQ(nullptr, files.createappendfile(path));
  t.WriteFile(t.Path("src.txt"), "src");
  EXPECT_FALSE(files.copyfile(t.Path("src.txt"), path));
  EXPECT_EQ("old", t.ReadFile(path));
  EXPECT_EQ(Line(path + kReadOnly) + Line(path + kReadOnly) + Line(path + kReadOnly), LogFile());
}

TEST_F(FileSubsTest, CopyIntoFolderCarriesTheSourceDateAndNeedsASource) {
  const TimePoint date = FromLocal(LocalDateTime{2019, 6, 1, 8, 30, 0});
  t.WriteFile(t.Path("a/page.htm"), "page text");
  t.Touch(t.Path("a/page.htm"), date);
  t.WriteFile(t.Path("b/page.htm"), "older and longer text");
  for (const char* target : {"b/", "b\\"}) {
    ASSERT_TRUE(files.copyfile(t.Path("A/Page.htm"), t.Path(target))) << target;
    EXPECT_EQ("page text", t.ReadFile(t.Path("b/page.htm")));
    EXPECT_EQ(date, files.FileDate(t.Path("b/page.htm")));
  }
  // A copy onto itself keeps the text.
  ASSERT_TRUE(files.copyfile(t.Path("a/page.htm"), t.Path("a/page.htm")));
  EXPECT_EQ("page text", t.ReadFile(t.Path("a/page.htm")));
  EXPECT_FALSE(files.copyfile(t.Path("none.htm"), t.Path("x.htm")));
  EXPECT_FALSE(t.Exists(t.Path("x.htm")));
  EXPECT_EQ(Line(t.Path("none.htm") + " doesn't exist, can't copy it"), LogFile());
}

TEST_F(FileSubsTest, LargeCopyIsExactAndShowsProgress) {
  std::string big(4000000, '\0');
  for (size_t i = 0; i < big.size(); ++i) {
    big[i] = static_cast<char>(i * 7 + i / 256000);
  }
  t.WriteFile(t.Path("big.bin"), big);
  ASSERT_TRUE(files.copyfile(t.Path("big.bin"), t.Path("copy.bin"), StatusStrip::kUpload));
  EXPECT_TRUE(big == t.ReadFile(t.Path("copy.bin")));
  // Reports after 1,536,000 and 3,072,000 bytes; the second falls within
  // the redraw pause, since the test clock stands still.
  ASSERT_EQ(1u, t.ui.upload_status.size());
  EXPECT_EQ(t.Path("big.bin"), t.ui.upload_status[0].caption);
  EXPECT_DOUBLE_EQ(1536000.0 / 4000000.0, t.ui.upload_status[0].fraction);

  // Without a strip the copy still lets events run at every report.
  const int events_before = t.ui.events_processed;
  ASSERT_TRUE(files.copyfile(t.Path("big.bin"), t.Path("quiet.bin")));
  EXPECT_EQ(1u, t.ui.upload_status.size());
  EXPECT_EQ(2, t.ui.events_processed - events_before);
}

TEST_F(FileSubsTest, RunFileOpensTheFileAsItIsOnDisk) {
  t.WriteFile(t.Path("Site/Index.html"), "");
  files.RunFile(t.Path("site\\index.html"));
  EXPECT_EQ(std::vector<std::string>{t.Path("Site/Index.html")}, t.ui.opened_documents);
  t.ui.open_succeeds = false;
  files.RunFile("/nowhere/x.css");
  EXPECT_EQ(
      " >> 1: Can't open /nowhere/x.css with its associated program(31) in RunFile of "
      "module FileSubs - 14:35:00\r\n",
      t.log.RingText());
}

}  // namespace
}  // namespace pagorin
