#include "editor/markup_colouring.h"

#include <cstdint>

#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Successive searches for one part at positions that never go backwards.
// A search remembers what it found, so the text between two matches is
// scanned once however many times it is asked about: passes that look for
// a closing text after every opening one stay linear.
class ForwardFinder {
 public:
  ForwardFinder(std::string_view text, std::string_view part, bool ignore_case)
      : text_(text), part_(part), ignore_case_(ignore_case) {}

  // The first match at or after `from`; npos when there is none. `from`
  // must not be smaller than in the call before.
  std::size_t FindFrom(std::size_t from) {
    if (searched_ && (found_ == npos || found_ >= from)) {
      return found_;
    }
    searched_ = true;
    found_ = ignore_case_ ? FindNoCase(text_, part_, from) : text_.find(part_, from);
    return found_;
  }

 private:
  std::string_view text_;
  std::string_view part_;
  bool ignore_case_;
  bool searched_ = false;
  std::size_t found_ = npos;
};

void AddSpan(std::vector<MarkupSpan>& spans, std::size_t start, std::ptrdiff_t length,
             SpanColour colour, bool bold, bool underline) {
  if (length > 0) {
    spans.push_back({start, static_cast<std::size_t>(length), colour, bold, underline});
  }
}

// The two hexadecimal digits at `at` (or what there is of them); reading
// stops at the first character that is not one.
std::uint8_t HexPair(std::string_view text, std::size_t at) {
  unsigned value = 0;
  for (const char c : text.substr(at < text.size() ? at : text.size(), 2)) {
    const char low = ToLowerAscii(c);
    if (c >= '0' && c <= '9') {
      value = value * 16 + unsigned(c - '0');
    } else if (low >= 'a' && low <= 'f') {
      value = value * 16 + unsigned(low - 'a' + 10);
    } else {
      break;
    }
  }
  return static_cast<std::uint8_t>(value);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The colour a font tag's colour text names. *bad is set for a text that
// starts like a positive number but is none.
SpanColour FontColour(std::string_view colour_text, bool* bad) {
  *bad = false;
  if (colour_text[0] == '#') {
    return Rgb{HexPair(colour_text, 1), HexPair(colour_text, 3), HexPair(colour_text, 5)};
  }
  std::size_t digits = 0;
  bool positive = false;
  while (digits < colour_text.size() && IsDigit(colour_text[digits])) {
    positive = positive || colour_text[digits] != '0';
    ++digits;
  }
  if (positive) {
    // Written as 0x00BBGGRR.
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < digits && value <= 0xFFFFFF; ++i) {
      value = value * 10 + std::uint64_t(colour_text[i] - '0');
    }
    if (digits != colour_text.size() || value > 0xFFFFFF) {
      *bad = true;
      return std::nullopt;
    }
    return Rgb{std::uint8_t(value & 0xFF), std::uint8_t((value >> 8) & 0xFF),
               std::uint8_t((value >> 16) & 0xFF)};
  }
  const std::string name = LCase(colour_text);
  if (name == "blue")
    return Rgb{0, 0, 255};
  if (name == "red")
    return Rgb{255, 0, 0};
  if (name == "green")
    return Rgb{0, 176, 0};
  if (name == "gray" || name == "grey")
    return Rgb{128, 128, 128};
  return std::nullopt;
}

// The colour text of a font tag's attributes (the tag from "<font" up to
// its ">"), empty when it names none.
std::string FontColourText(std::string_view tag) {
  std::string attributes = ReplaceAll(TrimView(tag.substr(5)), " = ", "=", true);
  const std::size_t key = FindNoCase(attributes, "color=");
  if (key == npos) {
    return {};
  }
  std::string_view value = std::string_view(attributes).substr(key + 6);
  value = value.substr(0, value.find(' '));
  std::string colour_text;
  for (const char c : value) {
    if (c != '>' && c != '\'') {
      colour_text += c;
    }
  }
  return colour_text;
}

}  // namespace

Markup UpdateMarkup(std::string_view text) {
  Markup markup;
  MarkIncludes(text, markup.spans);
  MarkFormatting(text, "<B>", "</B>", std::nullopt, true, false, markup.spans);
  MarkFonts(text, markup.spans, &markup.bad_font_colours);
  MarkFormatting(text, "<I>", "</I>", std::nullopt, false, true, markup.spans);
  markup.unclosed_link = MarkLinks(text, markup.spans);
  MarkCSSFiles(text, markup.spans);
  MarkFormatting(text, "<!--", "-->", kCommentGrey, false, false, markup.spans);
  return markup;
}

