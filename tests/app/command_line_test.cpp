// The command line and the start-up that follows it. What /AUTO does with a
// missing or foreign project file is checked on the real executable.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_type_registration.h"
#include "app/project.h"
#include "app/project_commands.h"
#include "app/startup.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

TEST(ParseCommandLine, FindsTheSwitchOnlyAsAWholeArgument) {
  struct Case {
    std::vector<std::string> args;
    bool auto_run;
    std::string project;
  };
  const Case cases[] = {
      {{}, false, ""},
      {{"/AUTO", "site.pgx"}, true, "site.pgx"},
      {{"site.pgx", "/auto"}, true, "site.pgx"},
      {{"/Auto"}, true, ""},
      {{"--auto", "/home/auto/site.pgx"}, true, "/home/auto/site.pgx"},
      {{"/AUTO/site.pgx"}, false, "/AUTO/site.pgx"},
      {{"\"/srv/My Site/site.pgx\""}, false, "/srv/My Site/site.pgx"},
      {{"/srv/My", "Site/site.pgx", "/AUTO"}, true, "/srv/My Site/site.pgx"},
      {{"--", "/AUTO"}, false, "/AUTO"},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(c.auto_run, line.auto_run) << ::testing::PrintToString(c.args);
    EXPECT_EQ(c.project, line.project) << ::testing::PrintToString(c.args);
    EXPECT_EQ("", line.error);
  }
  EXPECT_TRUE(ParseCommandLine({"--help"}).help);
  EXPECT_TRUE(ParseCommandLine({"--version"}).version);
  EXPECT_TRUE(ParseCommandLine({"/AUTO", "--changed", "x.pgx"}).changed_only);
  EXPECT_FALSE(ParseCommandLine({"/AUTO", "x.pgx"}).changed_only);
  EXPECT_FALSE(ParseCommandLine({"--", "--changed"}).changed_only);
  EXPECT_EQ("unknown option --fast", ParseCommandLine({"--fast", "x.pgx"}).error);
}

class StartupTest : public SiteTest {
 protected:
  StartOutcome Start(const std::vector<std::string>& args) {
    return Startup(engine, ParseCommandLine(args), t.Path("data"));
  }
};

TEST_F(StartupTest, ProjectOnTheCommandLineIsOpened) {
  t.WriteFile(ProjectPath(), "PROJECTPATH,./\r\nPROJECTTITLE,Walks\r\n");
  EXPECT_EQ(StartOutcome::kAutoRun, Start({ProjectPath(), "/AUTO"}));
  EXPECT_TRUE(engine.ProjectLoaded);
  EXPECT_EQ("Walks", engine.texts.txtTitle);
  EXPECT_EQ(t.paths.data_dir + "Pagorin.ini", engine.AppSettingsFile);
  EXPECT_EQ("LASTLOADED," + ProjectPath() + "\r\n", t.ReadFile(engine.AppSettingsFile));
  EXPECT_NE(std::string::npos, t.ReadFile(t.log.LogFilePath()).find("Program startup\r\n"));
}

TEST_F(StartupTest, WithoutAProjectTheLastOneIsOpenedWhenItExists) {
  t.WriteFile(ProjectPath(), "PROJECTPATH,./\r\n");
  t.WriteFile(t.paths.data_dir + "Pagorin.ini", "LASTLOADED," + ProjectPath() + "\r\n");
  EXPECT_EQ(StartOutcome::kInteractive, Start({}));
  EXPECT_EQ(ProjectPath(), engine.ProjectFile);

  std::filesystem::remove(ProjectPath());
  CloseProject(engine);
  EXPECT_EQ(StartOutcome::kInteractive, Start({}));
  EXPECT_EQ("", engine.ProjectFile);
  EXPECT_FALSE(engine.ProjectLoaded);
  EXPECT_EQ("Project Title", engine.texts.txtTitle);
  EXPECT_FALSE(engine.controls.project_menus);
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(StartupTest, UnreadableProgramSettingsAreNeverSavedOver) {
  const std::string ini = t.paths.data_dir + "Pagorin.ini";
  const std::string settings = "LASTLOADED,/srv/walks/walks.pgx\r\nMYKEY,mine\r\n";
  t.WriteFile(ini, settings);
  t.WriteFile(ProjectPath(), "PROJECTPATH,./\r\n");
  t.fs.FailNth(FaultyFileSystem::Op::kRead, 1, FsError::kAccessDenied);
  EXPECT_EQ(StartOutcome::kAutoRun, Start({"/AUTO", ProjectPath()}));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ(ini +
                " cannot be read. Pagorin starts without your settings and will not save over "
                "them.",
            t.ui.messages[0].text);
  EXPECT_TRUE(engine.ProjectLoaded);
  ProgramEnd(engine);
  EXPECT_EQ(settings, t.ReadFile(ini));
}

TEST_F(StartupTest, RegistrationWritesOnlyWhatDiffers) {
  Start({});
  const std::string entry = t.Path("data/applications/pagorin.desktop");
  const std::string mime = t.Path("data/mime/packages/pagorin.xml");
  EXPECT_EQ(DesktopEntryText(t.paths.program_dir + "pagorin"), t.ReadFile(entry));
  EXPECT_EQ(MimePackageText(), t.ReadFile(mime));
  EXPECT_NE(std::string::npos, t.ReadFile(mime).find("<glob pattern=\"*.pgx\"/>"));

  t.Touch(entry, FixedNow());
  t.Touch(mime, FixedNow());
  const auto entry_time = std::filesystem::last_write_time(entry);
  const auto mime_time = std::filesystem::last_write_time(mime);
  Start({});
  EXPECT_EQ(entry_time, std::filesystem::last_write_time(entry));
  EXPECT_EQ(mime_time, std::filesystem::last_write_time(mime));

  t.WriteFile(entry, "[Desktop Entry]\nExec=/old/place/pagorin %f\n");
  Start({});
  EXPECT_EQ(DesktopEntryText(t.paths.program_dir + "pagorin"), t.ReadFile(entry));
}

TEST(DesktopEntry, QuotesTheProgramAndPassesTheFileAsOneArgument) {
  EXPECT_NE(std::string::npos,
            DesktopEntryText("/opt/my apps/pagorin").find("Exec=\"/opt/my apps/pagorin\" %f\n"));
  EXPECT_NE(std::string::npos,
            DesktopEntryText("/opt/100%$/pagorin").find("Exec=\"/opt/100%%\\\\$/pagorin\" %f\n"));
}

}  // namespace
}  // namespace pagorin::testing
