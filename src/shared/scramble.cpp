#include "shared/scramble.h"

#include <array>

#include "shared/charset.h"
#include "shared/html.h"

namespace pagorin {

namespace {

// The HTML 4 names of the Latin-1 characters 161..255.
constexpr std::array<std::string_view, 95> kLatin1Names = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

bool IsEntityNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

// True when the "&" at `amp` is followed by letters, digits or "#" and a
// ";": a superset of what the entity decoder reads, so that every "&" it
// could take for an entity is escaped.
bool LooksLikeEntity(std::string_view text, std::size_t amp) {
  std::size_t i = amp + 1;
  while (i < text.size() && IsEntityNameByte(text[i])) {
    ++i;
  }
  return i > amp + 1 && i < text.size() && text[i] == ';';
}

// The entity that stands for `byte` in a password, or empty when the byte
// is shifted as it is.
std::string EntityFor(std::string_view text, std::size_t i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  switch (byte) {
    case '"':
      return "&quot;";
    case ' ':
      return "&nbsp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '&':
      return LooksLikeEntity(text, i) ? "&amp;" : "";
    case 150:
      return "&ndash;";
    case 151:
      return "&mdash;";
    default:
      break;
  }
  if (byte >= 161 && byte != 162 && byte != 223) {
    return "&" + std::string(kLatin1Names[byte - 161]) + ";";
  }
  if (byte < 32 || byte > 126) {
    return "&#" + std::to_string(byte) + ";";
  }
  return {};
}

void AppendShifted(std::string& out, std::string_view plain) {
  for (const char c : plain) {
    out += static_cast<char>(static_cast<unsigned char>(c) + kScrambleOffset);
  }
}

}  // namespace

std::string Encrypt(std::string_view password) {
  password = password.substr(0, password.find('\0'));
  std::string scrambled;
  scrambled.reserve(password.size());
  for (std::size_t i = 0; i < password.size(); ++i) {
    const std::string entity = EntityFor(password, i);
    AppendShifted(scrambled, entity.empty() ? password.substr(i, 1) : std::string_view(entity));
  }
  return scrambled;
}

std::string decrypt(std::string_view stored) {
  std::string text(stored);
  if (text.empty()) {
    return text;
  }
  if (static_cast<unsigned char>(text[0]) >= 129) {
    for (char& c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte > kScrambleOffset) {
        c = static_cast<char>(byte - kScrambleOffset);
      }
    }
  }
  htmltochar(text, Charset::kWindows1252);
  return text;
}

}  // namespace pagorin
