#include "shared/log.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::FaultyFileSystem;
using testing::TestEnv;

// A log line at the test clock's time.
std::string Line(const std::string& message, const std::string& time = "14:35:00") {
  return time + " #1   " + message + "\r\n";
}

class LogTest : public ::testing::Test {
 protected:
  std::string LogFile() const { return t.ReadFile(t.paths.data_dir + "log.txt"); }
  TestEnv t;
};

TEST_F(LogTest, NewLogStartsWithFourHeaderLinesAndLaterLinesAppend) {
  t.WriteFile(t.log.LogFilePath(), "old run\r\n");
  t.log.LogEvent("Program startup", true);
  t.clock.Advance(std::chrono::seconds(65));
  t.log.LogEvent("Program end");
  EXPECT_EQ(Line("Log file created 03/07/24 14:35:00") + Line("Operating System: " + fosname()) +
                Line("App: pagorin") + Line("Version: " + AppVersion()) + Line("Program startup") +
                Line("Program end", "14:36:05"),
            LogFile());
}

TEST_F(LogTest, OldLogThatCannotBeDeletedIsAppendedToWithoutHeader) {
  t.WriteFile(t.log.LogFilePath(), "old run\r\n");
  t.fs.FailNth(FaultyFileSystem::Op::kRemove, 1, FsError::kAccessDenied);
  t.log.LogEvent("Program startup", true);
  EXPECT_EQ("old run\r\n" + Line("Program startup"), LogFile());
}

TEST_F(LogTest, UnwritableLogIsIgnored) {
  t.fs.FailNth(FaultyFileSystem::Op::kOpen, 1, FsError::kDiskFull, /*persistent=*/true);
  t.log.LogEvent("Program startup", true);
  for (int i = 0; i < 45; ++i) {
    t.log.LogError("e", "", "");
  }
  EXPECT_FALSE(t.Exists(t.log.LogFilePath()));
}

TEST_F(LogTest, EntryNamesProcedureAndModuleOnlyWhenGiven) {
  t.log.LogError("Path not found(76)", "FileExists", "FileSubs");
  t.log.LogError("a(1)", "", "frmMain");
  t.log.LogError("b(2)", "Proc", "");
  t.log.LogDebug("c", "", "");
  EXPECT_EQ(
      " >> 1: Path not found(76) in FileExists of module FileSubs - 14:35:00\r\n"
      " >> 2: a(1) of module frmMain - 14:35:00\r\n"
      " >> 3: b(2) in Proc - 14:35:00\r\n"
      " >> 4: DBG: c - 14:35:00\r\n",
      t.log.RingText());
  EXPECT_FALSE(t.Exists(t.log.LogFilePath()));
}

TEST_F(LogTest, FortyFirstErrorWritesTheRingOldestFirstThenStartsOver) {
  for (int i = 1; i <= 41; ++i) {
    t.log.LogError("e" + std::to_string(i), "P", "M");
    t.clock.Advance(std::chrono::seconds(1));
  }
  std::string expected = Line("Listing last 40 log events: ", "14:35:40");
  for (int i = 1; i <= 40; ++i) {
    char time[16];
    std::snprintf(time, sizeof time, "14:35:%02d", i - 1);
    expected +=
        Line(" >> " + std::to_string(i) + ": e" + std::to_string(i) + " in P of module M - " + time,
             "14:35:40");
  }
  expected += Line("End of actions list", "14:35:40");
  EXPECT_EQ(expected, LogFile());

  // The 41st record took the first place: it is now the newest of the ring.
  std::string ring = t.log.RingText();
  EXPECT_EQ(0u, ring.find(" >> 1: e2 in P of module M - 14:35:01\r\n"));
  EXPECT_TRUE(ring.ends_with(" >> 40: e41 in P of module M - 14:35:40\r\n"));
}

TEST_F(LogTest, DebugRecordsWrapWithoutWriting) {
  for (int i = 1; i <= 81; ++i) {
    t.log.LogDebug("d" + std::to_string(i), "", "");
  }
  EXPECT_FALSE(t.Exists(t.log.LogFilePath()));
  EXPECT_EQ(0u, t.log.RingText().find(" >> 1: DBG: d42 - "));
}

TEST(AppFacts, VersionAndSystemName) {
  EXPECT_TRUE(std::regex_match(AppVersion(), std::regex(R"(\d+\.\d+\.\d+)")));
  EXPECT_TRUE(std::regex_match(fosname(), std::regex(R"(Linux \S+)")));
}

}  // namespace
}  // namespace pagorin
