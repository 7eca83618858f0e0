// The keyword suggester, writing the keywords META tag, ShowDesc and the
// keyword list tidy-up, on a site with one page template "page.template"
// that pulls content_page.inc and header_page.inc.
#include "tools/keyword_tools.h"

#include <gtest/gtest.h>

#include "app/template_commands.h"
#include "support/site_fixture.h"

namespace pagorin::testing {
namespace {

constexpr const char* kPage = "[include=header_page.inc][include=Content_page.INC]";

class KeywordTools : public SiteTest {
 protected:
  void OpenPage(const std::string& header, const std::string& page = kPage) {
    WriteTemplate("page.template", page);
    WriteInclude("header_page.inc", header);
    WriteInclude("content_page.inc", "Some text");
    OpenSite();
    Select({"page.template"});
  }
};

TEST(SuggestKeywords, CountsThresholdsAndWordRules) {
  std::string thirty_twice, thirty_thrice;
  for (int i = 0; i < 30; ++i) {
    const std::string word = "word" + std::string(1, char('a' + i % 26)) + std::to_string(i);
    thirty_twice += word + " " + word + " ";
    thirty_thrice += (i < 3 ? word + " " + word + " " + word + " " : word + " " + word + " ");
  }
  const struct {
    std::string html, suggestion;
  } cases[] = {
      {"Ebook reader, the ebook. EBOOK!", "Ebook,reader"},
      {"<html><head><title>Cats cats</title></head><p>Dogs (dogs) and birds</p>", "Dogs,birds"},
      {"Books books, paper; pens pens", "Books,pens"},
      // Contractions go, and words of three letters or fewer with them.
      {"don't can't Anna's ANNA'S DON'T", "Anna"},
      {"They'll they're They'll they're", "They"},
      {"your will just which your your your", "your"},
      {"\"Quoted\" 'quoted' tabs\ttabs line\r\nline", "Quoted,tabs,line"},
      {"single", ""},
      {"", ""},
      // More than 25 words at twice: three times; at three, more than 25: four times.
      {thirty_twice, ""},
      {thirty_thrice, "worda0,wordb1,wordc2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.suggestion, SuggestKeywords(c.html, Charset::kUtf8)) << c.html;
  }
}

TEST(SuggestKeywords, MoreThanTwentyFiveAtThreeTimesTakesFourTimes) {
  std::string text;
  for (int i = 0; i < 27; ++i) {
    const std::string word = "word" + std::to_string(100 + i);
    const int times = i < 2 ? 4 : 3;
    for (int n = 0; n < times; ++n) {
      text += word + " ";
    }
  }
  EXPECT_EQ("word100,word101", SuggestKeywords(text, Charset::kUtf8));
}

TEST_F(KeywordTools, SuggestReadsTheContentInclude) {
  WriteTemplate("page.template", kPage);
  WriteTemplate("bare.template", "no content include here");
  WriteInclude("content_page.inc", "<p>Garden tools and garden seeds, tools</p>");
  OpenSite();
  const std::pair<std::string, std::string> cases[] = {
      {"page.template", "Garden,tools"},
      {"bare.template", ""},
  };
  for (const auto& [tag, suggestion] : cases) {
    Select({tag});
    engine.texts.txtSuggested = "old";
    cmdSuggest(engine);
    EXPECT_EQ(suggestion, engine.texts.txtSuggested) << tag;
  }
  engine.ListView1.ClearSelection();
  cmdSuggest(engine);
  EXPECT_EQ("", engine.texts.txtSuggested);
}

TEST_F(KeywordTools, SetKeywordsInsertsOrReplacesTheTag) {
  const struct {
    std::string header, result;
  } cases[] = {
      {"<HEAD><TITLE>T</TITLE></HEAD>",
       "<HEAD><TITLE>T</TITLE>\r\n\r\n    <META name=\"keywords\" content=\"c,d\">\r\n</HEAD>"},
      {"<head>\r\n</head>",
       "<head>\r\n\r\n\r\n    <META name=\"keywords\" content=\"c,d\">\r\n</head>"},
      {"<head><meta NAME=\"Keywords\" content=\"a, b\"></head>",
       "<head><meta NAME=\"Keywords\" content=\"c,d\"></head>"},
      {"<META name=\"keywords\" content=\"a, b\">x\">",
       "<META name=\"keywords\" content=\"c,d\">x\">"},
      // Without the closing quote and ">" the include stays as it was.
      {"<META name=\"keywords\" content=\"a, b", "<META name=\"keywords\" content=\"a, b"},
  };
  for (const auto& c : cases) {
    OpenPage(c.header);
    engine.texts.txtSuggested = "c,d";
    EXPECT_TRUE(cmdSetKwd_Click(engine, false)) << c.header;
    EXPECT_EQ(c.result, Include("header_page.inc")) << c.header;
    EXPECT_EQ(std::vector<std::string>{}, t.ui.MessageTexts());
  }
}

TEST_F(KeywordTools, SetKeywordsRefusals) {
  const struct {
    std::string page, header, message;
  } cases[] = {
      {"[include=Header_page.inc]", "<head></head>",
       "Can't find the header include (must start with header_)"},
      {"[include=header_page.inc", "<head></head>",
       "Can't find the header include (must start with header_)"},
      {kPage, "<body>no head</body>",
       "Can't find a '</HEAD>' or '</TITLE>' tag in header_page.inc"},
  };
  for (const auto& c : cases) {
    t.ui.messages.clear();
    OpenPage(c.header, c.page);
    engine.texts.txtSuggested = "c,d";
    EXPECT_FALSE(cmdSetKwd_Click(engine, false));
    EXPECT_EQ(std::vector<std::string>{c.message}, t.ui.MessageTexts());
    EXPECT_EQ(c.header, Include("header_page.inc"));
    EXPECT_FALSE(t.Exists(Site("page.html"))) << "nothing was built";
  }
}

TEST_F(KeywordTools, SetKeywordsThenBuildsAndShowsTheNewTags) {
  WriteTemplate("news7.template", "[include=header_news.inc]<p>text</p>");
  WriteInclude("header_news.inc",
               "<head><title>N</title><META name=\"description\" content=\"All news\"></head>");
  OpenSite({"EXT_NEWS7,.php"});
  Select({"news7.template"});
  engine.texts.txtSuggested = "news,items";
  EXPECT_TRUE(cmdSetKwd_Click(engine, true));
  const std::string renamed =
      "<head><title>N</title>\r\n\r\n    <META name=\"keywords\" content=\"news,items\">\r\n"
      "<META name=\"description\" content=\"All news\"></head>";
  EXPECT_EQ(renamed, Include("header_news7.inc"));
  EXPECT_EQ("<head><title>N</title><META name=\"description\" content=\"All news\"></head>",
            Include("header_news.inc"));
  EXPECT_EQ("[include=header_news7.inc]<p>text</p>", Template("news7.template"));
  EXPECT_EQ(renamed + "<p>text</p>", t.ReadFile(Site("news7.php")));
  EXPECT_EQ(".php", engine.texts.txtExt);
  EXPECT_EQ("All news", engine.texts.txtDesc);
  EXPECT_EQ("news,items", engine.texts.txtKeywords);
  EXPECT_EQ("", engine.texts.txtSuggested);
}

TEST(GetMetaContent, TheTagsContent) {
  TestEnv t;
  const std::string page = t.Path("page.html");
  const struct {
    std::string text, name, content;
  } cases[] = {
      {"<meta NAME=\"Description\" CONTENT=\"A page\">", "description", "A page"},
      {"<META name=\"keywords\" content=\"a,b\">", "description", ""},
      {"<META name=\"keywords\" content=\"a,b\" >", "keywords", ""},
      {"<META name=\"keywords\" content=\"a\"b\">", "keywords", "a\"b"},
      {"<META name=\"keywords\"  content=\"a\">", "keywords", ""},
  };
  for (const auto& c : cases) {
    t.WriteFile(page, c.text);
    EXPECT_EQ(c.content, GetMetaContent(t.env, page, c.name)) << c.text;
  }
  EXPECT_EQ("", GetMetaContent(t.env, t.Path("missing.html"), "keywords"));
}

TEST_F(KeywordTools, ShowDescFollowsTheSelectionAndTheListRefill) {
  WriteTemplate("about.template", "");
  WriteTemplate("index.template", "");
  t.WriteFile(Site("about.htm"), "<META name=\"description\" content=\"About us\">");
  t.WriteFile(Site("index.html"),
              "<META name=\"keywords\" content=\"home,start\"><META name=\"description\" "
              "content=\"Home\">");
  OpenSite({"EXT_ABOUT,.htm"});
  EXPECT_EQ(".htm|About us|",
            engine.texts.txtExt + "|" + engine.texts.txtDesc + "|" + engine.texts.txtKeywords);
  Select({"index.template"});
  engine.texts.txtSuggested = "x";
  ShowDesc(engine);
  EXPECT_EQ(".html|Home|home,start|", engine.texts.txtExt + "|" + engine.texts.txtDesc + "|" +
                                          engine.texts.txtKeywords + "|" +
                                          engine.texts.txtSuggested);
}

TEST(TidyKeywordText, FirstKeywordListOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"<META name=\"keywords\" content=\"ebook, book., pdf\">",
       "<META name=\"keywords\" content=\"ebook,book,pdf\">"},
      {"<meta name=\"KEYWORDS\" content=\"a, b\">, c<meta name=\"keywords\" content=\"d, e\">",
       "<meta name=\"KEYWORDS\" content=\"a,b\">, c<meta name=\"keywords\" content=\"d, e\">"},
      {"<META name=\"description\" content=\"a, b\">",
       "<META name=\"description\" content=\"a, b\">"},
      {"<META name=\"keywords\" content=\"a, b", "<META name=\"keywords\" content=\"a, b"},
  };
  for (const auto& [text, tidied] : cases) {
    EXPECT_EQ(tidied, TidyKeywordText(text));
  }
}

TEST_F(KeywordTools, TidyMetaAsksThenRewritesBothFolders) {
  const std::string list = "<META name=\"keywords\" content=\"a, b\">";
  WriteTemplate("page.template", list);
  WriteInclude("header.inc", list);
  WriteInclude("plain.txt", "a, b");
  OpenSite();
  EXPECT_FALSE(mnuTidyMeta(engine));
  EXPECT_EQ(list, Include("header.inc"));
  t.ui.QueueAnswer(Answer::kYes);
  EXPECT_TRUE(mnuTidyMeta(engine));
  const std::string question =
      "This will remove spaces in keyword lists. E.g. ebook, book becomes ebook,book. Proceed?";
  EXPECT_EQ((std::vector<std::string>{question, question}), t.ui.MessageTexts());
  EXPECT_EQ("<META name=\"keywords\" content=\"a,b\">", Template("page.template"));
  EXPECT_EQ("<META name=\"keywords\" content=\"a,b\">", Include("header.inc"));
  EXPECT_EQ("a, b", Include("plain.txt"));
}

}  // namespace
}  // namespace pagorin::testing
