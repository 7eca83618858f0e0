#include "news/news_item.h"

#include <cstdio>

#include "shared/html.h"
#include "shared/text.h"

namespace pagorin {

std::string clsNewsItem::Summary(int NumWords) const {
  std::string text = strStory;
  replacewith(text, "<br>", " ");
  striphtml(text);

  std::string result;
  std::string word;
  int count = 0;
  char previous = 0;
  for (const char c : text) {
    if (count >= NumWords) {
      break;
    }
    if (c != ' ') {
      word += c;
    } else if (previous != ' ') {  // a run of blanks counts as one
      result += word;
      result += ' ';
      word.clear();
      ++count;
    }
    previous = c;
  }
  if (count < NumWords) {
    result += word;
  }
  return Trim(result);
}

std::string FourDigits(std::int64_t number) {
  const unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                                  : static_cast<unsigned long long>(number);
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, number < 0 ? "-%04llu" : "%04llu", magnitude);
  return buffer;
}

}  // namespace pagorin
