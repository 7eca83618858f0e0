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

TEST_F(FileCacheTest, FileIsReadAgainOnlyWhenItChanged) {
  t.WriteFile(t.Path("a.inc"), "one");
  t.Touch(t.Path("a.inc"), FixedNow());
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("A.INC")));  // the same file on disk
  EXPECT_EQ(1, Reads());

  t.WriteFile(t.Path("a.inc"), "three");  // same time, other size
  t.Touch(t.Path("a.inc"), FixedNow());
  EXPECT_EQ("three", cache.ReadFileOrCache(t.Path("a.inc")));

  t.WriteFile(t.Path("a.inc"), "seven");  // same size, later time
  t.Touch(t.Path("a.inc"), FixedNow() + std::chrono::seconds(1));
  EXPECT_EQ("seven", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ(3, Reads());
  EXPECT_EQ(1u, cache.size());
}

TEST_F(FileCacheTest, MissingOrUnreadableFileIsNotKept) {
  EXPECT_EQ("-1", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("-1", cache.ReadFileOrCache(t.Path("")));
  t.WriteFile(t.Path("a.inc"), "one");
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 1, FsError::kAccessDenied);
  EXPECT_EQ("", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ(0u, cache.size());
  EXPECT_NE(std::string::npos, t.log.RingText().find("(75) in ReadFileOrCache of module clsCache"));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
}

TEST_F(FileCacheTest, WithinARunEachFileIsCheckedOnce) {
  t.WriteFile(t.Path("a.inc"), "one");
  t.Touch(t.Path("a.inc"), FixedNow());
  cache.BeginRun();
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
  t.WriteFile(t.Path("a.inc"), "three");
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("A.INC")));  // another spelling, found on disk
  const int stats = t.fs.Count(FaultyFileSystem::Op::kStat);
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("one", cache.ReadFileOrCache(t.Path("A.INC")));
  EXPECT_EQ(stats, t.fs.Count(FaultyFileSystem::Op::kStat));
  cache.EndRun();

  cache.BeginRun();  // the next run sees the edit
  EXPECT_EQ("three", cache.ReadFileOrCache(t.Path("A.INC")));
  EXPECT_EQ("three", cache.ReadFileOrCache(t.Path("a.inc")));
  cache.EndRun();
  EXPECT_EQ(2, Reads());
}

TEST_F(FileCacheTest, PastTheBudgetTheFilesUsedLongestAgoLeave) {
  // Room for two of these files with their bookkeeping, not for three.
  clsCache small(t.env, 25000);
  for (const char* name : {"a.inc", "b.inc", "c.inc", "d.inc"}) {
    t.WriteFile(t.Path(name), std::string(10000, name[0]));
  }
  small.BeginRun();
  for (const char* name : {"a.inc", "b.inc", "a.inc", "c.inc", "a.inc", "d.inc", "a.inc"}) {
    EXPECT_EQ(std::string(10000, name[0]), small.ReadFileOrCache(t.Path(name)));
  }
  EXPECT_EQ(2u, small.size());  // a.inc, used all along, and d.inc
  EXPECT_LE(small.bytes(), 25000u);
  EXPECT_EQ(4, Reads());
  EXPECT_EQ(std::string(10000, 'b'), small.ReadFileOrCache(t.Path("b.inc")));  // read again
  EXPECT_EQ(5, Reads());
  small.EndRun();
}

TEST_F(FileCacheTest, FileReadOnceIsNotKeptUnlessItWasAlready) {
  t.WriteFile(t.Path("page.template"), "p");
  t.WriteFile(t.Path("a.inc"), "a");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ("p", cache.Read(t.Path("page.template"), clsCache::Keep::kOnce).file->text);
  }
  EXPECT_EQ(0u, cache.size());
  EXPECT_EQ("a", cache.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ("a", cache.Read(t.Path("a.inc"), clsCache::Keep::kOnce).file->text);
  EXPECT_EQ(3, Reads());
}

TEST_F(FileCacheTest, FileLargerThanTheBudgetIsServedButNotKept) {
  clsCache small(t.env, 100);
  t.WriteFile(t.Path("big.inc"), std::string(500, 'x'));
  t.WriteFile(t.Path("a.inc"), "a");
  EXPECT_EQ(std::string(500, 'x'), small.ReadFileOrCache(t.Path("big.inc")));
  EXPECT_EQ("a", small.ReadFileOrCache(t.Path("a.inc")));
  EXPECT_EQ(std::string(500, 'x'), small.ReadFileOrCache(t.Path("big.inc")));
  EXPECT_EQ(3, Reads());
  EXPECT_EQ(1u, small.size());
}

}  // namespace
}  // namespace pagorin::testing
