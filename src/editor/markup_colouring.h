// Markup colouring of the template editor: each pass scans the text with
// plain substring searches (no HTML parser) and returns the spans to colour.
//
// Positions are 0-based offsets into the text, one per byte; the editor
// hands in one byte per character it shows (see MarkupBytes in the editor
// window), so they are also the view's character positions. Every pass
// costs time linear in the length of the text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/user_interface.h"

namespace pagorin {

// A colour of a span; nullopt stands for the system's window text colour.
using SpanColour = std::optional<Rgb>;

inline constexpr Rgb kIncludeRed{192, 0, 0};
inline constexpr Rgb kStyleSheetPink{255, 192, 255};
inline constexpr Rgb kLinkBlue{0, 0, 255};
inline constexpr Rgb kCommentGrey{128, 128, 128};
inline constexpr Rgb kItalicGreen{0, 128, 0};

// One formatting step: the characters [start, start + length) get `colour`;
// bold and underline are only ever switched on, never off.
struct MarkupSpan {
  std::size_t start = 0;
  std::size_t length = 0;
  SpanColour colour;
  bool bold = false;
  bool underline = false;
  bool operator==(const MarkupSpan&) const = default;
};

// The result of colouring a whole text. Spans are in the order they are
// applied: where two overlap, the later one's colour wins.
struct Markup {
  std::vector<MarkupSpan> spans;
  // A "<a href" was left without its "</a>": the editor then shows
  // kUnclosedLinkWarning once.
  bool unclosed_link = false;
  // Font colour texts that begin with digits but are no number ("12ab"):
  // each is reported to the log; its text gets the window text colour.
  std::vector<std::string> bad_font_colours;
};

inline constexpr const char* kUnclosedLinkWarning =
    "Warning - one or more HREF tags have not been closed with a matching '</a>'";

// Every pass in its order: includes, bold, fonts, italic, links, style
// sheet names, comments. The view first resets every character to the
// window text colour (bold and underline stay as they are), then applies
// the spans.
Markup UpdateMarkup(std::string_view text);

// "[include=" (any letter case) through its "]", or to the end of the text
// when none follows: include red.
void MarkIncludes(std::string_view text, std::vector<MarkupSpan>& spans);
// A name ending in ".css", from after the nearest single quote before it
// through the "s": style sheet pink. Nothing without a quote before it.
void MarkCSSFiles(std::string_view text, std::vector<MarkupSpan>& spans);
// The text between "<a href ...>" and "</a>": link blue and underlined.
// Returns true when a link was left unclosed.
bool MarkLinks(std::string_view text, std::vector<MarkupSpan>& spans);
// The text between "<font ... color=X>" and the next "</font>", in the
// colour X ("#RRGGBB", a number 0x00BBGGRR, or blue, red, green, gray,
// grey). Bad numbers go to *bad_colours.
void MarkFonts(std::string_view text, std::vector<MarkupSpan>& spans,
               std::vector<std::string>* bad_colours);
// The text between each `start_tag` and the next `end_tag` after it gets
// `colour`, and bold when `as_bold`; `as_italic` gives italic green instead
// of a slanted font.
void MarkFormatting(std::string_view text, std::string_view start_tag, std::string_view end_tag,
                    SpanColour colour, bool as_bold, bool as_italic,
                    std::vector<MarkupSpan>& spans);
// The number of occurrences of `tag`, letter case ignored, overlapping ones
// included.
std::size_t CountTags(std::string_view text, std::string_view tag);

}  // namespace pagorin
