// Page text to plain text: the entity decoder, the tag stripper, the known
// formatting and the whole pipeline, in both character sets. The first byte
// picks the character set; none of them makes a text longer than a bound.
#include "fuzz_input.h"
#include "shared/html.h"
#include "shared/html_entities.h"
#include "shared/markup_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagorin;
  if (size == 0) {
    return 0;
  }
  const Charset charset = (data[0] & 1) != 0 ? Charset::kUtf8 : Charset::kWindows1252;
  const std::string text(fuzz::Text(data + 1, size - 1));

  FUZZ_CHECK(StripTags(text).size() <= text.size());
  // A decoded entity ("&#9;" to "&NotSquareSupersetEqual;") is never longer
  // than its own text, but in UTF-8 a short entity of a wide character is.
  FUZZ_CHECK(DecodeEntities(text, charset).size() <= text.size() * 4);
  ConvertKnownFormatting(text);
  if (const std::size_t amp = text.find('&'); amp != std::string::npos) {
    const std::size_t end = text.find(';', amp);
    const std::string_view name = std::string_view(text).substr(
        amp + 1, end == std::string::npos ? std::string::npos : end - amp - 1);
    if (const NamedEntity* entity = FindNamedEntity(name)) {
      FUZZ_CHECK(entity->name == name);
    }
  }

  std::string plain = text;
  HtmlToPlainText(plain, charset);
  std::string step = text;
  htmlconsttochar(step, charset);
  step = text;
  striphtml(step);
  FUZZ_CHECK(step.size() <= text.size());
  step = text;
  removehead(step);
  FUZZ_CHECK(step.size() <= text.size());

  const std::string html = TextAsHtml(text);
  FUZZ_CHECK(html.find('[') == std::string::npos && html.find('$') == std::string::npos);
  const std::string xml = HtmlAsXmlText(text, charset);
  FUZZ_CHECK(xml.find('<') == std::string::npos && xml.find('[') == std::string::npos);
  return 0;
}
