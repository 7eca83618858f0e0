// Version includes written from release files before a build, and the
// dialog that edits their list and template.
#include "app/version_includes.h"

#include <gtest/gtest.h>

#include "app/build_driver.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

constexpr const char* kTemplate =
    "$FILE|$APPMAJOR|$APPMINOR|$APPREVISION|$DATE|$DAY/$MONTH/$YEAR|$URL|$DETAILS";

class VersionIncludesTest : public SiteTest {
 protected:
  void SetUp() override {
    OpenSite({"DOVERSIONSFIRST,1"});
    t.WriteFile(Site("Template.txt"), kTemplate);
    Release("2.3.1\r\nhttps://dl.example/tool\r\n-@@@.zip\r\n", "Fixes.\r\nFaster.\r\n");
    List("ver.inc, Template.txt, rel/current.txt, False\r\n");
  }

  void List(const std::string& text) const { t.WriteFile(Site("IniFiles.txt"), text); }
  void Release(const std::string& current, const std::string& details) const {
    t.WriteFile(Site("rel/current.txt"), current);
    t.Touch(Site("rel/current.txt"), FromLocal({2024, 3, 7, 9, 0, 0}));
    t.WriteFile(Site("rel/details.txt"), details);
  }
};

TEST_F(VersionIncludesTest, ReleaseFileFillsTheTemplate) {
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_EQ(
      "2.3.1|2|3|1|Mar 07, 2024|07/03/2024|https://dl.example/tool-231.zip|Fixes.\r\nFaster.\r\n",
      Include("ver.inc"));
  EXPECT_EQ(std::vector<std::string>{"Wrote ver.inc"}, Captions());
}

TEST_F(VersionIncludesTest, ChecksumLineStaysOutOfTheAddress) {
  Release("2.3.1\r\nhttps://dl.example/tool-@@@.zip\r\nsha256: " + std::string(64, 'A') + "\r\n",
          "");
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_EQ("2.3.1|2|3|1|Mar 07, 2024|07/03/2024|https://dl.example/tool-231.zip|",
            Include("ver.inc"));
}

TEST_F(VersionIncludesTest, FlagTurnsLineBreaksIntoBrTags) {
  List("ver.inc,Template.txt," + Site("rel/current.txt") + ",True\r\n");
  t.WriteFile(Site("Template.txt"), "v$FILE\r\n$DETAILS");
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_EQ("v2.3.1<BR>Fixes.<BR>Faster.<BR>", Include("ver.inc"));
}

TEST_F(VersionIncludesTest, UpToDateIncludeIsLeftAlone) {
  ASSERT_TRUE(WriteVersionIncludes(engine));
  WriteInclude("ver.inc", "edited by hand");
  t.Touch(Site("Includes/ver.inc"), FromLocal({2024, 3, 7, 10, 0, 0}));
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_EQ("edited by hand", Include("ver.inc"));

  t.Touch(Site("rel/current.txt"), FromLocal({2024, 3, 7, 11, 0, 0}));
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_EQ('2', Include("ver.inc")[0]);
}

TEST_F(VersionIncludesTest, TwoPartVersionWithoutAddress) {
  Release("2.3", "");
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_EQ("2.3|2|3|0|Mar 07, 2024|07/03/2024|$URL|", Include("ver.inc"));
}

TEST_F(VersionIncludesTest, LinesThatAreSkipped) {
  t.WriteFile(Site("Plain.txt"), "no variables");
  List(
      "no comma here\r\n"
      "\r\n"
      "plain.inc,Plain.txt,rel/current.txt,False\r\n"
      "missing.inc,Template.txt,rel/nothing.txt,0\r\n"
      "ver.inc,Template.txt,rel/current.txt,1");
  ASSERT_TRUE(WriteVersionIncludes(engine));
  EXPECT_FALSE(t.Exists(Site("Includes/plain.inc")));
  EXPECT_FALSE(t.Exists(Site("Includes/missing.inc")));
  EXPECT_EQ((std::vector<std::string>{"File missing", "Wrote ver.inc"}), Captions());
}

