// The colouring passes against plain, literal versions of themselves on
// thousands of random markup texts: the same spans, the same warning, the
// same bad colours. The literal versions search the way the passes read
// when written out step by step: 1-based positions, an upper-case copy,
// a search back for every quote and a fresh search for every closing text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/markup_colouring.h"
#include "shared/text.h"
#include "span_printing.h"

namespace pagorin {
namespace {

// InStr: the 1-based position of `part` at or after the 1-based `start`; 0
// when absent.
std::size_t InStr(std::size_t start, const std::string& text, const std::string& part,
                  bool ignore_case) {
  const std::string haystack = ignore_case ? UCase(text) : text;
  const std::string needle = ignore_case ? UCase(part) : part;
  if (start == 0 || start > haystack.size() + 1) {
    return 0;
  }
  const std::size_t at = haystack.find(needle, start - 1);
  return at == std::string::npos ? 0 : at + 1;
}

// Selection start (0-based) and length as the view is given them.
void Colour(std::vector<MarkupSpan>& spans, long start, long length, SpanColour colour,
            bool bold = false, bool underline = false) {
  if (length > 0) {
    spans.push_back({std::size_t(start), std::size_t(length), colour, bold, underline});
  }
}

void LiteralIncludes(const std::string& text, std::vector<MarkupSpan>& spans) {
  const std::string upper = UCase(text);
  for (std::size_t p = InStr(1, upper, "[INCLUDE=", false); p != 0;
       p = InStr(p + 1, upper, "[INCLUDE=", false)) {
    std::size_t e = InStr(p + 1, upper, "]", false);
    if (e == 0) {
      e = text.size();
    }
    Colour(spans, long(p) - 1, long(e - p + 1), kIncludeRed);
  }
}

void LiteralCSS(const std::string& text, std::vector<MarkupSpan>& spans) {
  for (std::size_t p = InStr(1, text, ".css", true); p != 0; p = InStr(p + 1, text, ".css", true)) {
    std::size_t q = 0;
    for (std::size_t i = p; i >= 1; --i) {
      if (text[i - 1] == '\'') {
        q = i;
        break;
      }
    }
    if (q != 0) {
      Colour(spans, long(q), long(p + 3 - q), kStyleSheetPink);
    }
  }
}

bool LiteralLinks(const std::string& text, std::vector<MarkupSpan>& spans) {
  std::size_t e = 0, g = 0;
  bool unclosed = false;
  while (true) {
    const std::size_t p = InStr(e + 1, text, "<a href", true);
    if (p < g) {
      unclosed = p != 0;
      break;
    }
    if (p == 0)
      break;
    g = InStr(p + 1, text, ">", false);
    if (g == 0)
      break;
    e = InStr(g + 1, text, "</a>", true);
    if (e != 0) {
      Colour(spans, long(g), long(e) - long(g) - 1, kLinkBlue, false, true);
    }
  }
  return unclosed;
}

// The value of the text's leading digits, 0 without any.
double LeadingValue(const std::string& text) {
  std::size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
    ++digits;
  }
  return digits == 0 ? 0 : std::stod(text.substr(0, digits));
}

void LiteralFonts(const std::string& text, std::vector<MarkupSpan>& spans,
                  std::vector<std::string>* bad) {
  for (std::size_t p = InStr(1, text, "<font", true); p != 0;
       p = InStr(p + 1, text, "<font", true)) {
    const std::size_t g = InStr(p, text, ">", false);
    const std::size_t e = InStr(p + 1, text, "</font>", true);
    if (e == 0)
      continue;
    std::string attributes = text.substr(p - 1, g - p).substr(5);
    attributes = Trim(attributes);
    attributes = ReplaceAll(attributes, " = ", "=", true);
    const std::size_t key = InStr(1, attributes, "color=", true);
    if (key == 0)
      continue;
    std::string value = attributes.substr(key + 5);
    if (value.find(' ') != std::string::npos)
      value = value.substr(0, value.find(' '));
    value = ReplaceAll(ReplaceAll(value, ">", "", true), "'", "", true);
    if (value.empty())
      continue;
    SpanColour colour;
    if (value[0] == '#') {
      const auto pair = [&](std::size_t at) {
        const std::string digits = at < value.size() ? value.substr(at, 2) : "";
        std::size_t used = 0;
        unsigned number = 0;
        while (used < digits.size() && std::isxdigit(static_cast<unsigned char>(digits[used]))) {
          number = number * 16 + unsigned(std::stoi(digits.substr(used, 1), nullptr, 16));
          ++used;
        }
        return std::uint8_t(number);
      };
      colour = Rgb{pair(1), pair(3), pair(5)};
    } else if (LeadingValue(value) > 0) {
      if (value.find_first_not_of("0123456789") != std::string::npos ||
          LeadingValue(value) > 0xFFFFFF) {
        bad->push_back(value);
      } else {
        const unsigned long number = std::stoul(value);
        colour = Rgb{std::uint8_t(number & 0xFF), std::uint8_t((number >> 8) & 0xFF),
                     std::uint8_t((number >> 16) & 0xFF)};
      }
    } else {
      const std::string name = LCase(value);
      if (name == "blue")
        colour = Rgb{0, 0, 255};
      if (name == "red")
        colour = Rgb{255, 0, 0};
      if (name == "green")
        colour = Rgb{0, 176, 0};
      if (name == "gray" || name == "grey")
        colour = Rgb{128, 128, 128};
    }
    Colour(spans, long(g), long(e) - long(g) - 1, colour);
  }
}

void LiteralFormatting(const std::string& text, const std::string& start_tag,
                       const std::string& end_tag, SpanColour colour, bool bold, bool italic,
                       std::vector<MarkupSpan>& spans) {
  for (std::size_t p = InStr(1, text, start_tag, true); p != 0;
       p = InStr(p + 1, text, start_tag, true)) {
    const std::size_t e = InStr(p + 1, text, end_tag, true);
    if (e == 0)
      continue;
    const long start = long(p + start_tag.size()) - 1;
    Colour(spans, start, long(e) - start - 1, italic ? SpanColour(kItalicGreen) : colour, bold);
  }
}

Markup LiteralUpdateMarkup(const std::string& text) {
  Markup markup;
  LiteralIncludes(text, markup.spans);
  LiteralFormatting(text, "<B>", "</B>", std::nullopt, true, false, markup.spans);
  LiteralFonts(text, markup.spans, &markup.bad_font_colours);
  LiteralFormatting(text, "<I>", "</I>", std::nullopt, false, true, markup.spans);
  markup.unclosed_link = LiteralLinks(text, markup.spans);
  LiteralCSS(text, markup.spans);
  LiteralFormatting(text, "<!--", "-->", kCommentGrey, false, false, markup.spans);
  return markup;
}

// Random texts built from the pieces the passes look for, and a few others;
// every other text only from what font tags are made of.
std::string RandomMarkup(std::mt19937& random, bool fonts_only) {
  static const std::vector<std::string> pieces = {
      "[include=", "[INCLUDE=", "]",         "'",      ".css",  ".CSS",     "<a href",
      "<A HREF",   ">",         "</a>",      "</A>",   "<font", "<FONT",    "</font>",
      "</FONT>",   " color=",   " color = ", "COLOR=", "#FF00", "#0c",      "red",
      "'green'",   "\"red\"",   "12ab",      "255",    "0",     "99999999", " ",
      "<B>",       "<b>",       "</b>",      "</B>",   "<i>",   "<I>",      "</I>",
      "</i>",      "<!--",      "<!-",       "-->",    "x",     "\xC3\xA9", "\r\n",
      "<",         "-",         "grey",      "=",      "a",     "/",        "</"};
  static const std::vector<std::string> font_pieces = {
      "<font", "<FONT", ">",   "</font>", " ",   "  ",  " = ", "=",  "color",
      "Color", "'",     "red", "#0C",     "12a", "255", "x",   "= ", " ="};
  const std::vector<std::string>& from = fonts_only ? font_pieces : pieces;
  std::uniform_int_distribution<std::size_t> count(0, 30);
  std::uniform_int_distribution<std::size_t> piece(0, from.size() - 1);
  std::string text;
  for (std::size_t i = count(random); i > 0; --i) {
    text += from[piece(random)];
  }
  return text;
}

TEST(MarkupDifferential, PassesMatchTheirLiteralVersionsOnRandomMarkup) {
  std::mt19937 random(20240307);
  for (int round = 0; round < 10000; ++round) {
    const std::string text = RandomMarkup(random, round % 2 == 1);
    const Markup fast = UpdateMarkup(text);
    const Markup literal = LiteralUpdateMarkup(text);
    ASSERT_EQ(fast.spans, literal.spans) << text;
    ASSERT_EQ(fast.unclosed_link, literal.unclosed_link) << text;
    ASSERT_EQ(fast.bad_font_colours, literal.bad_font_colours) << text;
    // Each pass on its own finds its keys by itself.
    std::vector<MarkupSpan> alone, literal_alone;
    MarkIncludes(text, alone);
    LiteralIncludes(text, literal_alone);
    MarkCSSFiles(text, alone);
    LiteralCSS(text, literal_alone);
    ASSERT_EQ(MarkLinks(text, alone), LiteralLinks(text, literal_alone)) << text;
    MarkFonts(text, alone, nullptr);
    std::vector<std::string> ignored;
    LiteralFonts(text, literal_alone, &ignored);
    MarkFormatting(text, "<B>", "</B>", std::nullopt, true, false, alone);
    LiteralFormatting(text, "<B>", "</B>", std::nullopt, true, false, literal_alone);
    ASSERT_EQ(alone, literal_alone) << text;
    for (const char* tag : {"<a ", "</a", "<p", "<t"}) {
      std::size_t literal_count = 0;
      for (std::size_t p = InStr(1, text, tag, true); p != 0; p = InStr(p + 1, text, tag, true)) {
        ++literal_count;
      }
      ASSERT_EQ(CountTags(text, tag), literal_count) << text;
    }
  }
}

}  // namespace
}  // namespace pagorin
