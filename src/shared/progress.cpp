#include "shared/progress.h"

#include <cmath>

namespace pagorin {

namespace {

constexpr auto kRedrawPause = std::chrono::milliseconds(150);
constexpr Rgb kLightGreen{128, 255, 128};
constexpr Rgb kBlack{0, 0, 0};

}  // namespace

std::string FormatPercent(double fraction) {
  return std::to_string(static_cast<long long>(std::round(fraction * 100))) + "%";
}

void ProgressIndicator::showprogress(StatusStrip strip, double done, double total,
                                     const std::string& caption, bool percent, bool force,
                                     std::optional<Rgb> bar_colour) {
  const bool shows_text = percent || !caption.empty();
  if (!force) {
    TimePoint now = clock_.Now();
    if (now < next_allowed_ && done != total) {
      return;
    }
    next_allowed_ = now + kRedrawPause;
  }
  if (total == 0) {
    total = 1;
  }
  double fraction = done / total;
  if (fraction < 0 || std::isnan(fraction)) {
    fraction = 0;
  }
  StatusFrame frame;
  frame.fraction = fraction;
  frame.bar_colour = bar_colour.value_or(shows_text ? kLightGreen : kBlack);
  if (shows_text) {
    frame.caption = percent ? FormatPercent(fraction) : caption;
  }
  ui_.DrawStatus(strip, frame);
  ui_.ProcessEvents();
}

void ProgressIndicator::showprogresspercent(StatusStrip strip, double done, double total,
                                            std::optional<Rgb> bar_colour) {
  showprogress(strip, done, total, "", true, false, bar_colour);
}

void ProgressIndicator::showprogressstring(StatusStrip strip, double done, double total,
                                           const std::string& caption,
                                           std::optional<Rgb> bar_colour) {
  showprogress(strip, done, total, caption, caption.empty(), false, bar_colour);
}

void ProgressIndicator::ShowProgressStringNow(StatusStrip strip, double done, double total,
                                              const std::string& caption,
                                              std::optional<Rgb> bar_colour) {
  showprogress(strip, done, total, caption, caption.empty(), true, bar_colour);
}

void ProgressIndicator::PrintCentered(StatusStrip strip, const std::string& text) {
  StatusFrame frame;
  frame.fraction = 0;
  frame.caption = text;
  ui_.DrawStatus(strip, frame);
}

}  // namespace pagorin
