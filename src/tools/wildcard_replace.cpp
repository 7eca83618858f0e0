#include "tools/wildcard_replace.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::string_view kWildcard = "*";

// The message for a misplaced or doubled wildcard in `text` ("search" or
// "replace" string), or "" with the parts around it.
std::string SplitOne(const std::string& text, const char* which, bool must_have, std::string* left,
                     std::string* right) {
  const std::size_t star = text.find(kWildcard);
  if (star == std::string::npos && !(must_have && text.empty())) {
    left->clear();
    right->clear();
    return "";
  }
  if (star == std::string::npos || star == 0 || star + 1 == text.size()) {
    return std::string("Wildcard cannot be first or last character in ") + which + " string";
  }
  if (text.find(kWildcard, star + 1) != std::string::npos) {
    return "You can only specify one wildcard per search/replace string";
  }
  *left = text.substr(0, star);
  *right = text.substr(star + 1);
  return "";
}

}  // namespace

std::string SplitWildcards(const std::string& search, const std::string& replacement,
                           WildcardParts* parts) {
  std::string message = SplitOne(search, "search", true, &parts->old_left, &parts->old_right);
  if (message.empty()) {
    message = SplitOne(replacement, "replace", false, &parts->new_left, &parts->new_right);
  }
  // A replacement with a wildcard and a search without one would match
  // everywhere, again and again.
  if (message.empty() && parts->old_left.empty()) {
    message = "The search string needs a wildcard when the replace string has one";
  }
  return message;
}

std::string ReplacePlain(std::string_view text, std::string_view search,
                         std::string_view replacement, int* matches) {
  *matches = 0;
  std::size_t at = search.empty() ? std::string_view::npos : FindNoCase(text, search);
  if (at == std::string_view::npos) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (; at != std::string_view::npos; at = FindNoCase(text, search, copied)) {
    out.append(text, copied, at - copied);
    out.append(replacement);
    copied = at + search.size();
    ++*matches;
  }
  out.append(text, copied);
  return out;
}

namespace {

// The replacement with `search_again` set searches each replacement again
// for new matches (see ReplaceWildcard); nullopt when that copied more than
// a few times the text's length, which is what replacements that make new
// matches without end do.
std::optional<std::string> ReplaceAround(std::string_view text, const WildcardParts& parts,
                                         bool search_again, int* matches) {
  const std::string_view left = parts.old_left, right = parts.old_right;
  *matches = 0;
  std::string out;
  std::string rebuilt;           // the text after a replacement that is searched again
  std::string_view work = text;  // the text still being searched
  std::size_t copied = 0;        // work before this is in `out`
  std::size_t made_end = 0;      // work before this was made by a replacement
  std::size_t search = 0;        // where the next left part is looked for
  // Searching a replacement again copies the rest of the text; the copies
  // may add up to a few times the text's length, which keeps the cost
  // linear.
  std::size_t copy_budget = 8 * text.size() + 4096;
  // The last right part found, and from where it was looked for: a later
  // search from a place in between finds the same one.
  std::size_t right_from = std::string_view::npos, right_at = std::string_view::npos;
  // Each matched text (lower case) and what replaced it first.
  std::unordered_map<std::string, std::string> replaced;
  while (true) {
    const std::size_t a = FindNoCase(work, left, search);
    if (a == std::string_view::npos) {
      break;
    }
    const std::size_t s = a + left.size();
    if (right_from == std::string_view::npos || s + 1 < right_from || s + 1 > right_at) {
      right_from = s + 1;
      right_at = s + 1 > work.size() ? std::string_view::npos : FindNoCase(work, right, s + 1);
    }
    if (right_at == std::string_view::npos) {
      break;
    }
    const std::size_t e = right_at + right.size();
    const std::string_view match = work.substr(a, e - a);
    // A match starts where the left part stands in its own letter case (the
    // first one in any case) and is replaced around its own run. Elsewhere
    // the text is replaced only when it is an earlier match again (in any
    // case): that match's replacement covered all of the text as it stood,
    // so not what a replacement made.
    const bool starts_match = *matches == 0 || work.compare(a, left.size(), left) == 0;
    std::string own;
    const std::string* replacement = &own;
    if (starts_match) {
      own = parts.new_left;
      own.append(work, s, right_at - s);
      own += parts.new_right;
      replaced.emplace(LCase(match), own);
    } else {
      const auto earlier = a >= made_end ? replaced.find(LCase(match)) : replaced.end();
      if (earlier == replaced.end()) {
        search = a + 1;
        continue;
      }
      replacement = &earlier->second;
    }
    ++*matches;
    out.append(work, copied, a - copied);
    // The left part may now stand inside the replacement, or across either
    // of its ends: search again from just before it while the budget lasts.
    const std::size_t back = std::min(left.size() - 1, out.size());
    std::string window = out.substr(out.size() - back) + *replacement;
    const std::size_t window_end = window.size();
    window.append(work.substr(e, left.size() - 1));
    const std::size_t again = FindNoCase(window, left);
    const std::size_t cost = window_end + (work.size() - e);
    if (!search_again || again >= window_end) {
      out += *replacement;
      copied = search = e;
      continue;
    }
    if (cost > copy_budget) {
      return std::nullopt;
    }
    copy_budget -= cost;
    out.resize(out.size() - back);
    std::string next;
    next.reserve(cost);
    next.append(window, 0, window_end);
    next.append(work, e);
    made_end = window_end + (made_end > e ? made_end - e : 0);
    rebuilt = std::move(next);
    work = rebuilt;
    copied = 0;
    search = again;
    right_from = right_at = std::string_view::npos;
  }
  out.append(work, copied);
  return out;
}

}  // namespace

std::string ReplaceWildcard(std::string_view text, const WildcardParts& parts, int* matches) {
  std::optional<std::string> replaced = ReplaceAround(text, parts, true, matches);
  return replaced ? *replaced : *ReplaceAround(text, parts, false, matches);
}

}  // namespace pagorin
