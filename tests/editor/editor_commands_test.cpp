// The editor's text commands: snippets and palette, the tag count report,
// dropped files, the table builder's markup, the include picker and the
// file a double-click opens.
#include "editor/editor_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pagorin {
namespace {

TEST(Snippets, ButtonsInsertTheirTagsAndSwatchesTheirColour) {
  ASSERT_EQ(kSnippets.size(), 21u);
  EXPECT_STREQ(kSnippets[0].before, "<b>");
  EXPECT_STREQ(kSnippets[0].after, "</b>");
  EXPECT_STREQ(kSnippets[3].before, "<a href='https://www.example.com/' title='title here'>");
  EXPECT_STREQ(kSnippets[5].before, "[include=IncFile.inc");
  EXPECT_STREQ(kSnippets[5].after, "]");
  EXPECT_STREQ(kSnippets[19].before, "<META name=\"description\" content=\"\">");
  EXPECT_STREQ(kSnippets[20].before, "<META name=\"keywords\" content=\"\">");
  EXPECT_STREQ(kSnippets[20].after, "");

  const std::vector<std::pair<std::size_t, std::string>> swatches = {
      {0, "<font color = '#000000'>"},
      {3, "<font color = '#FF8080'>"},
      {6, "<font color = '#00C000'>"},
      {11, "<font color = '#FF80FF'>"}};
  for (const auto& [index, before] : swatches) {
    EXPECT_EQ(PaletteBefore(kPalette[index]), before) << index;
  }
}

TEST(TagCountReport, ComparesOpeningAndClosingTags) {
  EXPECT_EQ(TagCountReport(""),
            "<Table> 0  </Table> 0\r\n<tr> 0  </tr> 0\r\n<td> 0  </td> 0\r\n<a> 0  </a> 0\r\n"
            "<p> 0  </p> 0\r\n");
  EXPECT_EQ(TagCountReport("<TABLE><tr><td>1</td><td>2</tr></table><a href=x>l</a><abbr>"
                           "</abbr><p><pre></pre>"),
            "<Table> 1  </Table> 1\r\n<tr> 1  </tr> 1\r\n<td> 2  </td> 1\r\n<a> 1  </a> 2\r\n"
            "<p> 2  </p> 1\r\n");
}

TEST(DroppedFileSnippet, ImagesAndLinksRelativeToTheProject) {
  struct Case {
    const char* path;
    const char* snippet;
  };
  const std::vector<Case> cases = {
      {"/home/u/Site/images/Logo.PNG", "<img src='images/Logo.PNG' alt='Logo.PNG'>\r\n"},
      {"/HOME/U/SITE/a.gif", "<img src='a.gif' alt='a.gif'>\r\n"},
      {"/home/u/Site/README", "<img src='README' alt='README'>\r\n"},
      {"/home/u/Site/docs/guide.pdf",
       "<a href='docs/guide.pdf' title='guide.pdf'>link text</a>\r\n"},
      {"/tmp/other/x#1.zip", "<a href='/tmp/other/x#1.zip' title='x#1.zip'>link text</a>\r\n"},
      {"C:\\pics\\b.jpg", "<img src='C:/pics/b.jpg' alt='b.jpg'>\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DroppedFileSnippet(c.path, "/home/u/Site/"), c.snippet) << c.path;
  }
}

TEST(TableString, RowsOfCellsForTheCountsGiven) {
  const char* kTable = "Border=0 Width=100% cellpadding=5 cellspacing=0";
  const char* kCell = "align=left valign=top";
  EXPECT_EQ(TableString(kTable, kCell, "1", "1"),
            "<table Border=0 Width=100% cellpadding=5 cellspacing=0>\r\n<tr>\r\n"
            "<td align=left valign=top>Cell</td>\r\n</tr>\r\n</table>\r\n");
  const std::string cell = "<td a>Cell</td>\r\n";
  const std::string row3 = "<tr>\r\n" + cell + cell + cell + "</tr>\r\n";
  struct Case {
    const char* rows;
    const char* cols;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"2", "3", row3 + row3},         {"abc", "3", ""},           {"", "", ""},
      {" 2.4 ", "3", row3 + row3},     {"2.5", "3x", row3 + row3}, {"-4", "3", ""},
      {"1", "0", "<tr>\r\n</tr>\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TableString("t", " a ", c.rows, c.cols), "<table t>\r\n" + c.body + "</table>\r\n")
        << c.rows << " x " << c.cols;
  }
  EXPECT_EQ(TableString("t", "a", "1e9", "1").size(), TableString("t", "a", "1000", "1").size());
}

TEST(PickedInclude, NameAloneInsideTheIncludesFolder) {
  EXPECT_EQ(PickedInclude("/s/Includes/nav.inc", "/s/Includes/"), "nav.inc");
  EXPECT_EQ(PickedInclude("/s/includes/nav.inc", "/s/Includes/"), "nav.inc");
  EXPECT_EQ(PickedInclude("/s/Includes/sub/nav.inc", "/s/Includes/"), "/s/Includes/sub/nav.inc");
  EXPECT_EQ(PickedInclude("/elsewhere/x.inc", "/s/Includes/"), "/elsewhere/x.inc");
}

TEST(FileToOpenAt, ColouredIncludesAndStyleSheetsNameTheirFiles) {
  const std::string text =
      "ab[include=nav/menu.inc]<link href='/css\\site.css'>[include=/x/y.inc]"
      "[include=open";
  struct Case {
    std::size_t caret;
    SpanColour colour;
    std::optional<std::string> file;
  };
  const std::vector<Case> cases = {
      {5, kIncludeRed, "/s/Includes/nav/menu.inc"},
      {2, kIncludeRed, "/s/Includes/nav/menu.inc"},
      {40, kStyleSheetPink, "/s/css/site.css"},
      {55, kIncludeRed, "/x/y.inc"},
      {text.size() - 2, kIncludeRed, std::nullopt},
      {0, kIncludeRed, std::nullopt},
      {5, std::nullopt, std::nullopt},
      {5, kLinkBlue, std::nullopt},
      {1, kStyleSheetPink, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileToOpenAt(text, c.caret, c.colour, "/s/", "/s/Includes/"), c.file) << c.caret;
  }
}

}  // namespace
}  // namespace pagorin
