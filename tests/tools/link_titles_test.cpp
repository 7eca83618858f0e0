// Title attributes for links, and Copy and Renumber.
#include "tools/link_titles.h"

#include <gtest/gtest.h>

#include "support/site_fixture.h"
#include "tools/copy_renumber.h"

namespace pagorin::testing {
namespace {

TEST(AddLinkTitlesToText, TitlesFromTheLinkText) {
  const std::pair<std::string, std::string> cases[] = {
      {"<a href=\"b.html\">Our Books &amp; more</a>",
       "<a href=\"b.html\" title='Our Books amp more'>Our Books &amp; more</a>"},
      {"<A HREF='x'>Line<br>break<BR>twice</A>",
       "<A HREF='x' title='Line break twice'>Line<br>break<BR>twice</A>"},
      {"<a href=x> Caf\xc3\xa9 </a><a href=y>2nd</a>",
       "<a href=x title='Caf'> Caf\xc3\xa9 </a><a href=y title='2nd'>2nd</a>"},
      // Links that keep what they have.
      {"<a href=x TITLE='t'>Text</a>", "<a href=x TITLE='t'>Text</a>"},
      {"<a href=x><IMG src=i.png> Text</a>", "<a href=x><IMG src=i.png> Text</a>"},
      {"<a name=top>Top</a>", "<a name=top>Top</a>"},
      {"<a href=x>no end", "<a href=x>no end"},
      {"<a href=x", "<a href=x"},
      // A link inside another link's text is found from where "</a>" stood
      // before the title went in.
      {"<a href=1>A long text <a href=2>in</a>",
       "<a href=1 title='A long text a href2in'>A long text <a href=2 title='in'>in</a>"},
      {"<a href=1>xxxxxxxxxxxxxx<a href=2>y</a></a>",
       "<a href=1 title='xxxxxxxxxxxxxxa href2y'>xxxxxxxxxxxxxx<a href=2 title='y'>y</a></a>"},
  };
  for (const auto& [text, titled] : cases) {
    bool changed = false;
    EXPECT_EQ(titled, AddLinkTitlesToText(text, &changed)) << text;
    EXPECT_EQ(titled != text, changed) << text;
  }
}

// Each title is put in where the plain loop puts it: inserting into the
// text and going on from the old place of "</a>".
TEST(AddLinkTitlesToText, SameAsInsertingInPlace) {
  std::string text;
  for (int i = 0; i < 200; ++i) {
    text += i % 7 == 0 ? "<a href=a title=t>x</a>" : i % 5 == 0 ? "<a href=b>" : "";
    text += i % 3 == 0 ? "<a href=" + std::to_string(i) + ">Link " + std::to_string(i) + "</a>"
                       : "text" + std::string(i % 11, 'y') + "</a>";
  }
  std::string literal = text;
  for (std::size_t search = 0;;) {
    const std::size_t a = literal.find("<a href", search);
    const std::size_t g = a == std::string::npos ? a : literal.find('>', a);
    const std::size_t e = g == std::string::npos ? g : literal.find("</a>", g);
    if (e == std::string::npos) {
      break;
    }
    search = e;
    const std::string link = literal.substr(g + 1, e - g - 1);
    if (literal.substr(a, g - a).find(" title=") == std::string::npos) {
      std::string title;
      for (const char c : link) {
        title += std::isalnum(static_cast<unsigned char>(c)) || c == ' ' ? std::string(1, c) : "";
      }
      literal.insert(g, " title='" + title + "'");
    }
  }
  bool changed = false;
  EXPECT_EQ(literal, AddLinkTitlesToText(text, &changed));
}

class SiteTools : public SiteTest {};

TEST_F(SiteTools, LinkTitlesRewriteOnlyTheFilesThatChange) {
  const std::string titled = "<a href=x title='t'>T</a>";
  WriteTemplate("a.template", "<a href=x>A</a>");
  WriteTemplate("b.htm", titled);
  WriteTemplate("c.txt", "<a href=x>C</a>");
  WriteInclude("d.inc", "<a href=x>D</a>");
  WriteInclude("e.txt", "<a href=x>E</a>");
  OpenSite();
  const int renames = t.fs.Count(FaultyFileSystem::Op::kRename);
  EXPECT_EQ(2, mnuAddTitlesToLinks(engine).rewritten);
  EXPECT_EQ(renames + 2, t.fs.Count(FaultyFileSystem::Op::kRename));
  EXPECT_EQ("<a href=x title='A'>A</a>", Template("a.template"));
  EXPECT_EQ(titled, Template("b.htm"));
  EXPECT_EQ("<a href=x>C</a>", Template("c.txt"));
  EXPECT_EQ("<a href=x title='D'>D</a>", Include("d.inc"));
  EXPECT_EQ("<a href=x>E</a>", Include("e.txt"));
}

TEST_F(SiteTools, LinkTitlesLeaveAFileWholeWhenItsWriteFails) {
  WriteInclude("d.inc", "<a href=x>D</a>");
  OpenSite();
  t.fs.FailNth(FaultyFileSystem::Op::kRename, 1, FsError::kDiskFull);
  const LinkTitlesRun run = mnuAddTitlesToLinks(engine);
  EXPECT_EQ(0, run.rewritten);
  EXPECT_EQ(1, run.failed);
  EXPECT_EQ("<a href=x>D</a>", Include("d.inc"));
  ASSERT_EQ(1u, t.ui.messages.size());
  EXPECT_EQ(0u,
            t.ui.messages[0].text.rfind(
                "Could not write " + Site("Includes/d.inc") + ", so it was left as it was: ", 0));
  EXPECT_EQ((std::vector<std::string>{"d.inc"}), t.List(Site("Includes")));
}

TEST_F(SiteTools, CopyAndRenumber) {
  OpenSite();
  const std::string question =
      "Copies @@@.template to files from '1.template' up to '40.template', and replaces any '@@@' "
      "in the files with the same number. Go ahead?";
  EXPECT_EQ(CopyRenumOutcome::kNoPattern, cmdCopyRenum(engine));
  EXPECT_EQ(std::vector<std::string>{"You need to create a file called @@@.template and place it "
                                     "in " +
                                     Site()},
            t.ui.MessageTexts());
  EXPECT_EQ(Icon::kExclamation, t.ui.messages[0].icon);

  t.WriteFile(Site("@@@.template"), "[include=content_@@@.inc] page @@@ of @@@@");
  t.ui.messages.clear();
  EXPECT_EQ(CopyRenumOutcome::kDeclined, cmdCopyRenum(engine));
  EXPECT_FALSE(t.Exists(Site("1.template")));

  t.ui.messages.clear();
  t.WriteFile(Site("7.template"), "old");
  t.ui.QueueAnswer(Answer::kYes);
  EXPECT_EQ(CopyRenumOutcome::kPagesOnly, cmdCopyRenum(engine));
  EXPECT_EQ((std::vector<std::string>{question, "I can't see " + Site("content_@@@.inc")}),
            t.ui.MessageTexts());
  EXPECT_EQ("[include=content_1.inc] page 1 of 1@", t.ReadFile(Site("1.template")));
  EXPECT_EQ("[include=content_7.inc] page 7 of 7@", t.ReadFile(Site("7.template")));
  EXPECT_EQ("[include=content_40.inc] page 40 of 40@", t.ReadFile(Site("40.template")));
  EXPECT_FALSE(t.Exists(Site("41.template")));

  t.WriteFile(Site("content_@@@.inc"), "Item @@@, not @@ nor @AAA");
  t.ui.QueueAnswer(Answer::kYes);
  const int renames = t.fs.Count(FaultyFileSystem::Op::kRename);
  EXPECT_EQ(CopyRenumOutcome::kCopied, cmdCopyRenum(engine));
  EXPECT_EQ(renames + 40, t.fs.Count(FaultyFileSystem::Op::kRename))
      << "the pages are as they were";
  EXPECT_EQ("Item 12, not @@ nor @AAA", t.ReadFile(Site("content_12.inc")));
}

}  // namespace
}  // namespace pagorin::testing
