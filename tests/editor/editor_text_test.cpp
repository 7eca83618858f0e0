// A file's bytes through the editor and back: every byte kept, whatever the
// character set and the line ends.
#include "editor/editor_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pagorin {
namespace {

struct RoundTrip {
  const char* name;
  std::string bytes;
};

const std::vector<RoundTrip> kFiles = {
    {"empty", ""},
    {"crlf", "<p>a</p>\r\n<p>b</p>\r\n"},
    {"lf", "<p>a</p>\n<p>b</p>"},
    {"mixed line ends", "a\r\nb\nc\rd\r\n"},
    {"lone cr", "a\rb"},
    {"cr before crlf", "a\r\r\nb"},
    {"utf-8 letters", "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80\r\n"},
    {"invalid sequences", "a\xFF\xC3(\xE2\x82\xED\xA0\x80\xC0\xAF\xF4\x90\x80\x80z"},
    {"cut at the end", "end \xE2\x82"},
    {"raw-byte lookalike", "\xEF\x9C\x80 and \xEF\x9F\xBF"},
    {"nul", std::string("a\0b", 3)},
    {"paragraph marks", "\xE2\x80\xA9 \xEF\xB7\x90 \xEF\xB7\x91 \xC2\xA0"},
    {"windows-1252 letters", "Gr\xFC\xDF \x80 \x81\x8D\x8F\x90\x9D\r\n"},
};

TEST(EditorText, UnchangedTextGivesBackTheFilesBytes) {
  for (const Charset charset : {Charset::kUtf8, Charset::kWindows1252}) {
    for (const RoundTrip& file : kFiles) {
      const EditorText shown = DecodeForEditor(file.bytes, charset);
      EXPECT_EQ(EncodeFromEditor(shown.text, charset, shown.crlf), file.bytes) << file.name;
    }
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    for (int i = round % 40; i > 0; --i) {
      bytes += static_cast<char>(byte(random));
    }
    for (const Charset charset : {Charset::kUtf8, Charset::kWindows1252}) {
      const EditorText shown = DecodeForEditor(bytes, charset);
      ASSERT_EQ(EncodeFromEditor(shown.text, charset, shown.crlf), bytes);
    }
  }
}

TEST(EditorText, ShowsCharactersAndLinesAsTheyAre) {
  struct Case {
    const char* name;
    std::string bytes;
    Charset charset;
    std::u32string text;
    bool crlf;
  };
  const std::vector<Case> cases = {
      {"crlf lines", "a\r\nb", Charset::kUtf8, U"a\nb", true},
      {"one line", "a", Charset::kUtf8, U"a", true},
      {"mixed keeps its CR", "a\r\nb\n", Charset::kUtf8, U"a\U0000F70D\nb\n", false},
      {"utf-8", "\xC3\xA9\xE2\x82\xAC", Charset::kUtf8, U"\u00E9\u20AC", true},
      {"paragraph mark", "\xE2\x80\xA9", Charset::kUtf8, U"\U0000F7E2\U0000F780\U0000F7A9", true},
      {"bad byte", "\xE9t\xE9", Charset::kUtf8, U"\U0000F7E9t\U0000F7E9", true},
      {"windows-1252", "\xE9\x80", Charset::kWindows1252, U"\u00E9\u20AC", true},
  };
  for (const Case& c : cases) {
    const EditorText shown = DecodeForEditor(c.bytes, c.charset);
    EXPECT_EQ(shown.text, c.text) << c.name;
    EXPECT_EQ(shown.crlf, c.crlf) << c.name;
  }
}

TEST(EditorText, TypedTextIsWrittenInTheCharacterSet) {
  EXPECT_EQ(EncodeFromEditor(U"\u20AC\u2192\n", Charset::kWindows1252, true), "\x80&#8594;\r\n");
  EXPECT_EQ(EncodeFromEditor(U"\u20AC\u2192\n", Charset::kUtf8, false),
            "\xE2\x82\xAC\xE2\x86\x92\n");
}

}  // namespace
}  // namespace pagorin
