#include "shared/program_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/test_env.h"

namespace pagorin {
namespace {

using testing::TestEnv;

class ProgramPathsTest : public ::testing::Test {
 protected:
  ProgramPaths WorkOut(const std::string& xdg, const std::string& home) {
    return WorkOutProgramPaths(t.fs, {t.Path("program/pagorin"), xdg, home});
  }
  TestEnv t;
};

TEST_F(ProgramPathsTest, WritableSettingsBesideTheExecutableMakeAPortableInstall) {
  t.WriteFile(t.Path("program/Pagorin.ini"), "LASTLOADED,x\r\n");
  ProgramPaths paths = WorkOut(t.Path("cfg"), t.Path("home"));
  EXPECT_EQ(t.Path("program/"), paths.data_dir);
  EXPECT_EQ(t.Path("program/"), paths.program_dir);
  EXPECT_EQ("pagorin", paths.program_name);
  EXPECT_EQ("LASTLOADED,x\r\n", t.ReadFile(t.Path("program/Pagorin.ini")));
  EXPECT_FALSE(t.Exists(t.Path("cfg")));
}

TEST_F(ProgramPathsTest, OtherwiseTheConfigFolderIsUsedAndCreated) {
  EXPECT_EQ(t.Path("cfg/pagorin/"), WorkOut(t.Path("cfg"), t.Path("home")).data_dir);
  EXPECT_TRUE(t.Exists(t.Path("cfg/pagorin")));

  t.WriteFile(t.Path("program/Pagorin.ini"), "");
  ASSERT_EQ(0, ::chmod(t.Path("program/Pagorin.ini").c_str(), 0444));
  EXPECT_EQ(t.Path("cfg/pagorin/"), WorkOut(t.Path("cfg/"), t.Path("home")).data_dir);
}

TEST_F(ProgramPathsTest, WithoutAnAbsoluteConfigHomeTheHomeFolderIsUsed) {
  for (const char* xdg : {"", "relative/cfg"}) {
    EXPECT_EQ(t.Path("home/.config/pagorin/"), WorkOut(xdg, t.Path("home")).data_dir) << xdg;
  }
  EXPECT_TRUE(t.Exists(t.Path("home/.config/pagorin")));
  EXPECT_EQ(t.Path("program/"), WorkOut("", "").data_dir);
}

TEST(ProgramLocation, ComesFromTheRunningProcess) {
  TestEnv t;  // points XDG_CONFIG_HOME into its folder
  ProgramLocation location = CurrentProgramLocation();
  EXPECT_TRUE(location.executable.ends_with("/shared_tests")) << location.executable;
  EXPECT_EQ(t.root() + "config", location.xdg_config_home);
  EXPECT_FALSE(location.home.empty());
}

}  // namespace
}  // namespace pagorin
