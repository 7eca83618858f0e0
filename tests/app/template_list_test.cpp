// The template list: what it lists and keeps selected, and the commands on
// its selection.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/project.h"
#include "app/template_commands.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class TemplateListTest : public SiteTest {
 protected:
  void SetUp() override {
    WriteTemplate("index.template", "home");
    WriteTemplate("About.htm", "about");
    WriteTemplate("notes.txt", "not a template");
    WriteTemplate("my.page.template", "mine");
    t.WriteFile(Site("style.css"), "body{}");
    OpenSite({"EXT_ABOUT,.php"});
  }

  std::vector<std::string> Tags() const {
    std::vector<std::string> tags;
    for (const TemplateEntry& entry : engine.ListView1.entries()) {
      tags.push_back(entry.text + "|" + entry.tag);
    }
    return tags;
  }
};

TEST_F(TemplateListTest, ListsTemplatesSortedIgnoringCase) {
  EXPECT_EQ((std::vector<std::string>{"About|About.htm", "index|index.template",
                                      "my.page|my.page.template"}),
            Tags());
  EXPECT_EQ(0, engine.ListView1.FirstSelected());
  EXPECT_EQ(std::vector<std::string>{"style.css"}, engine.css_files);
  EXPECT_TRUE(engine.controls.go_all);
  EXPECT_TRUE(engine.controls.set_ext);
}

TEST_F(TemplateListTest, RefillKeepsTheSelectedPosition) {
  engine.texts.txtExt = ".php";
  engine.ListView1.SelectOnly(2);
  FillList(engine);
  EXPECT_EQ(std::vector<int>{2}, engine.ListView1.SelectedPositions());
  EXPECT_EQ(".html", engine.texts.txtExt) << "the selected template's, shown again";

  std::filesystem::remove(Site("Templates/my.page.template"));
  FillList(engine);
  EXPECT_EQ(std::vector<int>{0}, engine.ListView1.SelectedPositions());
}

TEST_F(TemplateListTest, EmptyFolderDisablesTheBuildButtons) {
  engine.controls.upload_all = true;
  std::filesystem::remove_all(Site("Templates"));
  FillList(engine);
  EXPECT_TRUE(engine.ListView1.empty());
  EXPECT_EQ(MainControls{.project_menus = true}, engine.controls);
}

TEST_F(TemplateListTest, SetAndClearWriteTheExtensionKeys) {
  engine.ListView1.SetSelected(0, true);
  engine.ListView1.SetSelected(1, true);
  engine.texts.txtExt = " .asp ";
  cmdSetExt(engine);
  EXPECT_EQ("EXT_ABOUT,.asp\r\nEXT_INDEX,.asp\r\nPROJECTPATH,./\r\nPROJECTTITLE,Project Title\r\n",
            t.ReadFile(ProjectPath()));
  engine.ListView1.SelectOnly(1);
  cmdClearExt(engine);
  EXPECT_EQ("EXT_ABOUT,.asp\r\nPROJECTPATH,./\r\nPROJECTTITLE,Project Title\r\n",
            t.ReadFile(ProjectPath()));
}

TEST_F(TemplateListTest, AddNewNeverEmptiesAFileWithoutConsent) {
  t.ui.QueueFileName(Site("Templates/index.template"));
  mnuNewTemplate(engine);  // the question gets its safe answer, No
  EXPECT_EQ("home", Template("index.template"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ("index.template already exists. Do you want to replace it with an empty template?",
            t.ui.messages[0].text);
  EXPECT_EQ(Buttons::kYesNo, t.ui.messages[0].buttons);

  t.ui.QueueFileName(Site("Templates/index.template"));
  t.ui.QueueAnswer(Answer::kYes);
  mnuNewTemplate(engine);
  EXPECT_EQ("", Template("index.template"));

  t.ui.QueueFileName(Site("Templates/New.template"));
  mnuNewTemplate(engine);
  EXPECT_EQ(4, engine.ListView1.count());
  const FileRequest& request = t.ui.file_requests.back();
  EXPECT_EQ("Specify your template file", request.title);
  EXPECT_EQ(Site("Templates/"), request.start_folder);
  EXPECT_EQ("New.template", request.proposed_name);
}

TEST_F(TemplateListTest, CopyKeepsTheOutputExtensionAndNeverCopiesOntoItself) {
  engine.ListView1.SelectOnly(1);
  t.ui.QueueFileName(Site("Templates/index.template"));
  mnuCopyTemplate(engine);
  EXPECT_EQ("home", Template("index.template"));
  EXPECT_EQ(std::vector<std::string>{"index.template cannot be copied onto itself. Please "
                                     "choose another name."},
            t.ui.MessageTexts());

  engine.ListView1.SelectOnly(0);  // About, Ext_About .php
  t.ui.QueueFileName(Site("Templates/news.template"));
  mnuCopyTemplate(engine);
  EXPECT_EQ("about", Template("news.template"));
  EXPECT_EQ(".php", engine.ProjectSettings.sGet("Ext_news").Text());
  EXPECT_EQ(4, engine.ListView1.count());
  EXPECT_EQ("Enter the new template filename", t.ui.file_requests.back().title);
  EXPECT_TRUE(t.ui.file_requests.back().confirm_overwrite);
}

}  // namespace
}  // namespace pagorin::testing
