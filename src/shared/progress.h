// The progress figures behind the status strips: fraction, caption and how
// often a strip is redrawn. The drawing itself is the user interface's.
#pragma once

#include <optional>
#include <string>

#include "shared/clock.h"
#include "shared/user_interface.h"

namespace pagorin {

// One throttle serves every strip: a strip is redrawn at most once per 0.15
// seconds, except when forced and when done equals total, so long loops may
// report every step.
class ProgressIndicator {
 public:
  ProgressIndicator(Clock& clock, UserInterface& ui) : clock_(clock), ui_(ui) {}
  ProgressIndicator(const ProgressIndicator&) = delete;
  ProgressIndicator& operator=(const ProgressIndicator&) = delete;

  // Draws done/total as a bar (a total of 0 counts as 1; a negative fraction
  // as 0; above 1 is kept) with `caption`, or the whole percentage ("46%")
  // when `percent` is set. Without a colour the bar is light green when a
  // caption or percentage shows, and black otherwise.
  void showprogress(StatusStrip strip, double done, double total, const std::string& caption,
                    bool percent, bool force, std::optional<Rgb> bar_colour = std::nullopt);
  void showprogresspercent(StatusStrip strip, double done, double total,
                           std::optional<Rgb> bar_colour = std::nullopt);
  // The caption, or the percentage when the caption is empty.
  void showprogressstring(StatusStrip strip, double done, double total, const std::string& caption,
                          std::optional<Rgb> bar_colour = std::nullopt);
  void ShowProgressStringNow(StatusStrip strip, double done, double total,
                             const std::string& caption,
                             std::optional<Rgb> bar_colour = std::nullopt);
  // Clears the strip and shows `text` centred on it.
  void PrintCentered(StatusStrip strip, const std::string& text);

 private:
  Clock& clock_;
  UserInterface& ui_;
  TimePoint next_allowed_{};
};

// "46%" for 0.456: the fraction as a whole percentage, rounded half away
// from zero.
std::string FormatPercent(double fraction);

}  // namespace pagorin
