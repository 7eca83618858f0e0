// The version text of a release server: reading it, comparing versions, and
// the checksum line with the SHA-256 it carries.
#include "update/version_text.h"

#include <gtest/gtest.h>

#include "shared/checksum.h"

namespace pagorin {
namespace {

constexpr const char* kDigest = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

TEST(ExtractVersion, FieldsSuffixAndAddress) {
  const std::string checksum_line = std::string("SHA256: ") + kDigest;
  const struct {
    std::string text;
    ReleaseVersion expected;
    std::string compact, display;
  } cases[] = {
      {"2.1.0\r\nhttps://x.example/site-@@@.tar.gz",
       {2, 1, 0, "", "https://x.example/site-210.tar.gz", ""},
       "210",
       "2.1.0"},
      {"1.0.50b\nhttps://x.example/a\r\n/b-@@@\r\n",
       {1, 0, 50, "b", "https://x.example/a/b-1050b", ""},
       "1050b",
       "1.0.50B"},
      // The checksum line is no part of the address, wherever it stands.
      {"3.4.5\r\n" + checksum_line + "\r\nhttps://x.example/r.tgz\r\n",
       {3, 4, 5, "", "https://x.example/r.tgz", kDigest},
       "345",
       "3.4.5"},
      {"3.4.5\nhttps://x.example/r.tgz\n  sha256:" + std::string(kDigest) + "  ",
       {3, 4, 5, "", "https://x.example/r.tgz", kDigest},
       "345",
       "3.4.5"},
      // A line that only looks like one stays in the address.
      {"3.4.5\nhttps://x.example/r.tgz\nSHA256: 12ab",
       {3, 4, 5, "", "https://x.example/r.tgzSHA256: 12ab", ""},
       "345",
       "3.4.5"},
      {"1.2.0", {1, 2, 0, "", "", ""}, "120", "1.2.0"},
      {"7", {7, 0, 0, "", "", ""}, "700", "7.0.0"},
      {"x.y.z\nu", {0, 0, 0, "z", "u", ""}, "000z", "0.0.0Z"},
      {"1.0.50.7\nu", {1, 0, 50, "", "u", ""}, "1050", "1.0.50"},
      {"", {}, "000", "0.0.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ReleaseVersion version = ExtractVersion(c.text);
    EXPECT_EQ(c.expected, version);
    EXPECT_EQ(c.compact, CompactVersion(version));
    EXPECT_EQ(c.display, DisplayVersion(version));
  }
}

TEST(IsNewerVersion, NumbersInTurnThenTheSuffix) {
  const struct {
    const char* available;
    const char* current;
    bool newer;
  } cases[] = {
      {"1.0.51", "1.0.50", true},   {"1.0.50", "1.0.50", false},  {"1.0.50b", "1.0.50", true},
      {"1.0.50", "1.0.50b", false}, {"1.0.50c", "1.0.50b", true}, {"2.0.0", "1.9.9", true},
      {"1.9.9", "2.0.0", false},    {"1.1.0", "1.0.99", true},    {"1.0.99", "1.1.0", false},
      {"1.0.9", "1.0.10", false},   {"10.0.0", "9.0.0", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.available) + " against " + c.current);
    EXPECT_EQ(c.newer, IsNewerVersion(ExtractVersion(c.available), ExtractVersion(c.current)));
  }
}

TEST(Sha256, DigestInPiecesEqualsTheWhole) {
  Sha256 whole;
  whole.Add("test");
  EXPECT_EQ(kDigest, whole.Hex());
  Sha256 pieces;
  pieces.Add("te");
  pieces.Add("");
  pieces.Add("st");
  EXPECT_EQ(kDigest, pieces.Hex());
  Sha256 empty;
  EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", empty.Hex());
}

TEST(ChecksumLine, OnlyAfterTheFirstLineAndOnlyWhole) {
  const std::string digest(kDigest);
  const struct {
    std::string text;
    std::string digest;
    std::string without;
  } cases[] = {
      {"1.0\r\nu\r\nSHA256:" + digest + "\r\n", digest, "1.0\r\nu\r\n"},
      {"SHA256:" + digest + "\nu", "", "SHA256:" + digest + "\nu"},
      {"1.0\nsha256:" + std::string(64, 'F') + "\nsha256:" + digest, std::string(64, 'f'), "1.0\n"},
      {"1.0\nSHA256:" + digest + "0\n", "", "1.0\nSHA256:" + digest + "0\n"},
      {"1.0\nSHA256:" + std::string(63, '0') + "g\n", "",
       "1.0\nSHA256:" + std::string(63, '0') + "g\n"},
      {"1.0", "", "1.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.digest, ChecksumInVersionText(c.text));
    EXPECT_EQ(c.without, WithoutChecksumLines(c.text));
  }
}

}  // namespace
}  // namespace pagorin
