// Lines of a server's folder listing, as the FTP connection reads them.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "shared/curl_ftp.h"

namespace pagorin::testing {
namespace {

TEST(FtpListLine, EntriesAndLinesThatAreNone) {
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
  struct Case {
    const char* line;
    bool entry;
    const char* name = "";
    bool directory = false;
    std::int64_t size = 0;
  };
  const Case cases[] = {
      {"-rw-r--r-- 1 owner group 512 Mar 07 14:35 index.html", true, "index.html", false, 512},
      {"drwxr-xr-x   2 owner  group    4096 Mar  7  2024 images", true, "images", true, 4096},
      {"-rw-r--r-- 1 o g 7 Mar 07 14:35 two  words.html", true, "two  words.html", false, 7},
      {"-rw-r--r-- 1 o g 18446744073709551616 Mar 07 14:35 huge", true, "huge", false, kLargest},
      {"-rw-r--r-- 1 o g 9223372036854775807 Mar 07 14:35 max", true, "max", false, kLargest},
      {"-rw-r--r-- 1 o g 99999999999999999999999999 Mar 07 14:35 x", true, "x", false, kLargest},
      {"drwxr-xr-x 2 o g 0 Mar 07 14:35 .", false},
      {"drwxr-xr-x 2 o g 0 Mar 07 14:35 ..", false},
      {"-rw-r--r-- 1 o g 5k Mar 07 14:35 name", false},  // a size that is no number
      {"-rw-r--r-- 1 o g 5 Mar 07 14:35 ", false},       // no name
      {"-rw-r--r-- 1 o g 5 Mar 07 14:35", false},
      {"total 12", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    FtpListEntry entry;
    ASSERT_EQ(c.entry, ParseListLine(c.line, &entry));
    if (c.entry) {
      EXPECT_EQ(c.name, entry.name);
      EXPECT_EQ(c.directory, entry.is_directory);
      EXPECT_EQ(c.size, entry.size);
    }
  }
}

}  // namespace
}  // namespace pagorin::testing
