#include "editor/markup_colouring.h"

#include <algorithm>
#include <cstdint>

#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::size_t npos = std::string_view::npos;

using Positions = std::vector<std::size_t>;

// Every position of `part` in the text, overlapping ones included.
Positions Occurrences(std::string_view text, std::string_view part, bool ignore_case = true) {
  Positions positions;
  for (std::size_t at = ignore_case ? FindNoCase(text, part) : text.find(part); at != npos;
       at = ignore_case ? FindNoCase(text, part, at + 1) : text.find(part, at + 1)) {
    positions.push_back(at);
  }
  return positions;
}

// The first position at or after `from`; npos when there is none.
std::size_t FirstFrom(const Positions& positions, std::size_t from) {
  const auto found = std::lower_bound(positions.begin(), positions.end(), from);
  return found == positions.end() ? npos : *found;
}

// Walks a list of positions for searches that never go backwards, so a pass
// that looks for a closing text after every opening one stays linear.
class ForwardFinder {
 public:
  explicit ForwardFinder(const Positions& positions) : positions_(positions) {}

  // The first position at or after `from`, which must not be smaller than
  // in the call before; npos when there is none.
  std::size_t FindFrom(std::size_t from) {
    while (next_ < positions_.size() && positions_[next_] < from) {
      ++next_;
    }
    return next_ < positions_.size() ? positions_[next_] : npos;
  }

 private:
  const Positions& positions_;
  std::size_t next_ = 0;
};

// Where each text the passes look for occurs. UpdateMarkup finds them all in
// one scan of the text instead of one scan per key: a text larger than the
// processor's caches is then read from memory once.
struct KeyPositions {
  Positions include, close_bracket;  // "[include=", "]"
  Positions bold, bold_end;          // "<B>", "</B>"
  Positions font, font_end;          // "<font", "</font>"
  Positions italic, italic_end;      // "<I>", "</I>"
  Positions link, link_end;          // "<a href", "</a>"
  Positions comment, comment_end;    // "<!--", "-->"
  Positions greater, quote, css;     // ">", "'", ".css"
};

KeyPositions FindKeys(std::string_view text) {
  KeyPositions keys;
  const auto at = [&](std::size_t i, std::string_view key) {
    return text.size() - i >= key.size() && EqualsNoCase(text.substr(i, key.size()), key);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '[':
        if (at(i, "[include="))
          keys.include.push_back(i);
        break;
      case ']':
        keys.close_bracket.push_back(i);
        break;
      case '>':
        keys.greater.push_back(i);
        break;
      case '\'':
        keys.quote.push_back(i);
        break;
      case '.':
        if (at(i, ".css"))
          keys.css.push_back(i);
        break;
      case '-':
        if (at(i, "-->"))
          keys.comment_end.push_back(i);
        break;
      case '<':
        // Told apart by the letter after "<" (or after "</"), so each "<"
        // is compared with one key at most.
        switch (i + 1 < text.size() ? ToLowerAscii(text[i + 1]) : 0) {
          case 'b':
            if (at(i, "<B>"))
              keys.bold.push_back(i);
            break;
          case 'f':
            if (at(i, "<font"))
              keys.font.push_back(i);
            break;
          case 'i':
            if (at(i, "<I>"))
              keys.italic.push_back(i);
            break;
          case 'a':
            if (at(i, "<a href"))
              keys.link.push_back(i);
            break;
          case '!':
            if (at(i, "<!--"))
              keys.comment.push_back(i);
            break;
          case '/':
            switch (i + 2 < text.size() ? ToLowerAscii(text[i + 2]) : 0) {
              case 'b':
                if (at(i, "</B>"))
                  keys.bold_end.push_back(i);
                break;
              case 'f':
                if (at(i, "</font>"))
                  keys.font_end.push_back(i);
                break;
              case 'i':
                if (at(i, "</I>"))
                  keys.italic_end.push_back(i);
                break;
              case 'a':
                if (at(i, "</a>"))
                  keys.link_end.push_back(i);
                break;
              default:
                break;
            }
            break;
          default:
            break;
        }
        break;
      default:
        break;
    }
  }
  return keys;
}

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

