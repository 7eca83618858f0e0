// The build run: order, selection, the early end, progress texts, the
// button timer and the preview.
#include "app/build_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/auto_run.h"
#include "app/build_run.h"
#include "app/command_line.h"
#include "app/project.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class BuildDriverTest : public SiteTest {
 protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      WriteTemplate(std::string(name) + ".template", std::string("page ") + name);
    }
    OpenSite({"WEBSITEURL,https://walkers.example/"});
  }
};

TEST_F(BuildDriverTest, AllBuildsEveryTemplateInListOrder) {
  engine.Timer3Enabled = true;
  BuildRun run(engine);
  ASSERT_TRUE(BuildPages(run, /*selected_only=*/false));
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    EXPECT_EQ(std::string("page ") + name, Page(std::string(name) + ".html"));
  }
  EXPECT_FALSE(engine.Timer3Enabled);
  EXPECT_TRUE(engine.Timer1Enabled);
  EXPECT_EQ("https://walkers.example/", run.CurrentSiteURL);
  EXPECT_EQ(Site("e.html"), run.CurrentPageFile);
  // The bar is full at the end and no completion text is shown.
  ASSERT_FALSE(t.ui.main_status.empty());
  EXPECT_EQ(1.0, t.ui.main_status.back().fraction);
  EXPECT_EQ("100%", t.ui.main_status.back().caption);
  EXPECT_EQ((std::vector<bool>{false, true}), t.ui.controls_enabled);
  EXPECT_EQ((std::vector<Pointer>{Pointer::kBusy, Pointer::kNormal}), t.ui.pointers);
}

TEST_F(BuildDriverTest, SelectedBuildsOnlyTheSelectedOnesAndAllEveryNewOne) {
  Select({"b.template", "d.template"});
  WriteTemplate("f.template", "page f");
  BuildRun run(engine);
  ASSERT_TRUE(BuildPages(run, /*selected_only=*/true));
  EXPECT_FALSE(PageExists("a.html"));
  EXPECT_EQ("page b", Page("b.html"));
  EXPECT_FALSE(PageExists("c.html"));
  EXPECT_EQ("page d", Page("d.html"));
  EXPECT_FALSE(PageExists("f.html"));
  EXPECT_EQ(Site("d.html"), run.CurrentPageFile);
  const std::vector<std::string> captions = Captions();
  ASSERT_GE(captions.size(), 2u);
  EXPECT_EQ("Building Selected", captions.front());
  EXPECT_EQ("Selected item(s) compiled", captions.back());

  ASSERT_TRUE(BuildAll());
  EXPECT_EQ("page f", Page("f.html"));
}

TEST_F(BuildDriverTest, SelectedWithNothingSelectedStillRunsTheVersionIncludes) {
  t.WriteFile(Site("IniFiles.txt"), "ver.inc,Template.txt,current.txt,False\r\n");
  t.WriteFile(Site("Template.txt"), "v$FILE");
  t.WriteFile(Site("current.txt"), "2.1");
  OpenSite({"DOVERSIONSFIRST,1"});
  engine.ListView1.ClearSelection();
  ASSERT_TRUE(BuildPages(engine, /*selected_only=*/true));
  EXPECT_EQ("v2.1", Include("ver.inc"));
  EXPECT_FALSE(PageExists("a.html"));
  EXPECT_EQ("Selected item(s) compiled", Captions().back());
}

TEST_F(BuildDriverTest, FailureEndsTheRunAtTheFailingPage) {
  WriteTemplate("c.template", "page c [include=gone.inc] rest");
  Select({"a.template", "b.template", "c.template", "d.template", "e.template"});
  EXPECT_FALSE(BuildPages(engine, /*selected_only=*/true));
  EXPECT_EQ("page a", Page("a.html"));
  EXPECT_EQ("page b", Page("b.html"));
  EXPECT_EQ("page c ", Page("c.html"));
  EXPECT_FALSE(PageExists("d.html"));
  EXPECT_FALSE(PageExists("e.html"));
  EXPECT_EQ((std::vector<bool>{false, true}), t.ui.controls_enabled);
  EXPECT_EQ(Pointer::kNormal, t.ui.pointers.back());
  EXPECT_TRUE(engine.Timer1Enabled);
  // The missing include's text stays on the strip; no completion text.
  EXPECT_EQ((std::vector<std::string>{"Building Selected", "gone.inc not found in c.template"}),
            Captions());
}

