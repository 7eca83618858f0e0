#include "shared/charset.h"

#include <array>

#include "shared/text.h"

namespace pagorin {

namespace {

// The characters of the bytes 0x80..0x9F; undefined bytes stand for
// themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

// The byte for a code point in Windows-1252, or -1.
int Windows1252Byte(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int>(code_point);
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code_point) {
      return static_cast<int>(0x80 + i);
    }
  }
  return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

Charset CharsetFromName(std::string_view name) {
  const std::string_view trimmed = TrimView(name);
  return EqualsNoCase(trimmed, "utf-8") || EqualsNoCase(trimmed, "utf8") ? Charset::kUtf8
                                                                         : Charset::kWindows1252;
}

char32_t Windows1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

bool AppendInCharset(std::string& out, char32_t code_point, Charset charset) {
  if (code_point == 0 || code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return false;
  }
  if (charset == Charset::kUtf8) {
    AppendUtf8(out, code_point);
    return true;
  }
  const int byte = Windows1252Byte(code_point);
  if (byte < 0) {
    return false;
  }
  out += static_cast<char>(byte);
  return true;
}

}  // namespace pagorin
