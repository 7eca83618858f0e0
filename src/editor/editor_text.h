// A file's bytes as the characters the editor shows, and back, without
// losing a byte: opening and saving an unchanged file gives back exactly
// the bytes it had.
#pragma once

#include <string>
#include <string_view>

#include "shared/charset.h"
#include "shared/env.h"

namespace pagorin {

// Bytes that stand for no character of the text (a byte sequence that is no
// UTF-8, a CR that ends no line, a NUL) are shown as the private-use
// character kRawByte + byte and written back as that byte. So are the bytes
// of the few characters a text view turns into paragraph ends (U+2029,
// U+FDD0, U+FDD1) and of those that would read as raw bytes.
inline constexpr char32_t kRawByte = 0xF700;

struct EditorText {
  std::u32string text;  // lines end in "\n" alone
  bool crlf = true;     // whether they end in CR LF in the file
};

// The file's text in `charset`. Its lines end in CR LF when every line
// feed follows a carriage return (or there is none: the program's own
// files use CR LF); then each CR LF becomes "\n". In any other file every
// CR is a raw byte, so mixed line ends come back as they were.
EditorText DecodeForEditor(std::string_view bytes, Charset charset);

// The text as the file's bytes: "\n" as CR LF when `crlf`, raw-byte
// characters as their bytes, every other character in `charset`; in
// Windows-1252 a character the code page lacks becomes a numeric character
// reference ("&#8364;") so that nothing typed is lost.
std::string EncodeFromEditor(std::u32string_view text, Charset charset, bool crlf);

// The editor's Save: the text written over `path` as EncodeFromEditor gives
// it, atomically, so that a failed save keeps the old file whole. A failure
// is logged under "cmdSave" of "frmEditor" and told in a message naming the
// file. False when the file was not saved.
bool SaveEditorFile(Env& env, const std::string& path, std::u32string_view text, Charset charset,
                    bool crlf);

}  // namespace pagorin
