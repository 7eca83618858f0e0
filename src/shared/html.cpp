#include "shared/html.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "shared/markup_text.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::size_t npos = std::string::npos;

bool IsBlank(const std::string& text) {
  return TrimView(text).empty();
}

std::string CharacterText(char32_t code_point, Charset charset) {
  std::string out;
  AppendInCharset(out, code_point, charset);
  return out;
}

// What the numeric entity "&#" + body + ";" becomes in htmlconsttochar.
std::string NumericEntityValue(std::string_view body, Charset charset) {
  int number = 0;
  for (std::size_t i = 0; i < body.size() && body[i] >= '0' && body[i] <= '9'; ++i) {
    number = number * 10 + (body[i] - '0');
    if (number >= 255) {
      return {};
    }
  }
  if (number <= 0) {
    return {};
  }
  if (charset == Charset::kWindows1252) {
    return std::string(1, static_cast<char>(number));
  }
  return CharacterText(Windows1252ToUnicode(static_cast<unsigned char>(number)), charset);
}

// Resolves the numeric entities in one left-to-right pass. That gives the
// result of "replace every occurrence, then search again from the start"
// whenever no entity holds another "&#" before its ";" and no replacement
// forms a new "&#" with its neighbours; otherwise it gives up (nullopt).
std::optional<std::string> ResolveNumericEntitiesInOnePass(std::string_view text, Charset charset) {
  std::string out;
  out.reserve(text.size());
  std::size_t done = 0;
  std::size_t amp = text.find("&#");
  while (amp != npos) {
    const std::size_t semicolon = text.find(';', amp + 2);
    if (semicolon == npos) {
      break;
    }
    const std::size_t next_amp = text.find("&#", amp + 2);
    if (next_amp < semicolon) {
      return std::nullopt;
    }
    out.append(text, done, amp - done);
    const std::string value =
        NumericEntityValue(text.substr(amp + 2, semicolon - amp - 2), charset);
    const bool ampersand_before = !out.empty() && out.back() == '&';
    const bool hash_after = semicolon + 1 < text.size() && text[semicolon + 1] == '#';
    if ((value.empty() && ampersand_before && hash_after) || (value == "&" && hash_after) ||
        (value == "#" && ampersand_before)) {
      return std::nullopt;
    }
    out += value;
    done = semicolon + 1;
    amp = next_amp;
  }
  out.append(text, done);
  return out;
}

// The rule as stated, for the texts the one-pass form gives up on. Each
// round shortens the text, so it ends; a round only looks at the text from
// the entity on, since no "&#" can start before the character ahead of it.
std::string ResolveNumericEntitiesRoundByRound(std::string text, Charset charset) {
  std::size_t from = 0;
  while (true) {
    const std::size_t amp = text.find("&#", from);
    const std::size_t semicolon = amp == npos ? npos : text.find(';', amp + 2);
    if (semicolon == npos) {
      return text;
    }
    const std::string entity = text.substr(amp, semicolon - amp + 1);
    const std::string value =
        NumericEntityValue(std::string_view(entity).substr(2, entity.size() - 3), charset);
    std::string rest = ReplaceAll(std::string_view(text).substr(amp), entity, value, true);
    text.resize(amp);
    text += rest;
    from = amp > 0 ? amp - 1 : 0;
  }
}

}  // namespace

void HtmlToPlainText(std::string& text, Charset charset) {
  if (IsBlank(text)) {
    return;
  }
  removehead(text);
  brtocrlf(text);
  htmltochar(text, charset);
  htmlconsttochar(text, charset);
  convertknownformatting(text);
  striphtml(text);
  replacewith_nc(text, "\r\r", "\r\n");
  replacewith_nc(text, "\n\n", "\r\n");
}

void striphtml(std::string& text) {
  if (IsBlank(text)) {
    return;
  }
  if (text.find('<') == npos || text.find('>') == npos) {
    cutoffnull(text);
    return;
  }
  constexpr std::string_view kOpen = "<style>";
  constexpr std::string_view kClose = "</style>";
  std::string kept;
  std::size_t done = 0;
  while (true) {
    const std::size_t open = FindNoCase(text, kOpen, done);
    const std::size_t close = open == npos ? npos : FindNoCase(text, kClose, open + kOpen.size());
    if (close == npos) {
      break;
    }
    kept.append(text, done, open - done);
    done = close + kClose.size();
  }
  kept.append(text, done);
  text = StripTags(kept);
  cutoffnull(text);
}

void htmltochar(std::string& text, Charset charset) {
  if (IsBlank(text)) {
    return;
  }
  text = DecodeEntities(text, charset);
  cutoffnull(text);
}

void convertknownformatting(std::string& text) {
  if (IsBlank(text)) {
    return;
  }
  text = ConvertKnownFormatting(text);
  cutoffnull(text);
}

void htmlconsttochar(std::string& text, Charset charset) {
  if (IsBlank(text)) {
    return;
  }
  const std::string bullet = CharacterText(0x2022, charset);
  const std::string euro = CharacterText(0x20AC, charset);
  replacewith(text, "&hellip;", "...");
  replacewith(text, "&bull;", bullet);
  replacewith_nc(text, "&prime;", "'");
  replacewith_nc(text, "&Prime;", "\"");
  if (text.find("&#") == npos) {
    return;
  }
  const std::array<std::pair<std::string_view, std::string_view>, 11> typographic = {{
      {"&#8230;", "..."},
      {"&#8220;", "\""},
      {"&#8221;", "\""},
      {"&#8243;", "\""},
      {"&#8216;", "'"},
      {"&#8217;", "'"},
      {"&#8242;", "'"},
      {"&#8211;", "-"},
      {"&#8212;", "-"},
      {"&#8364;", euro},
      {"&#8226;", bullet},
  }};
  for (const auto& [entity, value] : typographic) {
    replacewith(text, entity, value);
  }
  std::optional<std::string> resolved = ResolveNumericEntitiesInOnePass(text, charset);
  text = resolved ? std::move(*resolved) : ResolveNumericEntitiesRoundByRound(text, charset);
}

void removehead(std::string& text) {
  constexpr std::string_view kHeadEnd = "</head>";
  const std::size_t end = FindNoCase(text, kHeadEnd);
  if (end != npos) {
    text.erase(0, end + kHeadEnd.size());
  }
}

namespace {

// Appends `c` to *out, as an entity when it is one of `special`.
void AppendEscaped(char c, std::string_view special, std::string* out) {
  if (special.find(c) == std::string_view::npos) {
    out->push_back(c);
    return;
  }
  switch (c) {
    case '&':
      out->append("&amp;");
      return;
    case '<':
      out->append("&lt;");
      return;
    case '>':
      out->append("&gt;");
      return;
    case '"':
      out->append("&quot;");
      return;
    default:
      out->append("&#" + std::to_string(static_cast<unsigned char>(c)) + ";");
      return;
  }
}

}  // namespace

std::string TextAsHtml(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    AppendEscaped(c, "&<>\"[$", &result);
  }
  return result;
}

std::string HtmlAsXmlText(std::string html, Charset charset) {
  HtmlToPlainText(html, charset);
  std::string result;
  result.reserve(html.size());
  for (const char c : html) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      continue;
    }
    AppendEscaped(c, "&<>[$", &result);
  }
  return result;
}

}  // namespace pagorin
