#include "news/news_item.h"

#include "shared/html.h"
#include "shared/text.h"

namespace pagorin {

std::string clsNewsItem::Summary(int NumWords) const {
  std::string text = strStory;
  replacewith(text, "<br>", " ");
  striphtml(text);

  // Each word with one blank after it; a run of blanks counts as one.
  std::string result;
  int count = 0;
  std::size_t at = 0;
  while (count < NumWords) {
    const std::size_t blank = text.find(' ', at);
    if (blank == std::string::npos) {
      result.append(text, at);
      break;
    }
    if (blank > at || at == 0 || text[at - 1] != ' ') {
      result.append(text, at, blank - at).append(1, ' ');
      ++count;
    }
    at = blank + 1;
  }
  return Trim(result);
}

std::string FourDigits(std::int64_t number) {
  unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                            : static_cast<unsigned long long>(number);
  char digits[24];
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (digits + sizeof digits - first < 4) {
    *--first = '0';
  }
  if (number < 0) {
    *--first = '-';
  }
  return std::string(first, digits + sizeof digits);
}

}  // namespace pagorin
