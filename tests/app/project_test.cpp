// The project file and the project commands: where a site is, what is
// loaded and saved, and files that must never be taken for a project.
#include "app/project.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/build_run.h"
#include "app/project_commands.h"
#include "app/project_paths.h"
#include "shared/paths.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class ProjectTest : public SiteTest {};

TEST_F(ProjectTest, SiteFolderFollowsProjectPath) {
  EXPECT_EQ(t.paths.program_dir, GetProjectPath(engine));  // no project
  OpenSite();
  EXPECT_EQ(Site(), GetProjectPath(engine));
  EXPECT_EQ(Site("Templates/"), TemplatesDir(engine));
  EXPECT_EQ(Site("Includes/"), IncludesDir(engine));

  const std::pair<std::string, std::string> cases[] = {{".\\", Site()},
                                                       {"/srv/www/", "/srv/www/"},
                                                       {"C:\\web\\site\\", "C:/web/site/"},
                                                       {"/srv/www", "/srv/www/"}};
  for (const auto& [value, site] : cases) {
    engine.ProjectSettings.sSet("ProjectPath", value);
    EXPECT_EQ(site, GetProjectPath(engine)) << value;
  }
  engine.ProjectSettings.DeleteSettingByName("ProjectPath");
  EXPECT_EQ("", GetProjectPath(engine));
}

TEST_F(ProjectTest, OutputNamesFollowTheExtensionKeys) {
  OpenSite({"EXT_ABOUT,.php", "EXT_BARE,"});
  EXPECT_EQ(Site("index.html"), BuildWebFilename(engine, "index.template"));
  EXPECT_EQ(Site("about.php"), BuildWebFilename(engine, "about.htm"));
  EXPECT_EQ(Site("my.page.html"), BuildWebFilename(engine, "my.page.template"));
  EXPECT_EQ(Site("bare"), BuildWebFilename(engine, "bare.template"));
  engine.ProjectSettings.sSet("Extension", ".htm");
  EXPECT_EQ(Site("index.htm"), BuildWebFilename(engine, "index.template"));
}

// A build names its pages from the extensions it took at its first page,
// exactly as the project's own look-up would.
TEST_F(ProjectTest, ABuildNamesItsPagesAsTheExtensionKeysDo) {
  OpenSite({"EXT_ABOUT,.php", "EXT_BARE,", "EXT_WEIRD,.w", "ext_lower,.x", "EXT_FLAG,true",
            "EXTENSION,.htm"});
  BuildRun run(engine);
  for (const char* name :
       {"index.template", "about.htm", "About.template", "my.page.template", "bare.template",
        "we,ird.template", "lower.template", "flag.template", "noext", "dir\\back.template"}) {
    run.SetCurrentPage(TemplatesDir(engine) + name);
    EXPECT_EQ(run.CurrentPageFile, BuildWebFilename(engine, fileonly(name))) << name;
  }
}

TEST(LooksLikeProjectFile, TellsProjectsFromOtherFiles) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"PROJECTTITLE,Walks\r\nPROJECTPATH,./\r\n", true},
      {"A,1\r\n\r\n  \r\nB,\r\n", true},
      {"TITLE,Hello, world\r\n", true},
      {"A,1\nB,2\n", true},  // line ends of other editors
      {"A,1\rB,2\r", true},
      {"A,1\r\nB,x\ny\r\n", true},  // a bare LF in a value, from an older save
      {"PROJECTTITLE,Walks\r\nJust some words\r\n", false},
      {" ,value\r\n", false},
      {std::string("A,1\r\nB,\0\r\n", 10), false},
      {std::string("\xff\xd8\xff\xe0\0\x10JFIF,x", 11), false},
      {"A,\x10J\x10M\r\n", true},  // escaped line ends
      {"<html>\r\n<p>Hello, world</p>\r\n", false},
  };
  for (const auto& [contents, project] : cases) {
    EXPECT_EQ(project, LooksLikeProjectFile(contents)) << contents;
  }
}

TEST_F(ProjectTest, FileThatIsNoProjectIsRefusedAndNeverWritten) {
  const std::string photo = "\xff\xd8\xff\xe0" + std::string(2000, '\0') + "EXIF,thing\r\n";
  t.WriteFile(Site("photo.jpg"), photo);
  t.WriteFile(Site("disk.img"), "A,1\r\n");
  std::filesystem::resize_file(Site("disk.img"), 65 * 1024 * 1024);
  const std::pair<std::string, std::string> cases[] = {
      {Site("photo.jpg"),
       " is not a Pagorin project file (its lines are not NAME,value settings)."},
      {Site("disk.img"), " is not a Pagorin project file (it is far too large for one)."},
      {Site("Templates"), " is a folder, not a Pagorin project file."},
  };
  for (const auto& [path, refusal] : cases) {
    t.ui.messages.clear();
    engine.ProjectFile = path;
    EXPECT_FALSE(OpenProject(engine));
    EXPECT_FALSE(engine.ProjectLoaded);
    EXPECT_EQ("", engine.ProjectFile);
    EXPECT_EQ(
        std::vector<std::string>{path + refusal + " It was not opened and will not be changed."},
        t.ui.MessageTexts());
  }
  EXPECT_EQ(1u, t.fs.reads().size());  // the photo; the disk image is far too large to read

  ProgramEnd(engine);
  EXPECT_EQ(photo, t.ReadFile(Site("photo.jpg")));
  // Even a save aimed at it on purpose is refused.
  EXPECT_FALSE(SaveProjectFile(engine, Site("photo.jpg")));
  EXPECT_EQ(photo, t.ReadFile(Site("photo.jpg")));
}

