// The installed Sample is read-only: it is opened from the person's copy.
#include "app/sample_copy.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/command_line.h"
#include "app/startup.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class SampleCopyTest : public SiteTest {
 protected:
  SampleCopyTest() {
    t.paths.installed_dir = t.Path("usr/share/pagorin/");
    t.paths.projects_dir = t.Path("home/Pagorin/");
    for (const auto& [name, text] : kSample) {
      t.WriteFile(Installed(name), text);
    }
  }
  std::string Installed(const std::string& name) const {
    return t.Path("usr/share/pagorin/Sample/") + name;
  }
  std::string Copy(const std::string& name = "") const {
    return t.Path("home/Pagorin/Sample/") + name;
  }
  std::string CopiedMessage() const {
    return "Pagorin copied its Sample project to " + Copy() +
           ". The copy is yours to change and build; the installed Sample stays as it is.";
  }

  const std::vector<std::pair<std::string, std::string>> kSample = {
      {"Sample.pgx", "PROJECTPATH,./\r\nPROJECTTITLE,Kestrel\r\n"},
      {"Templates/index.template", "[include=nav/menu.inc]"},
      {"Includes/nav/menu.inc", "<nav>Home</nav>"},
      {"releases/current.txt", "1.4.2\r\n"},
  };
};

TEST_F(SampleCopyTest, TheFirstOpeningCopiesTheWholeSampleAndSaysWhere) {
  EXPECT_EQ(Copy("Sample.pgx"), WritableProject(t.env, Installed("Sample.pgx")));
  for (const auto& [name, text] : kSample) {
    EXPECT_EQ(text, t.ReadFile(Copy(name))) << name;
    EXPECT_EQ(text, t.ReadFile(Installed(name))) << name;
  }
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ(CopiedMessage(), t.ui.messages[0].text);
  EXPECT_EQ(Icon::kInformation, t.ui.messages[0].icon);

  // Later openings, by any spelling of the installed path, use the person's copy as it is now.
  t.WriteFile(Copy("Templates/index.template"), "mine");
  t.ui.messages.clear();
  EXPECT_EQ(Copy("Sample.pgx"),
            WritableProject(t.env, t.Path("usr/share/pagorin/Sample/../Sample/Sample.pgx")));
  EXPECT_EQ("mine", t.ReadFile(Copy("Templates/index.template")));
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(SampleCopyTest, OtherProjectsAreOpenedWhereTheyAre) {
  for (const std::string& project :
       {ProjectPath(), Installed("Templates/Sample.pgx"), std::string("Sample/Sample.pgx")}) {
    EXPECT_EQ(project, WritableProject(t.env, project));
  }
  t.paths.installed_dir.clear();  // run from the build folder: nothing is installed
  EXPECT_EQ(Installed("Sample.pgx"), WritableProject(t.env, Installed("Sample.pgx")));
  EXPECT_EQ("", InstalledSampleProject(t.env));
  EXPECT_FALSE(t.Exists(Copy()));
}

TEST_F(SampleCopyTest, AFailedCopyOpensNothingAndTheNextOneCompletesIt) {
  t.WriteFile(Copy("Includes/nav/menu.inc"), "<nav>Mine</nav>");
  t.fs.FailNth(FaultyFileSystem::Op::kWrite, 2, FsError::kDiskFull);
  EXPECT_EQ("", WritableProject(t.env, Installed("Sample.pgx")));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ(0u, t.ui.messages[0].text.find(
                    "The Sample project was not opened: Pagorin could not copy " + t.Path("usr")));
  EXPECT_NE(std::string::npos,
            t.ui.messages[0].text.find(" to " + Copy() +
                                       ", and the installed Sample cannot be changed."));
  EXPECT_FALSE(t.Exists(Copy("Sample.pgx")));  // the project file comes last

  t.fs.Heal();
  EXPECT_EQ(Copy("Sample.pgx"), WritableProject(t.env, Installed("Sample.pgx")));
  EXPECT_EQ("<nav>Mine</nav>", t.ReadFile(Copy("Includes/nav/menu.inc")));  // never replaced
  EXPECT_EQ("[include=nav/menu.inc]", t.ReadFile(Copy("Templates/index.template")));
  EXPECT_EQ("1.4.2\r\n", t.ReadFile(Copy("releases/current.txt")));

  t.paths.projects_dir.clear();
  std::filesystem::remove_all(Copy());
  t.ui.messages.clear();
  EXPECT_EQ("", WritableProject(t.env, Installed("Sample.pgx")));
  EXPECT_EQ(std::vector<std::string>{"The Sample project was not opened: there is no home folder "
                                     "to copy it to, and the installed Sample cannot be changed."},
            t.ui.MessageTexts());
}

TEST_F(SampleCopyTest, AFirstStartOpensTheCopyAndRemembersIt) {
  EXPECT_EQ(StartOutcome::kInteractive, Startup(engine, ParseCommandLine({}), t.Path("data")));
  EXPECT_TRUE(engine.ProjectLoaded);
  EXPECT_EQ(Copy("Sample.pgx"), engine.ProjectFile);
  EXPECT_EQ("Kestrel", engine.texts.txtTitle);
  EXPECT_EQ("LASTLOADED," + Copy("Sample.pgx") + "\r\n",
            t.ReadFile(t.paths.data_dir + "Pagorin.ini"));

  // /AUTO on the installed Sample builds the copy; the installed folder gets no page.
  EXPECT_EQ(StartOutcome::kAutoRun,
            Startup(engine, ParseCommandLine({"/AUTO", Installed("Sample.pgx")}), t.Path("data")));
  EXPECT_EQ(Copy("Sample.pgx"), engine.ProjectFile);
  EXPECT_TRUE(BuildAll());
  EXPECT_EQ("<nav>Home</nav>", t.ReadFile(Copy("index.html")));
  EXPECT_FALSE(t.Exists(Installed("index.html")));
}

}  // namespace
}  // namespace pagorin::testing
