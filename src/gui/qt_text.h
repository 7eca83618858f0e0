// Engine texts (bytes) as Qt strings and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "shared/charset.h"

namespace pagorin {

class cSHAREDSettings;

// For display: UTF-8 when the bytes are valid UTF-8, else Windows-1252 (a
// project made on Windows, a file name from an old disk). Never loses a byte
// to a replacement character.
QString ToQt(std::string_view bytes);
// Paths, file names and settings of the program: UTF-8.
std::string FromQt(const QString& text);
// The bytes of a box that was filled with ToQt (shown): `shown` itself while
// the box still holds that text, otherwise FromQt of the box's text.
std::string EditedText(const QString& text, std::string_view shown);

// Text that goes into the project's files and keys (titles, news stories):
// in the project's character set. In Windows-1252 a character that code page
// lacks is written as an HTML numeric entity ("&#8364;" style), so nothing
// typed is lost.
std::string ToProjectText(const QString& text, Charset charset);
QString FromProjectText(std::string_view bytes, Charset charset);
// The bytes of a box that was filled with FromProjectText (shown): `shown`
// itself while the box still holds that text, so that a byte no character
// stands for survives; otherwise the box's text in `charset`.
std::string EditedProjectText(const QString& text, std::string_view shown, Charset charset);

// A text file of the project in a multi-line box, and back: the box works
// with "\n" alone; the file gets CR LF again when `crlf` is set (the usual
// line end of the program's files; see UsesCrLf).
QString ToEditorText(std::string_view bytes, Charset charset);
std::string FromEditorText(const QString& text, Charset charset, bool crlf);
// True when a file's lines end in CR LF, or when it has no line end to go
// by (an empty or one-line file).
bool UsesCrLf(std::string_view bytes);

// The character set the project key Charset names (Windows-1252 without it).
Charset ProjectCharset(const cSHAREDSettings& project_settings);

}  // namespace pagorin
