#include "shared/text.h"

#include <algorithm>
#include <cstring>

namespace pagorin {

namespace {

constexpr char kBlank = ' ';

bool TailEqualsNoCase(const char* a, const char* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// string_view::find, letter case ignored or not, skipping to each candidate
// first byte with memchr where the library compares byte by byte.
std::size_t FindCase(std::string_view text, std::string_view part, std::size_t from,
                     bool case_sensitive) {
  if (from > text.size() || part.size() > text.size() - from) {
    return std::string_view::npos;
  }
  if (part.empty()) {
    return from;
  }
  const char* const data = text.data();
  const std::size_t last = text.size() - part.size();  // last possible start
  const char first = case_sensitive ? part[0] : ToLowerAscii(part[0]);
  const std::size_t rest = part.size() - 1;
  const auto rest_matches = [&](std::size_t i) {
    return case_sensitive ? std::memcmp(data + i + 1, part.data() + 1, rest) == 0
                          : TailEqualsNoCase(data + i + 1, part.data() + 1, rest);
  };
  if (!case_sensitive && first >= 'a' && first <= 'z') {
    // For a letter, c | 0x20 equals its small form exactly when c is the
    // small or the capital letter.
    for (std::size_t i = from; i <= last; ++i) {
      if ((data[i] | 0x20) == first && rest_matches(i)) {
        return i;
      }
    }
    return std::string_view::npos;
  }
  for (std::size_t i = from; i <= last; ++i) {
    const void* hit = std::memchr(data + i, first, last - i + 1);
    if (hit == nullptr) {
      break;
    }
    i = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
    if (rest_matches(i)) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::string UCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    c = ToUpperAscii(c);
  }
  return result;
}

std::string LCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    c = ToLowerAscii(c);
  }
  return result;
}

std::string_view TrimView(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

std::string Trim(std::string_view text) {
  return std::string(TrimView(text));
}

std::string LTrim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string RTrim(std::string_view text) {
  const std::size_t last = text.find_last_not_of(kBlank);
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::size_t FindNoCase(std::string_view text, std::string_view part, std::size_t from) {
  return FindCase(text, part, from, /*case_sensitive=*/false);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && TailEqualsNoCase(a.data(), b.data(), a.size());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t InStrText(std::string_view text, std::string_view part, std::size_t start) {
  if (start == 0) {
    start = 1;
  }
  const std::size_t found = FindNoCase(text, part, start - 1);
  return found == std::string_view::npos ? 0 : found + 1;
}

bool ContainsText(std::string_view text, std::string_view part) {
  return FindNoCase(text, part) != std::string_view::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement,
                       bool case_sensitive) {
  if (find.empty()) {
    return std::string(text);
  }
  std::string result;
  std::size_t done = 0;
  std::size_t found = FindCase(text, find, 0, case_sensitive);
  if (found == std::string_view::npos) {
    return std::string(text);
  }
  result.reserve(text.size());
  while (found != std::string_view::npos) {
    result.append(text, done, found - done);
    result.append(replacement);
    done = found + find.size();
    found = FindCase(text, find, done, case_sensitive);
  }
  result.append(text, done);
  return result;
}

void replacewith(std::string& text, std::string_view find, std::string_view replacement) {
  myreplace(text, find, replacement, false);
}

void replacewith_nc(std::string& text, std::string_view find, std::string_view replacement) {
  myreplace(text, find, replacement, true);
}

void myreplace(std::string& text, std::string_view find, std::string_view replacement,
               bool case_sensitive) {
  if (!find.empty() && FindCase(text, find, 0, case_sensitive) != std::string::npos) {
    text = ReplaceAll(text, find, replacement, case_sensitive);
  }
}

bool StringsEqual(std::string_view a, std::string_view b, bool case_sensitive) {
  return case_sensitive ? a == b : EqualsNoCase(a, b);
}

bool SetValuesEqual(std::string_view a, std::string_view b) {
  const auto clean = [](std::string_view value) {
    return TrimView(value.substr(0, value.find('\0')));
  };
  return EqualsNoCase(clean(a), clean(b));
}

std::string StripNulls(std::string_view text) {
  return RTrim(text.substr(0, text.find('\0')));
}

void cutoffnull(std::string& text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    text.resize(nul);
  }
}

std::string Quoted(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  result += '"';
  result += text;
  result += '"';
  return result;
}

std::string removenonalphanumeric(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (const char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == kBlank) {
      kept += c;
    }
  }
  return Trim(kept);
}

std::string RemoveDoubleSpaces(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kBlank && i > 0 && text[i - 1] == kBlank) {
      continue;
    }
    result += text[i];
  }
  return result;
}

std::string CRLFToSpace(std::string_view text) {
  std::string result(text);
  std::replace(result.begin(), result.end(), '\n', kBlank);
  std::replace(result.begin(), result.end(), '\r', kBlank);
  return result;
}

void brtocrlf(std::string& text) {
  replacewith(text, "<BR>", "\r\n");
}

void sortsimplecollection(std::vector<std::string>& items) {
  // A bubble sort that moves an item only past a strictly greater or smaller
  // neighbour is stable, so the stable sort gives the very same order.
  std::stable_sort(items.begin(), items.end());
}

}  // namespace pagorin
