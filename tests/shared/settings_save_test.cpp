// Saving when the disk says no: the previous file must survive whole, with
// no temporary file left beside it, and the person hears exactly why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "shared/settings.h"
#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::FaultyFileSystem;
using testing::TestEnv;
using Op = FaultyFileSystem::Op;

constexpr const char* kOld = "OLD,1\r\n";
constexpr const char* kNew = "NEW,2\r\n";
constexpr const char* kReadOnly =
    "Your settings file is read-only and I can't change it. Save cancelled.";

class SettingsSaveTest : public ::testing::Test {
 protected:
  SettingsSaveTest() {
    t.WriteFile(file, kOld);
    store.StoreSetting("new", 2);
  }
  // The previous file is there untouched, and nothing else is.
  void ExpectOldFileAlone() {
    EXPECT_EQ(kOld, t.ReadFile(file));
    EXPECT_EQ(std::vector<std::string>{"Pagorin.ini"}, t.List(t.Path("site")));
  }

  TestEnv t;
  cSHAREDSettings store{t.env};
  std::string file = t.Path("site/Pagorin.ini");
};

TEST_F(SettingsSaveTest, FailedWriteSyncOrRenameKeepsThePreviousFile) {
  for (Op op : {Op::kOpen, Op::kWrite, Op::kSync, Op::kRename}) {
    t.ui.error_reports.clear();
    t.fs.FailNth(op, 1);
    store.SaveSettings(file);
    ExpectOldFileAlone();
    EXPECT_EQ(std::vector<std::string>{"75 - Injected failure in SaveSettings"},
              t.ui.error_reports);
    EXPECT_TRUE(t.ui.messages.empty());
  }
  std::string logged;
  for (char n : {'1', '2', '3', '4'}) {
    logged += std::string(" >> ") + n +
              ": Injected failure(75) in SaveSettings of module cSHAREDSettings - 14:35:00\r\n";
  }
  EXPECT_EQ(logged, t.log.RingText());
}

TEST_F(SettingsSaveTest, FullDiskOffersRetryAndCancel) {
  const std::string root = t.root().substr(0, t.root().find('/', 1));
  const std::string asked = "You've run out of disk space on drive " + root +
                            ":\r\nPlease clear some space and then click Retry, else click "
                            "Cancel to abort.";
  t.fs.FailNth(Op::kWrite, 1, FsError::kDiskFull, /*persistent=*/true);
  store.SaveSettings(file);  // no answer queued: Cancel
  ExpectOldFileAlone();
  t.fs.FailNth(Op::kWrite, 1, FsError::kDiskFull);
  t.ui.QueueAnswer(Answer::kRetry);
  store.SaveSettings(file);
  EXPECT_EQ(kNew, t.ReadFile(file));
  ASSERT_EQ(2u, t.ui.messages.size());
  for (const auto& message : t.ui.messages) {
    EXPECT_EQ(asked, message.text);
    EXPECT_EQ(Buttons::kRetryCancel, message.buttons);
  }
}

TEST_F(SettingsSaveTest, ReadOnlyFileIsMadeWritableOrLeftWhole) {
  ASSERT_TRUE(t.fs.SetReadOnly(file, true).ok());
  t.fs.FailNth(Op::kSetReadOnly, 1, FsError::kAccessDenied, /*persistent=*/true);
  store.SaveSettings(file);
  ExpectOldFileAlone();
  EXPECT_EQ(std::vector<std::string>{kReadOnly}, t.ui.MessageTexts());
  t.fs.Heal();
  store.SaveSettings(file);
  EXPECT_EQ(kNew, t.ReadFile(file));
  EXPECT_EQ(1u, t.ui.messages.size());
}

TEST_F(SettingsSaveTest, FolderThatRefusesFilesIsTriedOnceMore) {
  t.fs.FailNth(Op::kOpen, 1, FsError::kAccessDenied, /*persistent=*/true);
  store.SaveSettings(file);
  ExpectOldFileAlone();
  EXPECT_EQ(2, t.fs.Count(Op::kOpen));
  EXPECT_EQ(std::vector<std::string>{kReadOnly}, t.ui.MessageTexts());
}

TEST_F(SettingsSaveTest, ReadOnlyFolderOnDisk) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root writes into read-only folders";
  }
  ASSERT_EQ(0, chmod(t.Path("site").c_str(), 0555));
  store.SaveSettings(file);
  ExpectOldFileAlone();
  EXPECT_EQ(std::vector<std::string>{kReadOnly}, t.ui.MessageTexts());
}

TEST_F(SettingsSaveTest, MissingFolderGoesToTheErrorReport) {
  const std::string folder = t.Path("gone/");
  store.SaveSettings(folder + "Pagorin.ini");
  EXPECT_EQ(
      std::vector<std::string>{"53 - open " + folder + ".Pagorin.ini." + std::to_string(getpid()) +
                               ".tmp: No such file or directory in SaveSettings"},
      t.ui.error_reports);
  EXPECT_FALSE(t.Exists(folder));
}

}  // namespace
}  // namespace pagorin
