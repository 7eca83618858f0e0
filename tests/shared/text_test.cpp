#include "shared/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pagorin {
namespace {

// Random texts over a small alphabet, so that matches are frequent.
std::string RandomText(std::mt19937& random, std::string_view alphabet, int max_length) {
  std::string text(std::uniform_int_distribution<int>(0, max_length)(random), ' ');
  for (char& c : text) {
    c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
  }
  return text;
}

std::size_t NaiveFindNoCase(std::string_view text, std::string_view part, std::size_t from) {
  const std::string folded_text = LCase(text);
  return std::string_view(folded_text).find(LCase(part), from);
}

TEST(CaseAndBlanks, OnlyAsciiLettersFoldAndOnlyBlanksTrim) {
  EXPECT_EQ("ABC-Z\xC3\xA9\xE4", UCase("abc-Z\xC3\xA9\xE4"));
  EXPECT_EQ("abc-z\xC3\x89\xC4", LCase("ABC-z\xC3\x89\xC4"));
  EXPECT_EQ("\ta b\t", Trim("  \ta b\t  "));
  EXPECT_EQ("a  ", LTrim("  a  "));
  EXPECT_EQ("  a", RTrim("  a  "));
  EXPECT_EQ("", Trim("    "));
}

TEST(FindNoCase, FindsWithAsciiCaseIgnored) {
  EXPECT_EQ(1u, FindNoCase("x[INCLUDE=a.inc]", "[include=", 0));
  EXPECT_EQ(std::string_view::npos, FindNoCase("\xC3\xA9", "\xC3\x89", 0));  // not ASCII
  EXPECT_EQ(4u, InStrText("abcaB", "ab", 2));
  EXPECT_EQ(1u, InStrText("abcaB", "AB"));
  EXPECT_EQ(0u, InStrText("abc", "d"));
  EXPECT_TRUE(ContainsText("<TITLE>", "<title>"));
  EXPECT_FALSE(ContainsText("<titl", "<title>"));
}

TEST(FindNoCase, AgreesWithFindingInFoldedTextsOnRandomData) {
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomText(random, "aAbB;[", 12);
    const std::string part = RandomText(random, "aAbB;[", 3);
    const std::size_t from = std::uniform_int_distribution<std::size_t>(0, 13)(random);
    ASSERT_EQ(NaiveFindNoCase(text, part, from), FindNoCase(text, part, from))
        << text << " / " << part << " from " << from;
  }
}

TEST(Replacing, ReplacesEveryOccurrenceOnceFromLeftToRight) {
  struct Case {
    std::string_view text, find, replacement;
    bool case_sensitive;
    std::string_view expected;
  };
  const Case cases[] = {
      {"aAa", "a", "xx", false, "xxxxxx"},
      {"aAa", "a", "xx", true, "xxAxx"},
      {"aaa", "aa", "b", true, "ba"},  // occurrences do not overlap
      {"a", "a", "aa", false, "aa"},   // replaced text is not searched again
      {"abc", "", "x", false, "abc"},  // nothing to find
      {"[Name] and [NAME]", "[name]", "Ann", false, "Ann and Ann"},
      {"no match", "xyz", "1", false, "no match"},
  };
  for (const Case& c : cases) {
    std::string text(c.text);
    myreplace(text, c.find, c.replacement, c.case_sensitive);
    EXPECT_EQ(c.expected, text) << c.text;
  }
  std::string text = "a<br>b<BR>c<Br />";
  brtocrlf(text);
  EXPECT_EQ("a\r\nb\r\nc<Br />", text);
}

TEST(Cleaning, NullsBlanksAndLineEnds) {
  using std::string_literals::operator""s;
  EXPECT_TRUE(StringsEqual("Name", "NAME", false));
  EXPECT_FALSE(StringsEqual("Name", "NAME", true));
  EXPECT_TRUE(SetValuesEqual("  Index \0junk"s, "INDEX"));
  EXPECT_EQ("  abc", StripNulls("  abc  \0def"s));
  std::string text = "abc\0def"s;
  cutoffnull(text);
  EXPECT_EQ("abc", text);
  EXPECT_EQ("Caf 2nd", removenonalphanumeric("Caf\xC3\xA9, 2nd!"));
  EXPECT_EQ("", removenonalphanumeric("!?\xE9"));
  EXPECT_EQ("a b", RemoveDoubleSpaces("a     b"));
  EXPECT_EQ(" a b c ", RemoveDoubleSpaces("  a  b c   "));
  EXPECT_EQ("a  b c", CRLFToSpace("a\r\nb\nc"));
}

// Equal texts cannot be told apart, so the stable bubble sort the program
// first used gives plain byte order.
TEST(Sorting, ComparesUnsignedBytes) {
  std::vector<std::string> items = {"\xE9", "b", "B", "a", "", "ab", "a"};
  sortsimplecollection(items);
  EXPECT_EQ((std::vector<std::string>{"", "B", "a", "a", "ab", "b", "\xE9"}), items);
}

}  // namespace
}  // namespace pagorin
