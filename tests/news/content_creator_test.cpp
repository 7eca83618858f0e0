// The Content Creator's Generate, Exit and tag picker, and items read back
// by the lists exactly as they were written.
#include "news/content_creator.h"

#include <gtest/gtest.h>

#include "app/project.h"
#include "news/news_tags.h"
#include "news_fixture.h"
#include "shared/settings.h"

namespace pagorin::testing {
namespace {

class ContentCreator : public NewsSiteTest {
 protected:
  ContentCreator() {
    WriteTemplate(
        "news0000.template",
        "<html>[include=header_news0000.inc][include=content_news0000.inc]#$NewsNum$</html>");
    WriteInclude("content_news0000.inc",
                 "<h1>$NewsTitle$</h1>$NewsDate$\r\n$NewsStory$\r\n$NewsTags$");
    WriteInclude("header_news0000.inc", "<title>$NewsBareTitle$</title>$NewsBareStory$");
  }

  std::string Key(const std::string& name) { return project().RetrieveSetting(name).Text(); }
  std::vector<std::string> SiteFiles() const {
    std::vector<std::string> files = t.List(Site("Templates"));
    for (const std::string& name : t.List(Site("Includes"))) {
      files.push_back(name);
    }
    return files;
  }
};

TEST_F(ContentCreator, FirstItemOfAProjectIsWrittenAndReadBack) {
  ContentCreatorFields fields = OpenContentCreator(engine);
  EXPECT_EQ("1", fields.txtNumber);
  EXPECT_EQ("news", fields.txtPrefix);
  EXPECT_EQ("news0000.template", fields.txtSourceTemplate);
  EXPECT_EQ("2:35pm, March 7 2024", fields.txtDate);
  fields.txtTitle = "Say \"hi\" $NewsBareStory$";
  fields.txtStory = "One <b>two</b><br>three";
  fields.txtTags = "a, b,,a";

  EXPECT_EQ(GenerateOutcome::kGenerated, GenerateNewsItem(engine, fields));
  EXPECT_EQ("<html>[include=header_news0001.inc][include=content_news0001.inc]#1</html>",
            Template("news0001.template"));
  EXPECT_EQ(
      "<h1><!-- title -->Say 'hi' One <b>two</b><br>three<!-- end title --></h1><!-- date "
      "-->2:35pm, March "
      "7 2024<!-- end date -->\r\n<!-- story -->One <b>two</b><br>three<!-- end story --><!-- "
      "num=1-->\r\n<!-- tags -->a, b,,a<!-- end tags -->",
      Include("content_news0001.inc"));
  EXPECT_EQ("<title>Say 'hi' One <b>two</b><br>three</title>One <b>two</b><br>three",
            Include("header_news0001.inc"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ(Site("Templates/news0001.template") + " generated", t.ui.messages[0].text);
  EXPECT_EQ(Buttons::kOk, t.ui.messages[0].buttons);
  EXPECT_EQ("1", fields.txtNumber);
  EXPECT_EQ("", fields.txtTitle + fields.txtStory + fields.txtTags);

  EXPECT_EQ("1", Key("NewsNumber"));
  EXPECT_EQ("news", Key("NewsPrefix"));
  EXPECT_EQ("news0000.template", Key("NewsSourceTemplate"));
  EXPECT_EQ(".html", Key("Ext_news0001"));
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), PickableTags(project()));
  EXPECT_NE(std::string::npos, t.ReadFile(Site("site.pgx")).find("\r\nNEWSNUMBER,1\r\n"));

  t.WriteFile(Site("Complete_Newslist.txt"), "<ul>$inner$</ul>");
  t.WriteFile(Site("Newslist_Item.txt"),
              "<li>$NewsNum$ $NewsLink$ $NewsTitle$|$NewsDate$|$NewsSummary$|$NewsTags$</li>");
  ContentCreatorClosed(engine);
  EXPECT_EQ(
      "<ul><li>0001 news0001.html Say 'hi' One <b>two</b><br>three| March 7 2024|One two three "
      "[...]|a, b,,a</li></ul>",
      Include("complete_newslist.inc"));
  EXPECT_EQ("", Ring());
}

TEST_F(ContentCreator, NumberMovesPastExistingItemsAndKeepsTheSourceExtension) {
  for (const char* name :
       {"content_news0001.inc", "content_news0002.inc", "content_news0003.inc"}) {
    t.WriteFile(Site(std::string("Includes/") + name), "taken");
  }
  WriteTemplate("news0005.template", "only the first include decides");
  project().StoreSetting("Ext_news0000", ".php");
  ContentCreatorFields fields = OpenContentCreator(engine);
  fields.txtTitle = "Fourth";
  EXPECT_EQ(GenerateOutcome::kGenerated, GenerateNewsItem(engine, fields));
  EXPECT_EQ("4", fields.txtNumber);
  EXPECT_EQ("4", Key("NewsNumber"));
  EXPECT_EQ(".php", Key("Ext_news0004"));
  EXPECT_EQ(Site("Templates/news0004.template") + " generated", t.ui.messages.at(0).text);
}

TEST_F(ContentCreator, UnusableFieldsAreRefusedAndNothingChanges) {
  struct Case {
    std::string ContentCreatorFields::*field;
    const char* value;
    const char* message;
  };
  const Case cases[] = {
      {&ContentCreatorFields::txtNumber, "abc",
       "The current number \"abc\" is not a whole number from 1 up. No news item was generated."},
      {&ContentCreatorFields::txtNumber, "0",
       "The current number \"0\" is not a whole number from 1 up. No news item was generated."},
      {&ContentCreatorFields::txtSourceInclude, "",
       "The first include name is empty; it must contain 0000, which will be replaced with the "
       "actual number. No news item was generated."},
      {&ContentCreatorFields::txtSourceInclude2, "header.inc",
       "The second include name \"header.inc\" must contain 0000, which will be replaced with the "
       "actual number. No news item was generated."},
      {&ContentCreatorFields::txtPrefix, "../news",
       "The template prefix \"../news\" leads out of its folder; use a plain file name there. No "
       "news item was generated."},
      {&ContentCreatorFields::txtSourceTemplate, "/etc/news0000.template",
       "The source template \"/etc/news0000.template\" leads out of its folder; use a plain file "
       "name there. No news item was generated."},
      {&ContentCreatorFields::txtSourceInclude, "..\\..\\content_news0000.inc",
       "The first include name \"..\\..\\content_news0000.inc\" leads out of its folder; use a "
       "plain file name there. No news item was generated."},
  };
  const std::vector<cSHAREDSetting> entries_before = project().entries();
  const std::vector<std::string> files_before = SiteFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    t.ui.messages.clear();
    ContentCreatorFields fields = OpenContentCreator(engine);
    fields.txtTitle = "\"Quoted\"";
    fields.txtTags = "tag";
    fields.*c.field = c.value;
    EXPECT_EQ(GenerateOutcome::kRefused, GenerateNewsItem(engine, fields));
    ASSERT_EQ(1u, t.ui.messages.size());
    EXPECT_EQ(c.message, t.ui.messages[0].text);
    EXPECT_EQ("\"Quoted\"", fields.txtTitle);
    EXPECT_EQ(entries_before.size(), project().entries().size());
    EXPECT_EQ(files_before, SiteFiles());
  }
  EXPECT_FALSE(t.Exists(Site("site.pgx")));
}

// A full disk at any of the three files leaves none of them, so no build
// publishes half an item.
TEST_F(ContentCreator, ItemIsWrittenWholeOrNotAtAll) {
  const std::vector<std::string> files_before = SiteFiles();
  using Op = FaultyFileSystem::Op;
  const std::string page = Site("Templates/news0001.template");
  const std::string content = Site("Includes/content_news0001.inc");
  const std::string header = Site("Includes/header_news0001.inc");
  // The files take their names includes first, the page template last.
  const struct {
    Op op;
    int nth;
    std::string failed;
  } faults[] = {{Op::kOpen, 1, page},      {Op::kOpen, 2, content},  {Op::kOpen, 3, header},
                {Op::kWrite, 1, page},     {Op::kWrite, 2, content}, {Op::kWrite, 3, header},
                {Op::kRename, 1, content}, {Op::kRename, 2, header}, {Op::kRename, 3, page}};
  for (const auto& [op, nth, failed] : faults) {
    SCOPED_TRACE(nth);
    t.ui.messages.clear();
    ContentCreatorFields fields = OpenContentCreator(engine);
    fields.txtTitle = "Title";
    t.fs.FailNth(op, nth, FsError::kDiskFull);
    EXPECT_EQ(GenerateOutcome::kIncomplete, GenerateNewsItem(engine, fields));
    t.fs.Heal();
    EXPECT_EQ(files_before, SiteFiles());
    EXPECT_EQ(std::vector<std::string>{"Could not write " + failed +
                                       ", so news item 1 was not generated and no file of it "
                                       "was left. Check the folder and press Generate again."},
              t.ui.MessageTexts());
    EXPECT_EQ("Title", fields.txtTitle);
    EXPECT_EQ("", Key("Ext_news0001"));
  }
}

TEST_F(ContentCreator, ExitStoresTheThirteenDefaultListsInEachSet) {
  ContentCreatorFields fields = OpenContentCreator(engine);
  ExitContentCreator(engine, fields);
  for (const char* set : {"GEN_INCFILE", "GEN_OUTER", "GEN_INNER", "GEN_TAGS", "GEN_COUNT"}) {
    EXPECT_EQ(13, project().SetCount(set)) << set;
  }
  EXPECT_EQ("-1", Key("GEN_COUNT_1"));
  EXPECT_EQ("rssfile.inc", Key("GEN_INCFILE_4"));
  EXPECT_EQ("Vorn", Key("GEN_TAGS_13"));
  EXPECT_EQ(DefaultNewsLists(), StoredNewsLists(project()));
}

TEST_F(ContentCreator, TagPickerOffersEveryTagUsedAndJoinsTheChosenOnes) {
  for (const char* tag : {"x", "", "y"}) {
    project().AddToSet("TAGS", tag);
  }
  EXPECT_EQ((std::vector<std::string>{"x", "y"}), PickableTags(project()));
  EXPECT_EQ("", JoinPickedTags({}));
  EXPECT_EQ("Vorn 1, Appearance", JoinPickedTags({"Vorn 1", "Appearance"}));
  EXPECT_EQ("a, b", AddPickedTags("", "a, b"));
  EXPECT_EQ("x, y", AddPickedTags("x", "y"));
  EXPECT_EQ("x, ", AddPickedTags("x", ""));
}

}  // namespace
}  // namespace pagorin::testing
