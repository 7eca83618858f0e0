// The project settings dialog's fields: what it shows, what OK stores, and
// what a change of site folder does to the other keys.
#include "app/project_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/engine.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

class ProjectSettingsTest : public SiteTest {};

struct ExtensionCase {
  const char* stored_line;  // nullptr: no Extension key
  ProjectSettingsFields::Extension shown;
  const char* other_text;
};

TEST_F(ProjectSettingsTest, ExtensionKeyChoosesTheOptionButton) {
  const ExtensionCase cases[] = {
      {nullptr, ProjectSettingsFields::Extension::kHtml, ".php"},
      {"EXTENSION,.html", ProjectSettingsFields::Extension::kHtml, ".php"},
      {"EXTENSION,.htm", ProjectSettingsFields::Extension::kHtm, ".php"},
      {"EXTENSION,.HTM", ProjectSettingsFields::Extension::kOther, ".HTM"},
      {"EXTENSION,.shtml", ProjectSettingsFields::Extension::kOther, ".shtml"},
  };
  for (const ExtensionCase& c : cases) {
    SCOPED_TRACE(c.stored_line == nullptr ? "absent" : c.stored_line);
    OpenSite(c.stored_line == nullptr ? std::vector<std::string>{}
                                      : std::vector<std::string>{c.stored_line});
    const ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
    EXPECT_EQ(fields.extension, c.shown);
    EXPECT_EQ(fields.txtOtherExt, c.other_text);
  }
}

TEST_F(ProjectSettingsTest, EmptyWebAddressStaysEmptyAndUncheckedBoxStoresZero) {
  OpenSite({"DOVERSIONSFIRST,1", "WEBSITEURL,https://old.example/"});
  ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
  fields.txtWebUrl = "";
  fields.chkDoVersionFiles = false;
  fields.extension = ProjectSettingsFields::Extension::kHtm;
  SaveToProject(engine, fields);
  EXPECT_EQ(engine.ProjectSettings.sGet("WEBSITEURL").Text(), "");
  EXPECT_EQ(engine.ProjectSettings.sGet("DOVERSIONSFIRST").Text(), "0");
  EXPECT_EQ(engine.ProjectSettings.sGet("EXTENSION").Text(), ".htm");
}

// Full builds without a check stay the default that no key records; once
// chosen, a key stays, holding its "off" value when unticked again.
TEST_F(ProjectSettingsTest, ChangedOnlyAndCheckAfterBuildKeysAreStoredOnceChosen) {
  struct Case {
    std::string key;
    bool ProjectSettingsFields::*field;
    std::vector<std::string> stored;
    bool shown;
    bool ticked;
    std::string value;  // the key after OK; "-" when absent
  };
  const Case cases[] = {
      {"CHANGEDONLY", &ProjectSettingsFields::chkChangedOnly, {}, false, false, "-"},
      {"CHANGEDONLY", &ProjectSettingsFields::chkChangedOnly, {}, false, true, "1"},
      {"CHANGEDONLY", &ProjectSettingsFields::chkChangedOnly, {"CHANGEDONLY,1"}, true, false, "0"},
      {"CHANGEDONLY", &ProjectSettingsFields::chkChangedOnly, {"CHANGEDONLY,0"}, false, false, "0"},
      {"CHECKAFTERBUILD", &ProjectSettingsFields::chkCheckAfterBuild, {}, false, false, "-"},
      {"CHECKAFTERBUILD", &ProjectSettingsFields::chkCheckAfterBuild, {}, false, true, "True"},
      {"CHECKAFTERBUILD",
       &ProjectSettingsFields::chkCheckAfterBuild,
       {"CHECKAFTERBUILD,True"},
       true,
       false,
       "False"},
      {"CHECKAFTERBUILD",
       &ProjectSettingsFields::chkCheckAfterBuild,
       {"CHECKAFTERBUILD,False"},
       false,
       false,
       "False"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " " + ::testing::PrintToString(c.stored) + (c.ticked ? " ticked" : ""));
    OpenSite(c.stored);
    ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
    EXPECT_EQ(c.shown, fields.*c.field);
    fields.*c.field = c.ticked;
    SaveToProject(engine, fields);
    EXPECT_EQ(c.value, engine.ProjectSettings.SettingPresent(c.key) > 0
                           ? engine.ProjectSettings.sGet(c.key).Text()
                           : "-");
  }
}

TEST_F(ProjectSettingsTest, TheSameFolderWrittenAnotherWayKeepsTheStoredValue) {
  for (const std::string& typed : {Site(), Site().substr(0, Site().size() - 1), Site() + "./"}) {
    SCOPED_TRACE(typed);
    OpenSite({"EXT_INDEX,.php"});
    ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
    fields.txtProjectPath = typed;
    SaveToProject(engine, fields);
    EXPECT_EQ(engine.ProjectSettings.sGet("ProjectPath").Text(), "./");
    EXPECT_EQ(engine.ProjectSettings.sGet("Ext_index").Text(), ".php");
  }
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(ProjectSettingsTest, NewFolderAsksAndKeepsTheFolderKeysUnlessToldToRemoveThem) {
  const std::string question =
      "The site folder becomes /srv/walkers/.\r\n\r\nThis project holds settings made for the "
      "templates and files of its previous folder: per-template extensions, the version include "
      "list and the news settings.\r\n\r\nDo you want to remove them? Choose No to keep them.";
  const std::vector<std::string> project = {
      "EXT_INDEX,.php",    "FTPLOGINNAME,anna", "GEN_COUNT_1,-1",
      "GEN_COUNT_INDEX,1", "NEWSNUMBER,7",      "PROJECTTITLE,Walkers",
      "TAGS_1,walks",      "TAGS_INDEX,1",      "INILISTFILENAME,/old/IniFiles.txt"};

  OpenSite(project);
  ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
  fields.txtProjectPath = " /srv/walkers ";
  SaveToProject(engine, fields);  // no answer queued: the safe answer No keeps them
  ASSERT_EQ(t.ui.MessageTexts(), std::vector<std::string>{question});
  EXPECT_EQ(t.ui.messages[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(engine.ProjectSettings.sGet("ProjectPath").Text(), "/srv/walkers/");
  EXPECT_EQ(engine.ProjectSettings.sGet("Ext_index").Text(), ".php");
  EXPECT_EQ(engine.ProjectSettings.SetCount("TAGS"), 1);

  OpenSite(project);
  t.ui.QueueAnswer(Answer::kYes);
  SaveToProject(engine, fields);
  EXPECT_EQ(SettingKeys(engine.ProjectSettings),
            (std::vector<std::string>{"BASEURL=", "DOVERSIONSFIRST=0", "EXTENSION=.html",
                                      "FTPLOGINNAME=anna",
                                      "FTPPASSWORD=", "FTPPATH=", "PROJECTPATH=/srv/walkers/",
                                      "PROJECTTITLE=Walkers", "WEBSITEURL="}));
}

TEST_F(ProjectSettingsTest, NewProjectStoresItsFolderWithoutAsking) {
  engine.ProjectFile = t.Path("fresh/Fresh.pgx");
  ProjectSettingsFields fields = LoadProjectSettingsFields(engine);
  EXPECT_EQ(fields.txtProjectPath, t.Path("fresh/"));
  SaveToProject(engine, fields);
  EXPECT_EQ(engine.ProjectSettings.sGet("ProjectPath").Text(), t.Path("fresh/"));
  EXPECT_TRUE(t.ui.messages.empty());
}

}  // namespace
}  // namespace pagorin::testing