// Reads the colour text of font tags in text order without copying their
// attributes, so that many tags before one ">" cost no more than the text.
//
// A tag's attributes are its text after "<font" up to its ">", trimmed, with
// every " = " read as "="; they name a colour at their first "color=" (any
// letter case). In the text itself that is the first "color" followed by "="
// or by a " = " whose last blank trimming leaves. The colour text runs from
// there to the first blank (a " = " inside it reads as "="), without its
// quotes.
class FontColourReader {
 public:
  explicit FontColourReader(std::string_view text) : text_(text) {}

  // The colour text of the tag at `tag` whose ">" is at `greater`; empty
  // when it names none. Tags must come in text order.
  std::string ColourText(std::size_t tag, std::size_t greater) {
    const std::size_t key = NextKey(tag + 5);
    if (key == npos || key >= greater) {
      return {};
    }
    std::string colour_text;
    std::size_t i = key + (text_[key + 5] == '=' ? 6 : 8);
    while (i < text_.size() && text_[i] != '>') {
      if (text_[i] == ' ') {
        if (!SpacedEqualsAt(i)) {
          break;
        }
        colour_text += '=';
        i += 3;
        continue;
      }
      if (text_[i] != '\'') {
        colour_text += text_[i];
      }
      ++i;
    }
    return colour_text;
  }

 private:
  // " = " at `at`, its last blank followed by more than blanks before the
  // tag's ">".
  bool SpacedEqualsAt(std::size_t at) const {
    if (text_.substr(at, 3) != " = ") {
      return false;
    }
    const std::size_t next = text_.find_first_not_of(' ', at + 3);
    return next != npos && text_[next] != '>';
  }

  // The first "color" naming a colour at or after `from`, which must not be
  // smaller than in the call before; npos when there is none.
  std::size_t NextKey(std::size_t from) {
    if (searched_ && (key_ == npos || key_ >= from)) {
      return key_;
    }
    searched_ = true;
    key_ = FindNoCase(text_, "color", from);
    while (key_ != npos &&
           !(key_ + 5 < text_.size() && (text_[key_ + 5] == '=' || SpacedEqualsAt(key_ + 5)))) {
      key_ = FindNoCase(text_, "color", key_ + 1);
    }
    return key_;
  }

  std::string_view text_;
  bool searched_ = false;
  std::size_t key_ = npos;
};

void MarkIncludesAt(std::size_t text_size, const Positions& includes, const Positions& closes,
                    std::vector<MarkupSpan>& spans) {
  ForwardFinder close(closes);
  for (const std::size_t at : includes) {
    const std::size_t end = close.FindFrom(at + 1);
    const std::size_t last = end == npos ? text_size - 1 : end;
    AddSpan(spans, at, std::ptrdiff_t(last - at + 1), kIncludeRed, false, false);
  }
}

void MarkCSSFilesAt(const Positions& names, const Positions& quotes,
                    std::vector<MarkupSpan>& spans) {
  std::size_t next_quote = 0;  // the first quote not before the name
  for (const std::size_t at : names) {
    while (next_quote < quotes.size() && quotes[next_quote] < at) {
      ++next_quote;
    }
    if (next_quote > 0) {
      const std::size_t quote = quotes[next_quote - 1];
      AddSpan(spans, quote + 1, std::ptrdiff_t(at + 3 - quote), kStyleSheetPink, false, false);
    }
  }
}

bool MarkLinksAt(const Positions& links, const Positions& greaters, const Positions& ends,
                 std::vector<MarkupSpan>& spans) {
  // The last "</a>" and ">" found; npos before any.
  std::size_t close_tag = npos;
  std::size_t greater = npos;
  while (true) {
    const std::size_t open = FirstFrom(links, close_tag == npos ? 0 : close_tag + 1);
    if (greater != npos && (open == npos || open < greater)) {
      return open != npos;
    }
    if (open == npos) {
      return false;
    }
    greater = FirstFrom(greaters, open + 1);
    if (greater == npos) {
      return false;
    }
    close_tag = FirstFrom(ends, greater + 1);
    if (close_tag != npos) {
      AddSpan(spans, greater + 1, std::ptrdiff_t(close_tag - greater - 1), kLinkBlue, false, true);
    }
  }
}

