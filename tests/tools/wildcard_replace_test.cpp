// Replacing text plainly and around a wildcard: the refusals, the matches,
// and the wildcard replacement against the plain loop that restarts from the
// start of the text after every replacement.
#include "tools/wildcard_replace.h"

#include <gtest/gtest.h>

#include <random>

#include "shared/text.h"

namespace pagorin {
namespace {

// The wildcard loop written plainly: find the left part (any case the first
// time, in its own case afterwards), the shortest run up to the right part,
// replace every occurrence of that match in the whole text, start again
// from the start. Gives up (nullopt) after `most_rounds` rounds or when the
// text grows past `most_size`, which is how inputs that would loop for ever
// are recognised.
std::optional<std::string> LiteralWildcard(std::string text, const WildcardParts& p,
                                           int most_rounds = 200, std::size_t most_size = 4000) {
  std::size_t a = FindNoCase(text, p.old_left);
  for (int round = 0; a != std::string::npos; ++round) {
    if (round == most_rounds || text.size() > most_size) {
      return std::nullopt;
    }
    const std::size_t s = a + p.old_left.size();
    const std::size_t b =
        s + 1 > text.size() ? std::string::npos : FindNoCase(text, p.old_right, s + 1);
    if (b == std::string::npos) {
      break;
    }
    const std::string run = text.substr(s, b - s);
    const std::string match = p.old_left + run + p.old_right;
    int replaced = 0;
    text = ReplacePlain(text, match, p.new_left + run + p.new_right, &replaced);
    a = text.find(p.old_left);
  }
  return text;
}

TEST(SplitWildcards, MessagesAndParts) {
  const struct {
    std::string search, replacement, result;
  } cases[] = {
      {"<b>*</b>", "<strong>*</strong>", "<b>|</b>|<strong>|</strong>"},
      {"A*B", "X", "A|B||"},
      {"A*B", "", "A|B||"},
      {"*B", "X*Y", "Wildcard cannot be first or last character in search string"},
      {"A*", "X*Y", "Wildcard cannot be first or last character in search string"},
      {"", "X*Y", "Wildcard cannot be first or last character in search string"},
      {"A**B", "X", "You can only specify one wildcard per search/replace string"},
      {"A*B*C", "X", "You can only specify one wildcard per search/replace string"},
      {"A*B", "*Y", "Wildcard cannot be first or last character in replace string"},
      {"A*B", "X*", "Wildcard cannot be first or last character in replace string"},
      {"A*B", "X*Y*Z", "You can only specify one wildcard per search/replace string"},
      {"AB", "X*Y", "The search string needs a wildcard when the replace string has one"},
  };
  for (const auto& c : cases) {
    WildcardParts parts;
    const std::string message = SplitWildcards(c.search, c.replacement, &parts);
    EXPECT_EQ(c.result, message.empty() ? parts.old_left + "|" + parts.old_right + "|" +
                                              parts.new_left + "|" + parts.new_right
                                        : message)
        << c.search << " / " << c.replacement;
  }
}

TEST(ReplacePlain, EveryOccurrenceInAnyCase) {
  const struct {
    std::string text, search, replacement, result;
    int matches;
  } cases[] = {
      {"One cat, two CATS, a Cat.", "cat", "dog", "One dog, two dogS, a dog.", 3},
      {"a*b a*b", "*", "+", "a+b a+b", 2},
      {"aaaa", "aa", "a", "aa", 2},
      {"abc", "x", "y", "abc", 0},
      {"abc", "", "y", "abc", 0},
      {"r\r\nn", "\r\n", "\n", "r\nn", 1},
  };
  for (const auto& c : cases) {
    int matches = -1;
    EXPECT_EQ(c.result, ReplacePlain(c.text, c.search, c.replacement, &matches)) << c.text;
    EXPECT_EQ(c.matches, matches) << c.text;
  }
}

TEST(ReplaceWildcard, RunsAndTheirReplacements) {
  const struct {
    std::string text, search, replacement, result;
    int matches;
  } cases[] = {
      {"<b>one</b> and <b>two</b>", "<b>*</b>", "<strong>*</strong>",
       "<strong>one</strong> and <strong>two</strong>", 2},
      {"xAmidBy", "A*B", "X", "xmidy", 1},
      // The run is the shortest one, across line breaks, of one character at least.
      {"A\r\nxB AyB", "A*B", "[*]", "[\r\nx] [y]", 2},
      {"ABB", "A*B", "[*]", "[B]", 1},
      // Only the first match may start in another letter case.
      {"<B>1</B> <B>2</B> <b>3</b>", "<b>*</b>", "<i>*</i>", "<i>1</i> <B>2</B> <i>3</i>", 2},
      // A match seen once is replaced wherever it stands, in any case.
      {"<b>1</b> <B>1</B>", "<b>*</b>", "<i>*</i>", "<i>1</i> <i>1</i>", 2},
      // ... also where it stands before the match that brings it up.
      {"AqB azb AZB", "A*B", "[*]", "[q] [Z] [Z]", 3},
      // ... and as the first one was written, whatever its own letter case.
      {"<b>x</b> <b>X</b>", "<b>*</b>", "<i>*</i>", "<i>x</i> <i>x</i>", 2},
      // Overlapping matches: the first one wins.
      {"aXaXa", "a*a", "[*]", "[X]Xa", 1},
      // Nested runs are replaced from the outside in.
      {"<b>a<b>c</b></b>", "<b>*</b>", "<s>*</s>", "<s>a<s>c</s></s>", 2},
      // Replacements that hold the search text again end all the same.
      {"<b>x</b><b>y</b>", "<b>*</b>", "<b><i>*</i></b>", "<b><i>x</i></b><b><i>y</i></b>", 2},
      {"AxB", "A*B", "AA*BB", "AAxBB", 1},
      {"no right part: A...", "A*B", "X*Y", "no right part: A...", 0},
      {"", "A*B", "X*Y", "", 0},
  };
  for (const auto& c : cases) {
    WildcardParts parts;
    ASSERT_EQ("", SplitWildcards(c.search, c.replacement, &parts));
    int matches = -1;
    EXPECT_EQ(c.result, ReplaceWildcard(c.text, parts, &matches)) << c.text;
    EXPECT_EQ(c.matches, matches) << c.text;
  }
}

// Random texts and parts over a few letters in both cases, so that matches,
// nested matches, letter case and replacements that make new matches all
// come up often, as do rounds that replace the same text elsewhere too
// (before the match found, overlapping it, or in another letter case).
TEST(ReplaceWildcard, SameAsThePlainLoopWhereverThatEnds) {
  std::mt19937 random(20240307);
  const std::string letters = "abAB<>x";
  auto word = [&](int shortest, int longest) {
    std::string text(std::uniform_int_distribution<int>(shortest, longest)(random), ' ');
    for (char& c : text) {
      c = letters[std::uniform_int_distribution<std::size_t>(0, letters.size() - 1)(random)];
    }
    return text;
  };
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    const WildcardParts parts{word(1, 2), word(1, 2), word(0, 3), word(0, 3)};
    const std::string text = word(0, 24);
    const std::optional<std::string> literal = LiteralWildcard(text, parts);
    if (!literal) {
      continue;
    }
    ++compared;
    int matches = 0;
    ASSERT_EQ(*literal, ReplaceWildcard(text, parts, &matches))
        << "text " << text << " parts " << parts.old_left << "*" << parts.old_right << " -> "
        << parts.new_left << "*" << parts.new_right;
  }
  EXPECT_GT(compared, 19000);
}

}  // namespace
}  // namespace pagorin