TEST_F(ProjectTest, PathThatDoesNotExistOpensAnEmptyProject) {
  engine.ProjectFile = Site("new.pgx");
  ASSERT_TRUE(OpenProject(engine));
  EXPECT_TRUE(engine.ProjectLoaded);
  EXPECT_EQ(0, engine.ProjectSettings.SettingsCount());
  EXPECT_EQ("", GetProjectPath(engine));
  EXPECT_FALSE(t.Exists(Site("new.pgx")));
}

TEST_F(ProjectTest, QuittingSavesTheTitleBox) {
  OpenSite({"PROJECTTITLE,Walks"});
  EXPECT_EQ("Walks", engine.texts.txtTitle);
  engine.texts.txtTitle = "Weekend Walks";
  ProgramEnd(engine);
  EXPECT_EQ("PROJECTPATH,./\r\nPROJECTTITLE,Weekend Walks\r\n", t.ReadFile(ProjectPath()));
  EXPECT_NE(std::string::npos, t.ReadFile(t.log.LogFilePath()).find("Program end\r\n"));
}

TEST_F(ProjectTest, SaveAsWritesTheSameKeysUnderTheNewName) {
  OpenSite({"PROJECTTITLE,Walks"});
  mnuSaveProjectAs(engine);  // no name queued: the dialog is cancelled
  EXPECT_EQ(ProjectPath(), engine.ProjectFile);
  EXPECT_TRUE(engine.ProjectLoaded);

  t.ui.QueueFileName(t.Path("copy/walks.pgx"));
  std::filesystem::create_directories(t.Path("copy"));
  mnuSaveProjectAs(engine);
  EXPECT_EQ(t.Path("copy/walks.pgx"), engine.ProjectFile);
  EXPECT_EQ(t.ReadFile(ProjectPath()), t.ReadFile(t.Path("copy/walks.pgx")));
  EXPECT_TRUE(std::filesystem::is_directory(t.Path("copy/Templates")));
  EXPECT_TRUE(std::filesystem::is_directory(t.Path("copy/Includes")));
  const FileRequest& request = t.ui.file_requests.at(1);
  EXPECT_EQ("New Pagorin Project", request.title);
  EXPECT_EQ("New Project.pgx", request.proposed_name);
}

TEST_F(ProjectTest, NewProjectIsSavedAndOpenOnlyWhenConfirmed) {
  OpenSite({"PROJECTTITLE,Walks"});
  WriteTemplate("index.template", "");
  RefreshTemplateList(engine);
  t.ui.QueueFileName(t.Path("other.pgx"));
  int asked = 0;
  mnuNewProject(engine, [&asked](const std::string&) {
    ++asked;
    return false;  // the settings dialog is cancelled
  });
  EXPECT_EQ(1, asked);
  EXPECT_EQ(ProjectPath(), engine.ProjectFile);
  EXPECT_TRUE(engine.ProjectLoaded);
  EXPECT_EQ("Walks", engine.texts.txtTitle);
  EXPECT_EQ(1, engine.ListView1.count());
  EXPECT_FALSE(t.Exists(t.Path("other.pgx")));

  std::string folder_shown;
  std::filesystem::create_directories(t.Path("new"));
  t.ui.QueueFileName(t.Path("new/new.pgx"));
  mnuNewProject(engine, [&](const std::string& folder) {
    folder_shown = folder;
    engine.ProjectSettings.sSet("ProjectPath", "./");
    return true;
  });
  EXPECT_EQ(t.Path("new/"), folder_shown);
  EXPECT_TRUE(engine.ProjectLoaded);
  EXPECT_EQ("CHARSET,utf-8\r\nPROJECTPATH,./\r\nPROJECTTITLE,New Project\r\n",
            t.ReadFile(t.Path("new/new.pgx")));
  EXPECT_TRUE(std::filesystem::is_directory(t.Path("new/Templates")));
}

TEST_F(ProjectTest, OpeningAFileThatIsNoProjectKeepsTheOpenOne) {
  OpenSite({"PROJECTTITLE,Walks"});
  t.WriteFile(t.Path("notes.txt"), "just notes\r\n");
  t.ui.QueueFileName(t.Path("notes.txt"));
  mnuOpenProject(engine);
  EXPECT_EQ(ProjectPath(), engine.ProjectFile);
  EXPECT_EQ("Walks", engine.texts.txtTitle);
  EXPECT_EQ("just notes\r\n", t.ReadFile(t.Path("notes.txt")));
}

TEST_F(ProjectTest, SettingsAreSavedWhetherConfirmedOrNot) {
  OpenSite();
  mnuSettings(engine, [&](const std::string&) {
    engine.ProjectSettings.sSet("WEBSITEURL", "https://walkers.example/");
    return false;
  });
  EXPECT_EQ("PROJECTPATH,./\r\nWEBSITEURL,https://walkers.example/\r\n", t.ReadFile(ProjectPath()));
}

}  // namespace
}  // namespace pagorin::testing
