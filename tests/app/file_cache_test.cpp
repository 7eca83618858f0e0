// clsCache: one read per file until the file changes.
#include "app/file_cache.h"

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace pagorin::testing {
namespace {

class FileCacheTest : public ::testing::Test {
 protected:
  int Reads() const { return static_cast<int>(t.fs.reads().size()); }

  TestEnv t;
  clsCache cache{t.env};
};

TEST_F(FileCacheTest, UnchangedFileIsReadOnce) {
  t.WriteFile(t.Path("a.inc"), "one");
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("A.INC")));  // the same file on disk
  EXPECT_EQ(1, Reads());
  EXPECT_EQ(1u, cache.size());
}

TEST_F(FileCacheTest, EditedFileIsReadAgain) {
  t.WriteFile(t.Path("a.inc"), "one");
  t.Touch(t.Path("a.inc"), FixedNow());
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));

  t.WriteFile(t.Path("a.inc"), "three");  // same time, other size
  t.Touch(t.Path("a.inc"), FixedNow());
  EXPECT_EQ("three", cache.ReadFileOrCache(t.Path("a.inc")));

  t.WriteFile(t.Path("a.inc"), "seven");  // same size, later time
  t.Touch(t.Path("a.inc"), FixedNow() + std::chrono::seconds(1));
  EXPECT_EQ("seven", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ(3, Reads());
  EXPECT_EQ(1u, cache.size());
}

TEST_F(FileCacheTest, MissingFileReadsAsMinusOneAndIsNotKept) {
  EXPECT_EQ("-1", cache.ReadFileOrCache(t.Path("gone.inc")));
  EXPECT_EQ("-1", cache.ReadFileOrCache(t.Path("")));
  EXPECT_EQ(0u, cache.size());

  t.WriteFile(t.Path("gone.inc"), "back");
  EXPECT_EQ("back", cache.ReadFileOrCache(t.Path("gone.inc")));
}

TEST_F(FileCacheTest, UnreadableFileReadsEmptyAndIsLogged) {
  t.WriteFile(t.Path("a.inc"), "one");
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 1, FsError::kAccessDenied);
  EXPECT_EQ("", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ(0u, cache.size());
  EXPECT_NE(std::string::npos, t.log.RingText().find("(75) in ReadFileOrCache of module clsCache"));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
}

}  // namespace
}  // namespace pagorin::testing
