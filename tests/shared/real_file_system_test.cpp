// The real disk: a whole file read in one go, with what the file was.
#include "shared/real_file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::TestEnv;

TEST(RealFileSystem, WholeFileReadsGiveEveryByteAndTheFileDetails) {
  TestEnv t;
  RealFileSystem fs;
  const std::string with_nul("a\0b\r\n", 5);
  const std::string block(64 * 1024, 'b');  // exactly one read's worth
  const std::string large(300 * 1024 + 7, '\xff');
  for (const std::string& bytes : {std::string(), std::string("x"), with_nul, block, large}) {
    SCOPED_TRACE(bytes.size());
    t.WriteFile(t.Path("f.inc"), bytes);
    std::string contents = "stale";
    ASSERT_TRUE(fs.ReadFile(t.Path("f.inc"), &contents).ok());
    EXPECT_EQ(bytes, contents);
    contents = "stale";
    FileInfo info;
    ASSERT_TRUE(fs.ReadFileWithInfo(t.Path("f.inc"), &contents, &info).ok());
    EXPECT_EQ(bytes, contents);
    const FileInfo stat = fs.Stat(t.Path("f.inc"));
    EXPECT_TRUE(info.exists);
    EXPECT_FALSE(info.is_directory);
    EXPECT_EQ(bytes.size(), info.size);
    EXPECT_EQ(stat.modified, info.modified);
  }
}

TEST(RealFileSystem, WholeFileReadsOfAFolderOrNothingFail) {
  TestEnv t;
  RealFileSystem fs;
  t.WriteFile(t.Path("folder/x"), "x");
  std::string contents = "stale";
  FileInfo info;
  EXPECT_EQ(FsError::kIsDirectory, fs.ReadFileWithInfo(t.Path("folder"), &contents, &info).code);
  EXPECT_EQ("", contents);
  contents = "stale";
  EXPECT_EQ(FsError::kIsDirectory, fs.ReadFile(t.Path("folder"), &contents).code);
  EXPECT_EQ("", contents);
  EXPECT_FALSE(info.exists);
  const FsStatus missing = fs.ReadFileWithInfo(t.Path("gone"), &contents, &info);
  EXPECT_EQ(FsError::kNotFound, missing.code);
  EXPECT_EQ("open " + t.Path("gone") + ": No such file or directory", missing.message);
}

// Past kMaxFileBytes a file is refused before a byte is read: here a
// sparse file that takes no room on the disk. One byte less is read.
TEST(RealFileSystem, WholeFileReadsStopAtTheLimit) {
  TestEnv t;
  RealFileSystem fs;
  t.WriteFile(t.Path("huge.inc"), "");
  std::filesystem::resize_file(t.Path("huge.inc"), kMaxFileBytes + 1);
  std::string contents = "stale";
  FileInfo info;
  const std::string message =
      "read " + t.Path("huge.inc") + ": larger than 1024 MB, too large to read into memory";
  for (const FsStatus& status : {fs.ReadFile(t.Path("huge.inc"), &contents),
                                 fs.ReadFileWithInfo(t.Path("huge.inc"), &contents, &info)}) {
    EXPECT_EQ(FsError::kTooLarge, status.code);
    EXPECT_EQ(message + "(7)", ErrorDescription(status));
    EXPECT_EQ("", contents);
  }
  EXPECT_FALSE(info.exists);
}

}  // namespace
}  // namespace pagorin
