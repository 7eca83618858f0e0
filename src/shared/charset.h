// The project's character set: how a character code becomes bytes.
#pragma once

#include <string>
#include <string_view>

namespace pagorin {

// The project key Charset: "utf-8" or "windows-1252". Projects without the
// key were made on Windows and are Windows-1252.
enum class Charset { kUtf8, kWindows1252 };

// kUtf8 for "utf-8" or "utf8" in any letter case, kWindows1252 otherwise.
Charset CharsetFromName(std::string_view name);

// The character a Windows-1252 byte stands for. The five bytes that code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the code
// points of the same number, so every byte has a character and back.
char32_t Windows1252ToUnicode(unsigned char byte);

// Appends `code_point` written in `charset` and returns true; appends
// nothing and returns false when the character cannot be written there: code
// point 0, a UTF-16 surrogate or above U+10FFFF, or, in Windows-1252, a
// character that code page lacks.
bool AppendInCharset(std::string& out, char32_t code_point, Charset charset);

}  // namespace pagorin
