#include "shared/scramble.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pagorin {
namespace {

std::string Shifted(std::string_view plain) {
  std::string out;
  for (const char c : plain) {
    out += static_cast<char>(static_cast<unsigned char>(c) + kScrambleOffset);
  }
  return out;
}

TEST(Scrambling, ShiftsEveryByteAndWritesSpecialCharactersAsEntities) {
  struct Case {
    std::string_view password, before_shift;
  };
  const Case cases[] = {
      {"ab", "ab"},
      {"a b", "a&nbsp;b"},
      {"\"<>", "&quot;&lt;&gt;"},
      {"\x96\x97", "&ndash;&mdash;"},
      {"\xC4\xE4\xFF\xA1", "&Auml;&auml;&yuml;&iexcl;"},
      {"\xA2\xDF", "&#162;&#223;"},  // no name given to these two
      {"\t\x7F\x80\xA0", "&#9;&#127;&#128;&#160;"},
      {"R&D &amp; &x", "R&D&nbsp;&amp;amp;&nbsp;&x"},  // only an entity-like "&" is escaped
      {"a&#65;", "a&amp;#65;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shifted(c.before_shift), Encrypt(c.password)) << c.password;
    EXPECT_EQ(c.password, decrypt(Encrypt(c.password))) << c.password;
  }
}

TEST(Scrambling, EveryByteSurvivesInEveryPosition) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string b(1, static_cast<char>(byte));
    for (const std::string& password : {b, b + "pw", "p" + b + "w", "pw" + b, b + b + b}) {
      ASSERT_EQ(password, decrypt(Encrypt(password))) << "byte " << byte;
    }
    // Only shifted printable ASCII reaches the project file.
    for (const char c : Encrypt(b)) {
      ASSERT_GE(static_cast<unsigned char>(c), 32 + kScrambleOffset) << byte;
      ASSERT_LE(static_cast<unsigned char>(c), 126 + kScrambleOffset) << byte;
    }
  }
}

TEST(Scrambling, RandomPasswordsOfEntityPiecesSurvive) {
  std::mt19937 random(13);
  const std::string_view pieces[] = {"&", "#", ";", "amp", "x4", "&#", "nbsp", " ", "\xE9", "\x01"};
  for (int round = 0; round < 5000; ++round) {
    std::string password;
    for (int length = 1 + static_cast<int>(random() % 12); length > 0; --length) {
      password += pieces[random() % std::size(pieces)];
    }
    ASSERT_EQ(password, decrypt(Encrypt(password)));
  }
}

TEST(Unscrambling, TakesTypedPasswordsAsTheyAre) {
  EXPECT_EQ("", decrypt(""));
  EXPECT_EQ("", Encrypt(""));
  EXPECT_EQ("secret 1", decrypt("secret 1"));
  EXPECT_EQ("   ", decrypt(Encrypt("   ")));
  // A typed password may still hold entities; they are written out.
  EXPECT_EQ("a&b", decrypt("a&amp;b"));
  // Bytes at or below the shift in a scrambled text stay as they are.
  EXPECT_EQ("a\x05", decrypt("\xE1\x05"));
}

}  // namespace
}  // namespace pagorin
