// Turning a web page into plain text, step by step. Every function changes
// its text in place and cannot fail other than by running out of memory.
#pragma once

#include <string>
#include <string_view>

#include "shared/charset.h"

namespace pagorin {

// The whole pipeline, for the keyword tools and news items: nothing for a
// blank text; otherwise removehead, brtocrlf, htmltochar, htmlconsttochar,
// convertknownformatting and striphtml in that order, then every CR CR and
// after that every LF LF becomes CR LF.
void HtmlToPlainText(std::string& text, Charset charset);

// Removes every "<style>" ... "</style>" block (any letter case), then every
// tag; the text is cut at its first NUL. A text lacking "<" or ">" is only
// cut at its first NUL.
void striphtml(std::string& text);

// Writes the text's named and numeric entities out as characters (see
// DecodeEntities) and cuts it at its first NUL; a blank text is left alone.
void htmltochar(std::string& text, Charset charset);

// Turns known formatting into its plain-text form (see
// ConvertKnownFormatting) and cuts the text at its first NUL; a blank text
// is left alone.
void convertknownformatting(std::string& text);

// Typographic entities and the decimal numeric entities, in this order:
//  1. "&hellip;" -> "...", "&bull;" -> bullet (letter case ignored);
//     "&prime;" -> "'", "&Prime;" -> '"' (letter case counting);
//  2. when the text holds "&#": the dashes, quotes, primes, ellipsis, euro
//     and bullet by their numbers (&#8211; -> "-", &#8220; -> '"', ...);
//  3. the first "&#" of the text and the first ";" after it make an entity;
//     its number is the digits it starts with (none: 0, so "&#x41;" is 0).
//     Every occurrence of that entity becomes the character of its number
//     when that is 1 to 254, and goes otherwise; then again from the start,
//     until no "&#" has a ";" after it.
// The euro sign and bullet are the bytes 0x80 and 0x95 in Windows-1252 and
// their UTF-8 forms in UTF-8; a number 1 to 254 is the Windows-1252
// character of that byte, written in `charset`. A blank text is left alone.
void htmlconsttochar(std::string& text, Charset charset);

// Removes everything up to and including the first "</head>" (any case).
void removehead(std::string& text);

// `text` as page text that shows exactly these characters and holds no
// markup of the compiler's: "&", "<", ">" and '"' as entities, and "[" and
// "$" as numeric ones, so that neither a directive nor a variable can form.
std::string TextAsHtml(std::string_view text);

// An HTML fragment as the text of an XML element: made plain (HtmlToPlainText),
// then "&", "<" and ">" as entities, "[" and "$" as numeric ones, and the
// control bytes XML forbids (all below a blank but TAB, LF and CR) left out.
std::string HtmlAsXmlText(std::string html, Charset charset);

}  // namespace pagorin
