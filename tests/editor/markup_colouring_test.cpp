// The colouring passes: the exact spans each pass returns, pass by pass, and
// how UpdateMarkup orders them so that later passes win.
#include "editor/markup_colouring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/markup_runs.h"
#include "span_printing.h"

namespace pagorin {
namespace {

constexpr SpanColour kWindowText = std::nullopt;
constexpr Rgb kRed{255, 0, 0};

struct PassCase {
  const char* text;
  std::vector<MarkupSpan> spans;
};

void ExpectSpans(const std::vector<PassCase>& cases,
                 void (*pass)(std::string_view, std::vector<MarkupSpan>&)) {
  for (const PassCase& c : cases) {
    std::vector<MarkupSpan> spans;
    pass(c.text, spans);
    EXPECT_EQ(spans, c.spans) << c.text;
  }
}

TEST(MarkIncludes, ColoursDirectiveThroughItsBracketOrToTheEnd) {
  ExpectSpans({{"a[include=x.inc]b", {{1, 15, kIncludeRed}}},
               {"[INCLUDE=a", {{0, 10, kIncludeRed}}},
               {"[include=a][Include=b]", {{0, 11, kIncludeRed}, {11, 11, kIncludeRed}}},
               {"[include=[include=a]", {{0, 20, kIncludeRed}, {9, 11, kIncludeRed}}},
               {"[includes=a]", {}},
               {"", {}}},
              MarkIncludes);
}

TEST(MarkCSSFiles, ColoursFromAfterTheNearestSingleQuote) {
  ExpectSpans({{"href='style.css'", {{6, 9, kStyleSheetPink}}},
               {"href=\"style.css\"", {}},
               {"'a' b.css", {{3, 6, kStyleSheetPink}}},
               {"'a.CSS b.css", {{1, 5, kStyleSheetPink}, {1, 11, kStyleSheetPink}}},
               {"x.css 'y'", {}}},
              MarkCSSFiles);
}

TEST(MarkFormatting, PairsEachStartTagWithTheNextEndTag) {
  struct Case {
    const char* text;
    const char* start;
    const char* end;
    SpanColour colour;
    bool bold, italic;
    std::vector<MarkupSpan> spans;
  };
  const std::vector<Case> cases = {
      {"<B>x</B>", "<B>", "</B>", kWindowText, true, false, {{3, 1, kWindowText, true}}},
      {"<b>x</b>", "<B>", "</B>", kWindowText, true, false, {{3, 1, kWindowText, true}}},
      {"<b>a<b>b</b>",
       "<B>",
       "</B>",
       kWindowText,
       true,
       false,
       {{3, 5, kWindowText, true}, {7, 1, kWindowText, true}}},
      {"<B>x", "<B>", "</B>", kWindowText, true, false, {}},
      {"<B></B>", "<B>", "</B>", kWindowText, true, false, {}},
      {"<i>x</I>", "<I>", "</I>", kWindowText, false, true, {{3, 1, kItalicGreen}}},
      {"a<!--c-->", "<!--", "-->", kCommentGrey, false, false, {{5, 1, kCommentGrey}}},
      {"<!-->", "<!--", "-->", kCommentGrey, false, false, {}},
  };
  for (const Case& c : cases) {
    std::vector<MarkupSpan> spans;
    MarkFormatting(c.text, c.start, c.end, c.colour, c.bold, c.italic, spans);
    EXPECT_EQ(spans, c.spans) << c.text;
  }
}

TEST(MarkLinks, ColoursAndUnderlinesLinkTextAndNotesUnclosedLinks) {
  struct Case {
    const char* text;
    std::vector<MarkupSpan> spans;
    bool unclosed;
  };
  const std::vector<Case> cases = {
      {"<a href='x'>go</a>", {{12, 2, kLinkBlue, false, true}}, false},
      {"<A HREF=x>a</A><a href=y>b</a>",
       {{10, 1, kLinkBlue, false, true}, {25, 1, kLinkBlue, false, true}},
       false},
      {"<a href=x>a</a><a href=y>b", {{10, 1, kLinkBlue, false, true}}, true},
      {"<a href='x'>go", {}, true},
      {"<a href=x", {}, false},
      {"<a href=x></a>", {}, false},
      {"<a name=x>go</a>", {}, false},
  };
  for (const Case& c : cases) {
    std::vector<MarkupSpan> spans;
    EXPECT_EQ(MarkLinks(c.text, spans), c.unclosed) << c.text;
    EXPECT_EQ(spans, c.spans) << c.text;
  }
}

TEST(MarkFonts, ColoursTextByTheTagsColour) {
  struct Case {
    const char* text;
    std::vector<MarkupSpan> spans;
    std::vector<std::string> bad;
  };
  const std::vector<Case> cases = {
      {"<font color=#FF0000>r</font>", {{20, 1, kRed}}, {}},
      {"<font color=#00c0>r</font>", {{18, 1, Rgb{0, 192, 0}}}, {}},
      {"<font color=red>r</font>", {{16, 1, kRed}}, {}},
      {"<font color='red'>r</font>", {{18, 1, kRed}}, {}},
      {"<font color = 'red'>r</font>", {{20, 1, kRed}}, {}},
      {"<FONT COLOR=Green>g</FONT>", {{18, 1, Rgb{0, 176, 0}}}, {}},
      {"<font color=grey>g</font><font color=gray>g</font>",
       {{17, 1, kCommentGrey}, {42, 1, kCommentGrey}},
       {}},
      {"<font color=\"red\">r</font>", {{18, 1, kWindowText}}, {}},
      {"<font color=purple>p</font>", {{19, 1, kWindowText}}, {}},
      {"<font color=65280>n</font>", {{18, 1, Rgb{0, 255, 0}}}, {}},
      {"<font color=12ab>n</font>", {{17, 1, kWindowText}}, {"12ab"}},
      {"<font color=0>n</font>", {{14, 1, kWindowText}}, {}},
      {"<font color=red size=2>r</font>", {{23, 1, kRed}}, {}},
      {"<font color=>r</font>", {}, {}},
      {"<font color = >r</font>", {}, {}},
      {"<font color=red = >r</font>", {{19, 1, kRed}}, {}},
      {"<font color=a = b>r</font>", {{18, 1, kWindowText}}, {}},
      {"<font color=green>g</font><font size=2>s</font>", {{18, 1, Rgb{0, 176, 0}}}, {}},
      {"<font color=red>r", {}, {}},
      {"<font color=red>a<font color=blue>b</font>c</font>",
       {{16, 19, kRed}, {34, 1, kLinkBlue}},
       {}},
  };
  for (const Case& c : cases) {
    std::vector<MarkupSpan> spans;
    std::vector<std::string> bad;
    MarkFonts(c.text, spans, &bad);
    EXPECT_EQ(spans, c.spans) << c.text;
    EXPECT_EQ(bad, c.bad) << c.text;
  }
}

TEST(CountTags, CountsOverlappingMatchesIgnoringCase) {
  struct Case {
    const char* text;
    const char* tag;
    std::size_t count;
  };
  for (const Case& c : std::vector<Case>{{"<p><P><pre>", "<p", 3},
                                         {"aaaa", "aa", 3},
                                         {"", "<a ", 0},
                                         {"<abbr></abbr></a>", "</a", 2}}) {
    EXPECT_EQ(CountTags(c.text, c.tag), c.count) << c.text;
  }
}

TEST(UpdateMarkup, RunsThePassesInOrderSoLaterOnesWin) {
  const std::string text =
      "[include=a.inc]<b>B</b><font color=red>F</font><i>I</i>"
      "<a href='s.css'>L</a><!--C <a href=x>l</a>-->";
  const Markup markup = UpdateMarkup(text);
  EXPECT_EQ(markup.spans, (std::vector<MarkupSpan>{
                              {0, 15, kIncludeRed},
                              {18, 1, kWindowText, true},
                              {39, 1, kRed},
                              {50, 1, kItalicGreen},
                              {71, 1, kLinkBlue, false, true},
                              {92, 1, kLinkBlue, false, true},
                              {64, 5, kStyleSheetPink},
                              {80, 17, kCommentGrey},
                          }));
  EXPECT_FALSE(markup.unclosed_link);
  // The link inside the comment ends grey but stays underlined.
  const std::vector<StyleRun> runs = FlattenSpans(markup.spans);
  const StyleRun* inner = StyleAt(runs, 92);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(*inner, (StyleRun{92, 1, kCommentGrey, false, true}));
}

TEST(FlattenSpans, LastColourWinsAndBoldAndUnderlineAdd) {
  struct Case {
    const char* name;
    std::vector<MarkupSpan> spans;
    std::vector<StyleRun> runs;
  };
  const std::vector<Case> cases = {
      {"disjoint", {{0, 2, kRed}, {4, 1, kLinkBlue}}, {{0, 2, kRed}, {4, 1, kLinkBlue}}},
      {"later wins",
       {{0, 10, kIncludeRed}, {3, 2, kCommentGrey}},
       {{0, 3, kIncludeRed}, {3, 2, kCommentGrey}, {5, 5, kIncludeRed}}},
      {"window colour clears", {{0, 4, kRed}, {1, 2, kWindowText}}, {{0, 1, kRed}, {3, 1, kRed}}},
      {"bold stays under a later colour",
       {{0, 4, kWindowText, true}, {2, 4, kLinkBlue, false, true}},
       {{0, 2, kWindowText, true}, {2, 2, kLinkBlue, true, true}, {4, 2, kLinkBlue, false, true}}},
      {"neighbours merge", {{0, 2, kRed}, {2, 3, kRed}}, {{0, 5, kRed}}},
      {"none", {}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FlattenSpans(c.spans), c.runs) << c.name;
  }
}

}  // namespace
}  // namespace pagorin
