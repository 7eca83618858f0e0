#include "gui/qt_text.h"

#include <QList>
#include <QStringDecoder>

#include "shared/settings.h"

namespace pagorin {

namespace {

QString FromWindows1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char byte : bytes) {
    const char32_t code = Windows1252ToUnicode(static_cast<unsigned char>(byte));
    text.append(QChar(static_cast<char16_t>(code)));  // every 1252 character is in the BMP
  }
  return text;
}

}  // namespace

QString ToQt(std::string_view bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) {
    return text;
  }
  return FromWindows1252(bytes);
}

std::string FromQt(const QString& text) {
  return text.toStdString();
}

std::string ToProjectText(const QString& text, Charset charset) {
  if (charset == Charset::kUtf8) {
    return text.toStdString();
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (const char32_t code : text.toUcs4()) {
    if (!AppendInCharset(bytes, code, Charset::kWindows1252)) {
      bytes += "&#" + std::to_string(static_cast<unsigned long>(code)) + ";";
    }
  }
  return bytes;
}

QString FromProjectText(std::string_view bytes, Charset charset) {
  return charset == Charset::kUtf8 ? ToQt(bytes) : FromWindows1252(bytes);
}

std::string EditedText(const QString& text, std::string_view shown) {
  return text == ToQt(shown) ? std::string(shown) : FromQt(text);
}

std::string EditedProjectText(const QString& text, std::string_view shown, Charset charset) {
  return text == FromProjectText(shown, charset) ? std::string(shown)
                                                 : ToProjectText(text, charset);
}

QString ToEditorText(std::string_view bytes, Charset charset) {
  QString text = FromProjectText(bytes, charset);
  text.replace("\r\n", "\n");
  return text;
}

std::string FromEditorText(const QString& text, Charset charset, bool crlf) {
  QString lines = text;
  if (crlf) {
    lines.replace("\r\n", "\n");
    lines.replace("\n", "\r\n");
  }
  return ToProjectText(lines, charset);
}

bool UsesCrLf(std::string_view bytes) {
  return bytes.find("\r\n") != std::string_view::npos || bytes.find('\n') == std::string_view::npos;
}

Charset ProjectCharset(const cSHAREDSettings& project_settings) {
  return CharsetFromName(project_settings.sGet("Charset").Text());
}

}  // namespace pagorin