void MarkIncludes(std::string_view text, std::vector<MarkupSpan>& spans) {
  ForwardFinder close(text, "]", false);
  for (std::size_t at = FindNoCase(text, "[include="); at != npos;
       at = FindNoCase(text, "[include=", at + 1)) {
    const std::size_t end = close.FindFrom(at + 1);
    const std::size_t last = end == npos ? text.size() - 1 : end;
    AddSpan(spans, at, std::ptrdiff_t(last - at + 1), kIncludeRed, false, false);
  }
}

void MarkCSSFiles(std::string_view text, std::vector<MarkupSpan>& spans) {
  std::size_t quote = npos;  // the last single quote before `scanned`
  std::size_t scanned = 0;
  for (std::size_t at = FindNoCase(text, ".css"); at != npos;
       at = FindNoCase(text, ".css", at + 1)) {
    for (; scanned < at; ++scanned) {
      if (text[scanned] == '\'') {
        quote = scanned;
      }
    }
    if (quote != npos) {
      AddSpan(spans, quote + 1, std::ptrdiff_t(at + 3 - quote), kStyleSheetPink, false, false);
    }
  }
}

bool MarkLinks(std::string_view text, std::vector<MarkupSpan>& spans) {
  // 0-based positions of the last "</a>" and ">" found; npos before any.
  std::size_t close_tag = npos;
  std::size_t greater = npos;
  while (true) {
    const std::size_t open = FindNoCase(text, "<a href", close_tag == npos ? 0 : close_tag + 1);
    if (greater != npos && (open == npos || open < greater)) {
      return open != npos;
    }
    if (open == npos) {
      return false;
    }
    greater = text.find('>', open + 1);
    if (greater == npos) {
      return false;
    }
    close_tag = FindNoCase(text, "</a>", greater + 1);
    if (close_tag != npos) {
      AddSpan(spans, greater + 1, std::ptrdiff_t(close_tag - greater - 1), kLinkBlue, false, true);
    }
  }
}

void MarkFonts(std::string_view text, std::vector<MarkupSpan>& spans,
               std::vector<std::string>* bad_colours) {
  ForwardFinder greater_finder(text, ">", false);
  ForwardFinder close_finder(text, "</font>", true);
  for (std::size_t at = FindNoCase(text, "<font"); at != npos;
       at = FindNoCase(text, "<font", at + 1)) {
    const std::size_t greater = greater_finder.FindFrom(at);
    const std::size_t close = close_finder.FindFrom(at + 1);
    if (close == npos) {
      continue;
    }
    const std::string colour_text = FontColourText(text.substr(at, greater - at));
    if (colour_text.empty()) {
      continue;
    }
    bool bad = false;
    const SpanColour colour = FontColour(colour_text, &bad);
    if (bad && bad_colours != nullptr) {
      bad_colours->push_back(colour_text);
    }
    AddSpan(spans, greater + 1, std::ptrdiff_t(close) - std::ptrdiff_t(greater) - 1, colour, false,
            false);
  }
}

void MarkFormatting(std::string_view text, std::string_view start_tag, std::string_view end_tag,
                    SpanColour colour, bool as_bold, bool as_italic,
                    std::vector<MarkupSpan>& spans) {
  if (start_tag.empty() || end_tag.empty()) {
    return;
  }
  ForwardFinder end_finder(text, end_tag, true);
  for (std::size_t at = FindNoCase(text, start_tag); at != npos;
       at = FindNoCase(text, start_tag, at + 1)) {
    const std::size_t end = end_finder.FindFrom(at + 1);
    if (end == npos) {
      continue;
    }
    const std::size_t inside = at + start_tag.size();
    AddSpan(spans, inside, std::ptrdiff_t(end) - std::ptrdiff_t(inside),
            as_italic ? SpanColour(kItalicGreen) : colour, as_bold, false);
  }
}

std::size_t CountTags(std::string_view text, std::string_view tag) {
  std::size_t count = 0;
  if (tag.empty()) {
    return 0;
  }
  for (std::size_t at = FindNoCase(text, tag); at != npos; at = FindNoCase(text, tag, at + 1)) {
    ++count;
  }
  return count;
}

}  // namespace pagorin
