// The text side of search and replace: plain replacement and replacement
// around one "*" wildcard, both linear in the length of the text.
#pragma once

#include <string>
#include <string_view>

namespace pagorin {

// A search text "left*right" and a replacement "newleft*newright". The
// wildcard matches the shortest run of at least one character (line breaks
// included) between left and right; the replacement puts that run between
// newleft and newright. A replacement without "*" has empty parts, so a
// match becomes its run alone.
struct WildcardParts {
  std::string old_left, old_right, new_left, new_right;
};

// Checks the search and replacement texts of a wildcard run. Returns the
// message that refuses them, or "" and the parts.
std::string SplitWildcards(const std::string& search, const std::string& replacement,
                           WildcardParts* parts);

// Every occurrence of `search` replaced by `replacement`, letter case
// ignored; *matches is how many. An empty search changes nothing.
std::string ReplacePlain(std::string_view text, std::string_view search,
                         std::string_view replacement, int* matches);

// Replacement around the wildcard, with the results of the loop that finds
// the left part (in any letter case the first time, in the case given
// afterwards) and the shortest run after it, replaces every occurrence (in
// any case) of that match in the whole text, and starts again from the
// start of the text. One pass over the text gives those results when the
// replacements cannot meet (the usual case: tags around text); otherwise
// the loop is run itself, while its work stays within a few times the
// text's length. Where the loop would never end (the replacement keeps
// making the match again), each replacement is made once and the search
// goes on after it. *matches is how many replacements were made.
std::string ReplaceWildcard(std::string_view text, const WildcardParts& parts, int* matches);

}  // namespace pagorin