TEST_F(VersionIncludesTest, BadLinesAndReleasesEndTheBuildNamingTheFile) {
  const std::string list = Site("IniFiles.txt");
  const std::string fix = " Please fix and re-run.";
  const std::string fields =
      " fields; a line needs four, separated by commas: the include, "
      "the template, the release file, and True or False.";
  struct Case {
    const char* line;
    const char* release;
    std::string message;
    const char* error;
  };
  const Case cases[] = {
      {"ver.inc,Template.txt,rel/current.txt", "2.3", "Line 1 of " + list + " has 3" + fields,
       "Subscript out of range(9)"},
      {"x.inc,Template.txt,rel/current.txt,True\r\nver.inc,Template.txt", "2.3",
       "Line 2 of " + list + " has 2" + fields, "Subscript out of range(9)"},
      {"ver.inc,Template.txt,rel/current.txt,maybe", "2.3",
       "Line 1 of " + list + " ends in \"maybe\", which is not True, False or a number.",
       "Type mismatch(13)"},
      {"ver.inc,Template.txt,rel/current.txt,False", "7\r\nhttps://dl.example/x",
       "The release file " + Site("rel/current.txt") +
           " gives the version \"7\", which has no dot; a version reads major.minor or "
           "major.minor.revision, such as 2.3.1.",
       "Subscript out of range(9)"},
  };
  WriteTemplate("index.template", "page");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    t.ui.messages.clear();
    t.fs.Remove(Site("Includes/x.inc"));
    Release(c.release, "");
    List(c.line);
    EXPECT_FALSE(BuildAll());
    EXPECT_FALSE(PageExists("index.html"));
    EXPECT_EQ(std::vector<std::string>{c.message + fix}, t.ui.MessageTexts());
    const std::string ring = Ring();
    const std::string record =
        std::string(c.error) + " in WriteVersionIncludes of module frmMain\n";
    ASSERT_GE(ring.size(), record.size());
    EXPECT_EQ(record, ring.substr(ring.size() - record.size()));
    EXPECT_NE(std::string::npos, t.ReadFile(t.log.LogFilePath()).find(c.message + "\r\n"));
  }
}

TEST_F(VersionIncludesTest, IncludeThatCannotBeWrittenEndsTheBuildAndKeepsTheOldOne) {
  WriteInclude("ver.inc", "old");
  t.Touch(Site("Includes/ver.inc"), FromLocal({2024, 3, 1, 9, 0, 0}));
  WriteTemplate("index.template", "page");
  t.fs.FailNth(FaultyFileSystem::Op::kWrite, 1, FsError::kDiskFull, /*persistent=*/true);
  EXPECT_FALSE(BuildAll());
  EXPECT_EQ("old", Include("ver.inc"));
  EXPECT_EQ(std::vector<std::string>{"The version include " + Site("Includes/ver.inc") +
                                     " cannot be written. Please fix and re-run."},
            t.ui.MessageTexts());
  EXPECT_EQ(std::vector<std::string>{"ver.inc"}, t.List(Site("Includes")));
}

TEST_F(VersionIncludesTest, DialogLoadsAndStoresTheListAndTemplate) {
  VersionIncludeDialogTexts texts = LoadVersionIncludeDialog(engine);
  EXPECT_EQ(Site("IniFiles.txt"), texts.txtIniFile);
  EXPECT_EQ("ver.inc, Template.txt, rel/current.txt, False\r\n", texts.txtSources);
  EXPECT_EQ(kTemplate, texts.txtTemplate);

  texts.txtIniFile = Site("other.txt");
  texts.txtSources = "x.inc,Template.txt,rel/current.txt,False";
  texts.txtTemplate = "$FILE";
  StoreVersionIncludeDialog(engine, texts);
  EXPECT_EQ(Site("other.txt"), engine.ProjectSettings.sGet("IniListFilename").Text());
  EXPECT_EQ("$FILE", t.ReadFile(Site("Template.txt")));
  EXPECT_EQ("x.inc,Template.txt,rel/current.txt,False", t.ReadFile(Site("other.txt")));

  t.WriteFile(Site("other.txt"), "changed");
  RefreshVersionIncludeSources(engine, texts);
  EXPECT_EQ("changed", texts.txtSources);
}

}  // namespace
}  // namespace pagorin::testing