void MarkFontsAt(std::string_view text, const Positions& fonts, const Positions& greaters,
                 const Positions& ends, std::vector<MarkupSpan>& spans,
                 std::vector<std::string>* bad_colours) {
  ForwardFinder greater_finder(greaters);
  ForwardFinder close_finder(ends);
  FontColourReader reader(text);
  for (const std::size_t at : fonts) {
    const std::size_t greater = greater_finder.FindFrom(at);
    const std::size_t close = close_finder.FindFrom(at + 1);
    if (close == npos) {
      continue;
    }
    const std::string colour_text = reader.ColourText(at, greater);
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

void MarkFormattingAt(const Positions& starts, const Positions& ends, std::size_t start_size,
                      SpanColour colour, bool as_bold, bool as_italic,
                      std::vector<MarkupSpan>& spans) {
  ForwardFinder end_finder(ends);
  for (const std::size_t at : starts) {
    const std::size_t end = end_finder.FindFrom(at + 1);
    if (end == npos) {
      continue;
    }
    const std::size_t inside = at + start_size;
    AddSpan(spans, inside, std::ptrdiff_t(end) - std::ptrdiff_t(inside),
            as_italic ? SpanColour(kItalicGreen) : colour, as_bold, false);
  }
}

}  // namespace

Markup UpdateMarkup(std::string_view text) {
  const KeyPositions keys = FindKeys(text);
  Markup markup;
  MarkIncludesAt(text.size(), keys.include, keys.close_bracket, markup.spans);
  MarkFormattingAt(keys.bold, keys.bold_end, 3, std::nullopt, true, false, markup.spans);
  MarkFontsAt(text, keys.font, keys.greater, keys.font_end, markup.spans, &markup.bad_font_colours);
  MarkFormattingAt(keys.italic, keys.italic_end, 3, std::nullopt, false, true, markup.spans);
  markup.unclosed_link = MarkLinksAt(keys.link, keys.greater, keys.link_end, markup.spans);
  MarkCSSFilesAt(keys.css, keys.quote, markup.spans);
  MarkFormattingAt(keys.comment, keys.comment_end, 4, kCommentGrey, false, false, markup.spans);
  return markup;
}

void MarkIncludes(std::string_view text, std::vector<MarkupSpan>& spans) {
  MarkIncludesAt(text.size(), Occurrences(text, "[include="), Occurrences(text, "]"), spans);
}

void MarkCSSFiles(std::string_view text, std::vector<MarkupSpan>& spans) {
  MarkCSSFilesAt(Occurrences(text, ".css"), Occurrences(text, "'"), spans);
}

bool MarkLinks(std::string_view text, std::vector<MarkupSpan>& spans) {
  return MarkLinksAt(Occurrences(text, "<a href"), Occurrences(text, ">", false),
                     Occurrences(text, "</a>"), spans);
}

void MarkFonts(std::string_view text, std::vector<MarkupSpan>& spans,
               std::vector<std::string>* bad_colours) {
  MarkFontsAt(text, Occurrences(text, "<font"), Occurrences(text, ">", false),
              Occurrences(text, "</font>"), spans, bad_colours);
}

void MarkFormatting(std::string_view text, std::string_view start_tag, std::string_view end_tag,
                    SpanColour colour, bool as_bold, bool as_italic,
                    std::vector<MarkupSpan>& spans) {
  if (start_tag.empty() || end_tag.empty()) {
    return;
  }
  MarkFormattingAt(Occurrences(text, start_tag), Occurrences(text, end_tag), start_tag.size(),
                   colour, as_bold, as_italic, spans);
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
