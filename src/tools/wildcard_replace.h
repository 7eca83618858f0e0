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

// Replacement around the wildcard, with the results of a loop that, after
// each replacement, searches the text again from its start:
//  - the first match starts at the first occurrence of the left part in any
//    letter case, later ones only where it stands in the case given;
//  - a match is replaced around its own run, and every later occurrence (in
//    any case) of an earlier match's text is replaced as that match was;
//  - after a replacement the search goes on from just before it, so that a
//    match the replacement makes (nested tags, a run holding the left part)
//    is found as the loop would find it;
//  - the run ends where the right part cannot be found.
// Where that loop would never end (the replacement keeps making the match
// again), each replacement is made once and the search goes on after it.
// The cost stays linear in the length of the text. *matches is how many
// replacements were made.
std::string ReplaceWildcard(std::string_view text, const WildcardParts& parts, int* matches);

}  // namespace pagorin
