#include "shared/html.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "shared/html_entities.h"
#include "shared/markup_text.h"
#include "shared/text.h"

namespace pagorin {
namespace {

constexpr Charset kUtf8 = Charset::kUtf8;
constexpr Charset k1252 = Charset::kWindows1252;

// A text and what it becomes.
struct TextCase {
  std::string_view text, expected;
};

// A text and what it becomes in a UTF-8 and in a Windows-1252 project.
struct CharsetCase {
  std::string_view text, utf8, windows1252;
};

template <std::size_t N, typename Convert>
void ExpectInBothCharsets(const CharsetCase (&cases)[N], Convert convert) {
  for (const CharsetCase& c : cases) {
    EXPECT_EQ(c.utf8, convert(std::string(c.text), kUtf8)) << c.text;
    EXPECT_EQ(c.windows1252, convert(std::string(c.text), k1252)) << c.text;
  }
}

std::string Applied(void (*step)(std::string&, Charset), std::string text, Charset charset) {
  step(text, charset);
  return text;
}

std::string Applied(void (*step)(std::string&), std::string text) {
  step(text);
  return text;
}

// Up to `max_count` pieces, and with `raw_bytes` random bytes among them.
template <std::size_t N>
std::string RandomPieces(std::mt19937& random, const std::string_view (&pieces)[N], int max_count,
                         bool raw_bytes) {
  std::string text;
  const int count = std::uniform_int_distribution<int>(1, max_count)(random);
  for (int i = 0; i < count; ++i) {
    if (raw_bytes && std::uniform_int_distribution<int>(0, 1)(random) == 0) {
      text += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    } else {
      text += pieces[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
    }
  }
  return text;
}

TEST(EntityTable, FindsEveryHtml5NameWithItsLetterCase) {
  EXPECT_EQ(2125u, NamedEntities().size());
  for (const NamedEntity& entity : NamedEntities()) {
    ASSERT_EQ(&entity, FindNamedEntity(entity.name)) << entity.name;
  }
  EXPECT_EQ(U'\u00C4', FindNamedEntity("Auml")->first);
  EXPECT_EQ(nullptr, FindNamedEntity("AUML"));
}

TEST(EntityDecoding, WritesNamedAndNumericEntitiesInTheProjectCharset) {
  const CharsetCase cases[] = {
      {"Fish &amp; Chips", "Fish & Chips", "Fish & Chips"},
      {"M&auml;rz &Auml;", "M\xC3\xA4rz \xC3\x84", "M\xE4rz \xC4"},
      {"a&nbsp;b", "a b", "a b"},           // a plain blank in plain text
      {"&#65;&#x42;&#X63;", "ABc", "ABc"},  // decimal and hexadecimal
      {"&euro;&#8364;&#128;", "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", "\x80\x80\x80"},
      {"&ndash;&#150;", "\xE2\x80\x93\xE2\x80\x93", "\x96\x96"},  // 150 read as in browsers
      {"&#129;", "\xC2\x81", "\x81"},                             // undefined in 1252: itself
      {"&alpha;", "\xCE\xB1", "&alpha;"},                         // no 1252 byte: stays
      {"&#x1F600;", "\xF0\x9F\x98\x80", "&#x1F600;"},
      {"&NotEqualTilde;", "\xE2\x89\x82\xCC\xB8", "&NotEqualTilde;"},  // two characters
      {"&#0;&#xD800;&#1114112;&#99999999999;", "&#0;&#xD800;&#1114112;&#99999999999;",
       "&#0;&#xD800;&#1114112;&#99999999999;"},
      {"&amp &unknown; &#; &#x; &#12a; & ;", "&amp &unknown; &#; &#x; &#12a; & ;",
       "&amp &unknown; &#; &#x; &#12a; & ;"},  // not entities: stay
      {"&amp;lt;", "&lt;", "&lt;"},            // decoded once, not again
      {"&&amp;;", "&&;", "&&;"},
  };
  ExpectInBothCharsets(cases, DecodeEntities);
}

TEST(Htmlconsttochar, ReplacesTypographicAndNumericEntities) {
  const CharsetCase cases[] = {
      {"&#65;", "A", "A"},
      {"a&#0;b&#300;c", "abc", "abc"},  // out of range: removed
      {"&#8211;&#8212;", "--", "--"},
      {"&#8220;x&#8221; &#8216;y&#8217; &HELLIP;", "\"x\" 'y' ...", "\"x\" 'y' ..."},
      {"&prime;&Prime;&PRIME;", "'\"&PRIME;", "'\"&PRIME;"},
      {"&bull;&#8226;", "\xE2\x80\xA2\xE2\x80\xA2", "\x95\x95"},
      {"&#8364;", "\xE2\x82\xAC", "\x80"},
      {"&#150;", "\xE2\x80\x93", "\x96"},
      {"&#66", "&#66", "&#66"},                    // no ";": stays
      {"&amp; &lt;", "&amp; &lt;", "&amp; &lt;"},  // named ones are not its business
      {"&#9&#65;", "\t", "\t"},                    // the first "&#" runs to the first ";"
      {"&#38;#65;", "A", "A"},                     // a new "&#" is found from the start
  };
  ExpectInBothCharsets(cases, [](std::string text, Charset charset) {
    return Applied(htmlconsttochar, std::move(text), charset);
  });
}

// The numeric entity rule exactly as stated: find the first "&#" and the
// first ";" after it, replace or remove every occurrence, start again.
std::string LiteralNumericEntities(std::string text) {
  while (true) {
    const std::size_t amp = text.find("&#");
    const std::size_t semicolon = amp == std::string::npos ? amp : text.find(';', amp + 2);
    if (semicolon == std::string::npos) {
      return text;
    }
    const std::string entity = text.substr(amp, semicolon - amp + 1);
    long number = 0;
    for (std::size_t i = 2; i < entity.size() && entity[i] >= '0' && entity[i] <= '9'; ++i) {
      number = std::min(number * 10 + (entity[i] - '0'), 100000L);
    }
    const std::string value =
        number <= 0 || number >= 255 ? "" : std::string(1, static_cast<char>(number));
    text = ReplaceAll(text, entity, value, true);
  }
}

TEST(Htmlconsttochar, NumericEntitiesMatchTheLiteralRuleOnRandomTexts) {
  const std::string_view pieces[] = {"&#", "&", "#",   ";", "6", "5",     "38",   "35",
                                     "59", "0", "300", "x", " ", "&#38;", "&#35;"};
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomPieces(random, pieces, 14, false);
    std::string resolved = text;
    htmlconsttochar(resolved, k1252);
    ASSERT_EQ(LiteralNumericEntities(text), resolved) << text;
  }
}

TEST(Htmlconsttochar, ManyDistinctEntitiesTakeLinearTime) {
  std::string text;
  for (int i = 0; i < 200000; ++i) {
    text += "&#" + std::to_string(100000 + i) + ";x";
  }
  htmlconsttochar(text, kUtf8);
  EXPECT_TRUE(text == std::string(200000, 'x'));
}

TEST(StripTags, RemovesTagsCommentsScriptsAndStyles) {
  const TextCase cases[] = {
      {"<p class=\"a\">Hi <b>there</b></p>", "Hi there"},
      {"a < b and c > d", "a < b and c > d"},
      {"<a title=\"x > y\" href='z'>link</a>", "link"},
      {"<img alt=\"never closed>text", "text"},  // unclosed quote: first ">" ends it
      {"x<!-- <b>gone</b> -->y<!-- open", "xy<!-- open"},
      {"<script type=\"x\">if (a<b) c();</script>after", "after"},
      {"<STYLE media=all>p{}</Style>after", "after"},
      {"broken <tag", "broken <tag"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(c.expected, StripTags(c.text)) << c.text;
  }
}

TEST(PipelineSteps, CutAtNulLeaveBlankTextsAndStripStyleBlocksFirst) {
  using std::string_literals::operator""s;
  EXPECT_EQ("   ", Applied(htmltochar, "   ", kUtf8));
  EXPECT_EQ("a&b", Applied(htmltochar, "a&amp;b\0&amp;"s, kUtf8));
  EXPECT_EQ("ab", Applied(striphtml, "a<STYLE>p{color:red}</style>b"));
  EXPECT_EQ("a<b c", Applied(striphtml, "a<b c"));  // no ">": nothing to strip
  EXPECT_EQ("x", Applied(striphtml, "x\0y<"s));
  EXPECT_EQ("no tags", Applied(striphtml, "no tags\0<b>"s));
  EXPECT_EQ("ac3", Applied(striphtml, "a<style>1</style><style>2</style>c<style>3"));
}

TEST(ConvertKnownFormatting, GivesLineBreaksBulletsRulesAndTabs) {
  const TextCase cases[] = {
      {"a<br>b<BR/>c<br class=x />d", "a\r\nb\r\nc\r\nd"},
      {"<p>one</P><h2>two</h2>", "<p>one\r\n<h2>two\r\n"},
      {"<ul><li>a</li><LI class=\"x\">b</li></ul>", "<ul>\r\n* a</li>\r\n* b</li>\r\n"},
      {"<hr>", "\r\n----------------------------------------\r\n"},
      {"<td>1</td><th>2</TH>", "<td>1\t<th>2\t"},
      {"<link><pre>x</pre><break>", "<link><pre>x\r\n<break>"},
      {"<br", "<br"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(c.expected, ConvertKnownFormatting(c.text)) << c.text;
  }
}

TEST(HtmlToPlainText, KeepsOnlyTheBodysText) {
  std::string page =
      "<html><head><title>Secret title</title>\r\n<style>b{}</style></head>\r\n"
      "<body><h1>Caf&eacute; &amp; more</h1><p>Price: 5&#8364;&nbsp;only</p>\r\n"
      "<ul><li>One</li><li>Two</li></ul>Line<br>end</body></html>";
  HtmlToPlainText(page, kUtf8);
  EXPECT_EQ(
      "\r\nCaf\xC3\xA9 & more\r\nPrice: 5\xE2\x82\xAC only\r\n\r\n\r\n* One\r\n* "
      "Two\r\nLine\r\nend",
      page);
  std::string text = "a\r\rb\n\nc";
  HtmlToPlainText(text, k1252);
  EXPECT_EQ("a\r\nb\r\nc", text);
  EXPECT_EQ("<body>x</HEAD>", Applied(removehead, "<head>t</HEAD><body>x</HEAD>"));
}

TEST(RandomBytes, NeverBreakThePipeline) {
  std::mt19937 random(5);
  const std::string_view seeds[] = {"<",   ">",       "&",        "#",    ";",   "</", "<!--",
                                    "-->", "<style>", "</style>", "\"",   "=",   "'",  "<script",
                                    "&#x", "</head>", "<br>",     "<li>", "amp", "9"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomPieces(random, seeds, 40, true);
    ASSERT_LE(StripTags(text).size(), text.size());
    for (const Charset charset : {kUtf8, k1252}) {
      std::string plain = text;
      HtmlToPlainText(plain, charset);
      std::string decoded = text;
      htmlconsttochar(decoded, charset);
      ConvertKnownFormatting(text);
      DecodeEntities(text, charset);
    }
  }
}

// Text from elsewhere put into pages and feeds: shown as written, never
// markup of the page, the compiler or XML.
TEST(TextForPagesAndFeeds, ShowsEveryCharacterAsWritten) {
  const std::pair<std::string, std::string> as_html[] = {
      {"Tom & Jerry <3", "Tom &amp; Jerry &lt;3"},
      {"say \"hi\" > [include=x.inc] $BASEURL",
       "say &quot;hi&quot; &gt; &#91;include=x.inc] &#36;BASEURL"},
      {"caf\xc3\xa9\r\n", "caf\xc3\xa9\r\n"},
  };
  for (const auto& [text, html] : as_html) {
    EXPECT_EQ(html, TextAsHtml(text)) << text;
  }
  const std::pair<std::string, std::string> as_xml[] = {
      {"Tom &amp; Jerry &lt;3", "Tom &amp; Jerry &lt;3"},
      {"Tom & <b>Jerry</b>", "Tom &amp; Jerry"},
      {"&nbsp;&eacute;&#91;x] $NewsTitle$", " \xc3\xa9&#91;x] &#36;NewsTitle&#36;"},
      {std::string("a\x01"
                   "b\x1f\tc\0d",
                   8),
       "ab\tc"},
      {"", ""},
  };
  for (const auto& [html, xml] : as_xml) {
    EXPECT_EQ(xml, HtmlAsXmlText(html, Charset::kUtf8)) << html;
  }
}

}  // namespace
}  // namespace pagorin
