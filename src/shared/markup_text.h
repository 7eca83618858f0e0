// Our own text library for turning page markup into plain text: tag
// stripping, entity decoding and the plain-text form of known formatting.
//
// Each function reads the whole text and returns a new one; none writes
// outside the strings it is given, whatever bytes the text holds.
#pragma once

#include <string>
#include <string_view>

#include "shared/charset.h"

namespace pagorin {

// The text without markup: every tag ("<" followed by a letter, "/", "!" or
// "?", up to its ">"; a ">" inside a quoted attribute value does not end it)
// and every comment ("<!--" to "-->") is removed. Script and style elements
// go with everything inside them, since their content is code, not text. A
// "<" that starts no tag, or whose tag never closes, stays. The result is
// never longer than the text.
std::string StripTags(std::string_view text);

// The text with every character entity written out in `charset`: named ones
// ("&auml;", all names of HTML5, letter case counting) and numeric ones,
// decimal ("&#228;") and hexadecimal ("&#xE4;"). The closing ";" is
// required. Numeric codes 128 to 159 stand for the Windows-1252 characters
// of those bytes, as browsers read them. "&nbsp;" becomes a plain blank,
// which is what a non-breaking space means in plain text. An entity that is
// unknown, or whose character `charset` cannot write, stays as written.
std::string DecodeEntities(std::string_view text, Charset charset);

// The text with the formatting markup that carries layout turned into its
// plain-text form, in any letter case and with any attributes:
//   <br>, </p>, </div>, </h1>..</h6>, </tr>, </ul>, </ol>, </dl>, </dt>,
//   </dd>, </table>, </blockquote>, </pre>, </address>  ->  CR LF
//   <li>   ->  CR LF "* "
//   <hr>   ->  CR LF, a line of 40 dashes, CR LF
//   </td>, </th>  ->  a tab, so that table cells stay apart
// Every other tag is left for StripTags.
std::string ConvertKnownFormatting(std::string_view text);

}  // namespace pagorin
