#include "tools/wildcard_replace.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

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

// One pass over the text: at each left part the shortest match; a match
// seen before (in any case) is replaced as it was the first time, a new one
// is replaced around its own run where the left part stands in its own case
// (the first match in any case), and other places are passed over.
//
// That is what the loop that starts again from the start after every
// replacement does, as long as its replacements cannot meet: a replacement
// makes no left part, no replacement covers the start of another possible
// match, and no match passed over comes back later as text to replace. With
// `exact` the pass gives up (nullopt) at the first place where that is not
// sure, so that the loop itself can be run; without it every replacement is
// made once and the search goes on after it.
std::optional<std::string> ReplaceOnePass(std::string_view text, const WildcardParts& parts,
                                          bool exact, int* matches) {
  const std::string_view left = parts.old_left, right = parts.old_right;
  *matches = 0;
  std::string out;
  std::size_t copied = 0;  // text before this is in `out`
  std::size_t search = 0;  // where the next left part is looked for
  // The last right part found, and from where it was looked for: a later
  // search from a place in between finds the same one.
  std::size_t right_from = std::string_view::npos, right_at = std::string_view::npos;
  // Each matched text (lower case) and what replaced it first.
  std::unordered_map<std::string, std::string> replaced;
  // Matches passed over (lower case), and where the last of them ends.
  std::unordered_set<std::string> passed;
  std::size_t passed_end = 0;
  // Matches passed over may overlap each other: their texts are kept only up
  // to a few times the text's length, which keeps the cost linear.
  std::size_t key_budget = 8 * text.size() + 65536;
  while (true) {
    const std::size_t a = FindNoCase(text, left, search);
    if (a == std::string_view::npos) {
      break;
    }
    const std::size_t s = a + left.size();
    if (right_from == std::string_view::npos || s + 1 < right_from || s + 1 > right_at) {
      right_from = s + 1;
      right_at = s + 1 > text.size() ? std::string_view::npos : FindNoCase(text, right, s + 1);
    }
    if (right_at == std::string_view::npos) {
      break;
    }
    const std::size_t e = right_at + right.size();
    if (exact && e - a > key_budget) {
      return std::nullopt;
    }
    key_budget -= std::min(key_budget, e - a);
    std::string key = LCase(text.substr(a, e - a));
    const bool starts_match = *matches == 0 || text.compare(a, left.size(), left) == 0;
    auto earlier = replaced.find(key);
    if (earlier == replaced.end() && !starts_match) {
      if (exact) {
        passed_end = std::max(passed_end, e);
        passed.insert(std::move(key));
      }
      search = a + 1;
      continue;
    }
    if (earlier == replaced.end()) {
      if (exact && passed.contains(key)) {
        return std::nullopt;  // the loop replaces the place passed over too
      }
      std::string own = parts.new_left;
      own.append(text, s, right_at - s);
      own += parts.new_right;
      earlier = replaced.emplace(std::move(key), std::move(own)).first;
    }
    const std::string& replacement = earlier->second;
    out.append(text, copied, a - copied);
    if (exact) {
      // A place passed over that reaches into this match; another left part
      // inside the match; a left part in or across the replacement.
      const std::size_t reach = std::min(text.size(), e + left.size() - 1);
      std::string window = out.substr(out.size() - std::min(left.size() - 1, out.size()));
      window += replacement;
      window.append(text, e, left.size() - 1);
      if (a < passed_end || FindNoCase(text.substr(0, reach), left, a + 1) != std::string::npos ||
          FindNoCase(window, left) != std::string::npos) {
        return std::nullopt;
      }
    }
    ++*matches;
    out += replacement;
    copied = search = e;
  }
  out.append(text, copied);
  return out;
}

// The loop itself: find the left part (any case the first time, in its own
// case afterwards) and the shortest run, replace every occurrence of that
// match in the whole text, start again from the start. Nullopt when it has
// worked through a few times the text's length plus a margin, which is what
// a loop that never ends does.
std::optional<std::string> ReplaceByLoop(std::string_view text, const WildcardParts& parts,
                                         int* matches) {
  *matches = 0;
  std::size_t budget = 32 * text.size() + (std::size_t{1} << 20);
  std::string current(text);
  std::size_t a = FindNoCase(current, parts.old_left);
  while (a != std::string::npos) {
    if (current.size() + 1 > budget) {
      return std::nullopt;
    }
    budget -= current.size() + 1;
    const std::size_t s = a + parts.old_left.size();
    const std::size_t b =
        s + 1 > current.size() ? std::string::npos : FindNoCase(current, parts.old_right, s + 1);
    if (b == std::string::npos) {
      break;
    }
    const std::string_view run = std::string_view(current).substr(s, b - s);
    const std::string match = parts.old_left + std::string(run) + parts.old_right;
    const std::string replacement = parts.new_left + std::string(run) + parts.new_right;
    int count = 0;
    current = ReplacePlain(current, match, replacement, &count);
    *matches += count;
    a = current.find(parts.old_left);
  }
  return current;
}

}  // namespace

std::string ReplaceWildcard(std::string_view text, const WildcardParts& parts, int* matches) {
  std::optional<std::string> result = ReplaceOnePass(text, parts, true, matches);
  if (!result) {
    result = ReplaceByLoop(text, parts, matches);
  }
  return result ? *result : *ReplaceOnePass(text, parts, false, matches);
}

}  // namespace pagorin
