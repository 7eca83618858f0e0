// General string functions on byte strings.
//
// Letter case is folded for the ASCII letters only, so UTF-8 and
// Windows-1252 text pass through unchanged. A "blank" is the space character
// (32) alone. None of these functions fails other than by running out of
// memory; every replacing function builds its result in one pass, so the
// cost is linear in the length of the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pagorin {

inline constexpr char ToUpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}
inline constexpr char ToLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

std::string UCase(std::string_view text);
std::string LCase(std::string_view text);

// Blanks removed at both ends, at the start, at the end. The View forms
// return a part of `text` and allocate nothing.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// The 0-based position of the first occurrence of `part` at or after `from`,
// ASCII letter case ignored; std::string_view::npos when there is none. An
// empty part is found at `from` when `from` lies within the text or at its
// end. Allocates nothing.
std::size_t FindNoCase(std::string_view text, std::string_view part, std::size_t from = 0);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// The 1-based position of `part` in `text` searching from the 1-based
// position `start`, letter case ignored; 0 when absent.
std::size_t InStrText(std::string_view text, std::string_view part, std::size_t start = 1);
bool ContainsText(std::string_view text, std::string_view part);

// `text` with every occurrence of `find` replaced by `replacement`, scanning
// left to right; replaced text is never searched again. An empty `find`
// leaves the text as it is.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement,
                       bool case_sensitive);
// The same in place: ignoring case, case-sensitively, and by flag.
void replacewith(std::string& text, std::string_view find, std::string_view replacement);
void replacewith_nc(std::string& text, std::string_view find, std::string_view replacement);
void myreplace(std::string& text, std::string_view find, std::string_view replacement,
               bool case_sensitive);

// Equal byte for byte, or with ASCII letter case ignored.
bool StringsEqual(std::string_view a, std::string_view b, bool case_sensitive);
// Both cut at a NUL and trimmed, then compared ignoring case.
bool SetValuesEqual(std::string_view a, std::string_view b);

// The text before its first NUL, without trailing blanks.
std::string StripNulls(std::string_view text);
// Cuts the text before its first NUL, if it holds one.
void cutoffnull(std::string& text);
// The text in double quotes.
std::string Quoted(std::string_view text);

// Only the bytes A-Z, a-z, 0-9 and blank, in order, trimmed; so every byte
// of a UTF-8 letter such as "é" goes.
std::string removenonalphanumeric(std::string_view text);
// Every run of two or more blanks becomes one blank.
std::string RemoveDoubleSpaces(std::string_view text);
// Every LF and every CR becomes a blank (CR LF becomes two blanks).
std::string CRLFToSpace(std::string_view text);
// Every "<br>", in any letter case, becomes CR LF.
void brtocrlf(std::string& text);

// Sorts ascending by bytes; equal items keep their order.
void sortsimplecollection(std::vector<std::string>& items);

}  // namespace pagorin
