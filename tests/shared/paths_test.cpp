#include "shared/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace pagorin {
namespace {

struct SplitCase {
  const char* path;
  const char* path_only;
  const char* file_only;
  const char* ext;
  const char* without_ext;
};

TEST(PathSplitting, BothSeparatorsSplitAndRejoin) {
  const SplitCase cases[] = {
      {"C:\\site\\index.htm", "C:/site/", "index.htm", "htm", "C:\\site\\index"},
      {"/home/ann/site/index.htm", "/home/ann/site/", "index.htm", "htm", "/home/ann/site/index"},
      {"a/b\\c.htm", "a/b/", "c.htm", "htm", "a/b\\c"},
      {"index.htm", "./", "index.htm", "htm", "index"},
      {"C:\\my.site\\index", "C:/my.site/", "index", "site\\index", "C:\\my"},
      {"a.tar.gz", "./", "a.tar.gz", "gz", "a.tar"},
      {"site/Templates/", "site/Templates/", "", "", "site/Templates/"},
      {"/", "/", "", "", "/"},
      {"", "./", "", "", ""},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.path_only, PathOnly(c.path));
    EXPECT_EQ(c.file_only, fileonly(c.path));
    EXPECT_EQ(c.file_only, fileexpath(c.path));
    EXPECT_EQ(c.ext, extonly(c.path));
    EXPECT_EQ(c.without_ext, filewithoutext(c.path));
    EXPECT_EQ(c.without_ext, fileroot(c.path));
    if (std::string(c.path).find_first_of("/\\") != std::string::npos) {
      EXPECT_EQ(ToForwardSlashes(c.path), PathOnly(c.path) + fileonly(c.path));
    }
  }
}

TEST(PathJoiningAndRoots, KeepWhatIsThereAndCutAtTheRightSeparator) {
  EXPECT_EQ("C:\\site/", addbackslash("C:\\site"));
  EXPECT_EQ("C:\\site\\", addbackslash("C:\\site\\"));
  EXPECT_EQ("", addbackslash(""));
  EXPECT_EQ("a\\/", addslash("a\\"));
  EXPECT_EQ("\\\\server\\share", uncroot("\\\\server\\share\\web\\x.htm"));
  EXPECT_EQ("//server/share", uncroot("//server/share"));
  EXPECT_EQ("D", driveonly("D:\\web"));
  EXPECT_EQ("/web", driveonly("/web"));
}

}  // namespace
}  // namespace pagorin
