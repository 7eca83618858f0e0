#include "app/current_date_texts.h"

namespace pagorin {

const CurrentDateTexts::Texts& CurrentDateTexts::At(TimePoint now, LocaleFacts& locale) {
  const auto second = std::chrono::time_point_cast<std::chrono::seconds>(now);
  if (!made_ || second != second_) {
    const LocalDateTime local = ToLocal(now);
    texts_.file_change = DateStamp(local, locale);
    texts_.short_date = FormatDate(local, "D/MMM/YYYY", locale);
    texts_.long_date = FormatDate(local, "MMMM D, YYYY", locale);
    second_ = second;
    made_ = true;
  }
  return texts_;
}

std::string DateStamp(const LocalDateTime& when, LocaleFacts& locale) {
  return FormatDate(when, "YYYYMMDD", locale) + ";" + FormatDate(when, "HHMM0000", locale);
}

}  // namespace pagorin
