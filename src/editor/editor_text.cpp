#include "editor/editor_text.h"

#include <cstddef>

#include "shared/file_system.h"
#include "shared/log.h"
#include "shared/user_interface.h"

namespace pagorin {

namespace {

bool IsRawByteCharacter(char32_t c) {
  return c >= kRawByte && c <= kRawByte + 0xFF;
}

// Characters a text view takes for the end of a paragraph; they could not
// come back as themselves.
bool IsParagraphMark(char32_t c) {
  return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

bool LineEndsAreCrLf(std::string_view bytes) {
  for (std::size_t at = bytes.find('\n'); at != std::string_view::npos;
       at = bytes.find('\n', at + 1)) {
    if (at == 0 || bytes[at - 1] != '\r') {
      return false;
    }
  }
  return true;
}

// The character of the UTF-8 sequence at `at` and its length; length 0 when
// the bytes there are no well-formed sequence (overlong forms, surrogates
// and code points above U+10FFFF included).
char32_t DecodeUtf8(std::string_view bytes, std::size_t at, std::size_t* length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  std::size_t size = 0;
  char32_t code = 0;
  char32_t smallest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2, code = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3, code = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4, code = lead & 0x07, smallest = 0x10000;
  }
  *length = 0;
  if (size == 0 || at + size > bytes.size()) {
    return 0;
  }
  for (std::size_t i = 1; i < size; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      return 0;
    }
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  *length = size;
  return code;
}

}  // namespace

EditorText DecodeForEditor(std::string_view bytes, Charset charset) {
  EditorText result;
  result.crlf = LineEndsAreCrLf(bytes);
  result.text.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    const unsigned char byte = static_cast<unsigned char>(bytes[at]);
    if (byte == '\r' && result.crlf && at + 1 < bytes.size() && bytes[at + 1] == '\n') {
      result.text += U'\n';
      at += 2;
    } else if (byte == '\r' || byte == 0) {
      result.text += kRawByte + byte;
      ++at;
    } else if (byte < 0x80) {
      result.text += char32_t(byte);
      ++at;
    } else if (charset == Charset::kWindows1252) {
      result.text += Windows1252ToUnicode(byte);
      ++at;
    } else {
      std::size_t length = 0;
      const char32_t code = DecodeUtf8(bytes, at, &length);
      // A character that reads as a raw byte or as a paragraph end would not
      // come back as itself, so its bytes are kept one by one instead.
      if (length == 0 || IsRawByteCharacter(code) || IsParagraphMark(code)) {
        result.text += kRawByte + byte;
        ++at;
      } else {
        result.text += code;
        at += length;
      }
    }
  }
  return result;
}

std::string EncodeFromEditor(std::u32string_view text, Charset charset, bool crlf) {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char32_t c : text) {
    if (c == U'\n') {
      bytes += crlf ? "\r\n" : "\n";
    } else if (IsRawByteCharacter(c)) {
      bytes += static_cast<char>(c - kRawByte);
    } else if (!AppendInCharset(bytes, c, charset)) {
      bytes += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    }
  }
  return bytes;
}

bool SaveEditorFile(Env& env, const std::string& path, std::u32string_view text, Charset charset,
                    bool crlf) {
  const FsStatus status = WriteFileAtomically(env.fs, path, EncodeFromEditor(text, charset, crlf));
  if (!status.ok()) {
    env.log.LogError(ErrorDescription(status), "cmdSave", "frmEditor");
    env.ui.ShowMessage("The file " + path + " could not be saved; it is as it was before.\r\n" +
                           ErrorDescription(status),
                       Buttons::kOk, {}, Icon::kExclamation);
    return false;
  }
  return true;
}

}  // namespace pagorin
