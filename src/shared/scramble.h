// The disguise of the FTP password in the project file: a fixed shift of
// every byte, so that the password does not show to a glance at the file.
// Anyone who knows the shift can undo it; it is not a cipher.
#pragma once

#include <string>
#include <string_view>

namespace pagorin {

// Added to every byte. It takes the printable ASCII bytes 32..126, the only
// ones Encrypt leaves to shift, to 160..254: every scrambled byte has its
// top bit set, so a scrambled text is told from a typed one by its first
// byte, and none of them is a line end, a blank or a control character that
// could upset the project file.
inline constexpr int kScrambleOffset = 128;

// The password's bytes, read as Windows-1252, with the characters that must
// not be shifted as they are written as entities, then every byte raised by
// kScrambleOffset:
//  - the double quote, blank, "<", ">", en and em dash, and the bytes 161 to
//    255 but 162 and 223 by their HTML 4 names ("&quot;", "&nbsp;",
//    "&Auml;", ...);
//  - an "&" that would be read back as the start of an entity ("&" then
//    letters, digits or "#" then ";") as "&amp;";
//  - every other byte outside 32..126 (control characters, DEL, 162, 223 and
//    the 1252 bytes 128..160 that have no name here) as "&#" + byte + ";".
// So every password of the bytes 1..255 comes back from decrypt. A password
// ends at a NUL byte.
std::string Encrypt(std::string_view password);

// The plain password from a stored one: empty for an empty text; a text
// whose first byte is 129 or above is scrambled, and each of its bytes above
// kScrambleOffset is lowered by it; any other text was typed by hand and is
// taken as it is. Then its entities are written out as Windows-1252
// characters (htmltochar). A password of blanks alone stays blanks.
std::string decrypt(std::string_view stored);

}  // namespace pagorin
