#include "shared/markup_text.h"

#include <array>
#include <optional>

#include "shared/html_entities.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kLineBreak = "\r\n";

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsAlphanumeric(char c) {
  return IsLetter(c) || IsDigit(c);
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The position of the ">" that ends the tag opened at `open`, or npos. A
// quoted attribute value ("=" then a quote) may hold ">"; when such a quote
// never closes, the first ">" ends the tag after all.
std::size_t FindTagEnd(std::string_view text, std::size_t open) {
  bool after_equals = false;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '>') {
      return i;
    }
    if (after_equals && (c == '"' || c == '\'')) {
      const std::size_t close = text.find(c, i + 1);
      if (close == npos) {
        return text.find('>', open);
      }
      i = close;
      after_equals = false;
      continue;
    }
    if (c == '=') {
      after_equals = true;
    } else if (!IsSpace(c)) {
      after_equals = false;
    }
  }
  return npos;
}

// A tag's name and whether it closes an element, read at its "<".
struct TagName {
  std::string_view name;
  bool closing = false;
};

std::optional<TagName> ReadTagName(std::string_view text, std::size_t open) {
  std::size_t i = open + 1;
  TagName tag;
  if (i < text.size() && text[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const std::size_t start = i;
  while (i < text.size() && IsAlphanumeric(text[i])) {
    ++i;
  }
  if (i == start || !IsLetter(text[start]) || i == text.size() ||
      !(text[i] == '>' || text[i] == '/' || IsSpace(text[i]))) {
    return std::nullopt;
  }
  tag.name = text.substr(start, i - start);
  return tag;
}

// Where the markup that starts at `open` ends (one past it), or npos when
// there is no markup there.
std::size_t SkipMarkup(std::string_view text, std::size_t open) {
  const std::string_view rest = text.substr(open);
  if (rest.starts_with("<!--")) {
    const std::size_t end = text.find("-->", open + 4);
    return end == npos ? npos : end + 3;
  }
  if (rest.size() < 2 ||
      !(IsLetter(rest[1]) || rest[1] == '/' || rest[1] == '!' || rest[1] == '?')) {
    return npos;
  }
  const std::size_t end = FindTagEnd(text, open);
  if (end == npos) {
    return npos;
  }
  const std::optional<TagName> tag = ReadTagName(text, open);
  if (tag && !tag->closing &&
      (EqualsNoCase(tag->name, "script") || EqualsNoCase(tag->name, "style"))) {
    const std::string closing = "</" + std::string(tag->name);
    const std::size_t close = FindNoCase(text, closing, end + 1);
    if (close != npos) {
      const std::size_t close_end = text.find('>', close);
      if (close_end != npos) {
        return close_end + 1;
      }
    }
  }
  return end + 1;
}

std::optional<char32_t> ReadNumber(std::string_view digits, int base) {
  char32_t value = 0;
  for (const char c : digits) {
    const int digit = IsDigit(c) ? c - '0' : ToLowerAscii(c) - 'a' + 10;
    value = value * base + digit;
    if (value > 0x10FFFF) {
      return std::nullopt;
    }
  }
  return value;
}

// Decodes the entity that starts with the "&" at `amp` onto `out` and
// returns its length; returns 0, with `out` unchanged, when there is none.
std::size_t DecodeEntityAt(std::string_view text, std::size_t amp, Charset charset,
                           std::string& out) {
  constexpr std::size_t kLongestName = 32;
  std::size_t i = amp + 1;
  const bool numeric = i < text.size() && text[i] == '#';
  bool hex = false;
  if (numeric) {
    ++i;
    hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    i += hex ? 1 : 0;
  }
  const std::size_t start = i;
  const auto accepted = [&](char c) {
    return numeric ? (IsDigit(c) || (hex && IsAlphanumeric(c) && ToLowerAscii(c) <= 'f'))
                   : IsAlphanumeric(c);
  };
  while (i < text.size() && i - start <= kLongestName && accepted(text[i])) {
    ++i;
  }
  if (i == start || i >= text.size() || text[i] != ';') {
    return 0;
  }
  const std::string_view body = text.substr(start, i - start);
  const std::size_t length = i + 1 - amp;
  const std::size_t mark = out.size();
  if (numeric) {
    std::optional<char32_t> code = ReadNumber(body, hex ? 16 : 10);
    if (!code) {
      return 0;
    }
    if (*code >= 0x80 && *code <= 0x9F) {
      code = Windows1252ToUnicode(static_cast<unsigned char>(*code));
    }
    return AppendInCharset(out, *code, charset) ? length : 0;
  }
  if (body == "nbsp") {
    out += ' ';
    return length;
  }
  const NamedEntity* entity = FindNamedEntity(body);
  if (entity == nullptr || !AppendInCharset(out, entity->first, charset) ||
      (entity->second != 0 && !AppendInCharset(out, entity->second, charset))) {
    out.resize(mark);
    return 0;
  }
  return length;
}

// The plain-text form of a tag, or nullopt for a tag left as it is.
std::optional<std::string_view> PlainFormOf(const TagName& tag) {
  static constexpr std::array<std::string_view, 18> kBlockEnds = {
      "p",  "div", "h1", "h2", "h3", "h4",    "h5",         "h6",  "tr",
      "ul", "ol",  "dl", "dt", "dd", "table", "blockquote", "pre", "address"};
  const auto is = [&](std::string_view name) { return EqualsNoCase(tag.name, name); };
  if (is("br")) {
    return kLineBreak;
  }
  if (tag.closing) {
    if (is("td") || is("th")) {
      return "\t";
    }
    for (const std::string_view name : kBlockEnds) {
      if (is(name)) {
        return kLineBreak;
      }
    }
    return std::nullopt;
  }
  if (is("li")) {
    return "\r\n* ";
  }
  if (is("hr")) {
    return "\r\n----------------------------------------\r\n";
  }
  return std::nullopt;
}

// Copies `text`, handing every `marker` to `rewrite`(position, out). It
// appends what stands for the markup there and returns the position just
// past that markup, or returns npos (appending nothing) to keep the marker
// as plain text.
template <typename Rewrite>
std::string RewriteAtMarkers(std::string_view text, char marker, Rewrite rewrite) {
  std::string out;
  out.reserve(text.size());
  std::size_t done = 0;
  for (std::size_t at = text.find(marker); at != npos; at = text.find(marker, done)) {
    out.append(text, done, at - done);
    const std::size_t end = rewrite(at, out);
    if (end == npos) {
      out += marker;
      done = at + 1;
    } else {
      done = end;
    }
  }
  out.append(text, done);
  return out;
}

}  // namespace

std::string StripTags(std::string_view text) {
  return RewriteAtMarkers(
      text, '<', [&](std::size_t open, std::string& /*out*/) { return SkipMarkup(text, open); });
}

std::string DecodeEntities(std::string_view text, Charset charset) {
  return RewriteAtMarkers(text, '&', [&](std::size_t amp, std::string& out) {
    const std::size_t length = DecodeEntityAt(text, amp, charset, out);
    return length == 0 ? npos : amp + length;
  });
}

std::string ConvertKnownFormatting(std::string_view text) {
  return RewriteAtMarkers(text, '<', [&](std::size_t open, std::string& out) {
    const std::optional<TagName> tag = ReadTagName(text, open);
    const std::optional<std::string_view> plain = tag ? PlainFormOf(*tag) : std::nullopt;
    const std::size_t end = plain ? FindTagEnd(text, open) : npos;
    if (end == npos) {
      return npos;
    }
    out.append(*plain);
    return end + 1;
  });
}

}  // namespace pagorin