TEST_F(BuildDriverTest, TimerFollowsTheListAndItsSelection) {
  Timer1Tick(engine);
  MainControls expected = engine.controls;
  expected.go_all = expected.upload_all = true;
  expected.go_selected = expected.upload_selected = expected.preview = true;
  EXPECT_EQ(expected, engine.controls);

  engine.ListView1.ClearSelection();
  Timer1Tick(engine);
  expected.go_selected = expected.upload_selected = expected.preview = false;
  EXPECT_EQ(expected, engine.controls);

  engine.ListView1.Clear();
  Timer1Tick(engine);
  expected.go_all = expected.upload_all = false;
  EXPECT_EQ(expected, engine.controls);
}

TEST_F(BuildDriverTest, PreviewOpensThePageOrBuildsTheSelectionAndOpensTheLast) {
  engine.ListView1.ClearSelection();
  EXPECT_FALSE(cmdPreview(engine));
  EXPECT_EQ(std::vector<std::string>{"Please select a file"}, Captions());
  EXPECT_TRUE(t.ui.opened_documents.empty());

  t.WriteFile(Site("a.html"), "built before");
  engine.ListView1.SelectOnly(0);
  EXPECT_TRUE(cmdPreview(engine));
  EXPECT_EQ("built before", Page("a.html"));
  EXPECT_EQ((std::vector<std::string>{"Please select a file", "Opening in browser", " "}),
            Captions());

  Select({"b.template", "d.template"});
  EXPECT_TRUE(cmdPreview(engine));
  EXPECT_EQ("page b", Page("b.html"));
  EXPECT_EQ("page d", Page("d.html"));
  EXPECT_EQ((std::vector<std::string>{Site("a.html"), Site("d.html")}), t.ui.opened_documents);
}

TEST_F(BuildDriverTest, PageNameThatLeadsOutOfTheSiteFolderEndsTheRunThere) {
  engine.ProjectSettings.sSet("Ext_c", "/../../outside.html");
  EXPECT_FALSE(BuildPages(engine, false));
  EXPECT_EQ("page b", Page("b.html"));
  EXPECT_FALSE(PageExists("d.html"));
  EXPECT_FALSE(t.Exists(t.Path("outside.html")));
  EXPECT_EQ(std::vector<std::string>{"The page of c.template, " + Site("c/../../outside.html") +
                                     ", leads out of the site folder: check the output extension. "
                                     "Please fix and re-run."},
            t.ui.MessageTexts());
}

TEST_F(BuildDriverTest, PreviewWithNoProgramToOpenThePageSaysSoAndHowToFixIt) {
  t.ui.open_succeeds = false;
  engine.ListView1.SelectOnly(0);
  EXPECT_FALSE(cmdPreview(engine));
  EXPECT_EQ("page a", Page("a.html"));
  EXPECT_EQ(std::vector<std::string>{"The page " + Site("a.html") +
                                     " could not be opened: no program to show web pages was "
                                     "found. Install a web browser and make it the default one "
                                     "(xdg-open starts it), or open the page in your browser "
                                     "yourself."},
            t.ui.MessageTexts());
  const std::vector<std::string> captions = Captions();
  EXPECT_EQ(captions.end(), std::find(captions.begin(), captions.end(), "Opening in browser"));
}

// Unattended, a save that fails is told and makes the exit status 1 though
// every page was built.
TEST_F(BuildDriverTest, FailedSavesOfAnUnattendedRunEndItWithStatusOne) {
  t.ui.can_ask = false;
  engine.AppSettingsFile = t.Path("data/Pagorin.ini");
  t.fs.FailNth(FaultyFileSystem::Op::kSync, 1, FsError::kDiskFull, /*persistent=*/true);
  EXPECT_EQ(1, RunAutoBuild(engine, ParseCommandLine({"/AUTO", ProjectPath()}), t.Path("data")));
  EXPECT_EQ("page e", Page("e.html"));
  const std::string mount = t.fs.MountPoint(ProjectPath());
  ASSERT_FALSE(mount.empty());
  EXPECT_EQ((std::vector<std::string>{
                "You've run out of disk space on drive " + mount + ": " + t.paths.data_dir +
                    "Pagorin.ini was not saved. Please "
                    "clear some space and re-run.",
                "You've run out of disk space on drive " + mount + ": " + ProjectPath() +
                    " was not saved. Please clear some space and re-run."}),
            t.ui.MessageTexts());
  t.fs.Heal();
  EXPECT_EQ(0, RunAutoBuild(engine, ParseCommandLine({"/AUTO", ProjectPath()}), t.Path("data")));
}

}  // namespace
}  // namespace pagorin::testing
