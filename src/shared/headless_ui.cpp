#include "shared/headless_ui.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace pagorin {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

HeadlessUi::HeadlessUi(std::FILE* out) : out_(out), terminal_(::isatty(::fileno(out)) != 0) {}

HeadlessUi::~HeadlessUi() { EndBarLine(); }

void HeadlessUi::EndBarLine() {
  if (bar_on_screen_) {
    std::fputc('\n', out_);
    bar_on_screen_ = false;
  }
}

Answer HeadlessUi::ShowMessage(const std::string& text, Buttons buttons,
                               const std::string& /*title*/, Icon /*icon*/) {
  EndBarLine();
  ++messages_shown_;
  std::fprintf(out_, "pagorin: %s\n", text.c_str());
  std::fflush(out_);
  switch (buttons) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
    case Buttons::kYesNoCancel:
      return Answer::kNo;
    case Buttons::kOkCancel:
    case Buttons::kRetryCancel:
      return Answer::kCancel;
  }
  return Answer::kOk;
}

void HeadlessUi::ShowErrorReport(const std::string& error_text, const std::string& /*help*/) {
  EndBarLine();
  ++messages_shown_;
  std::fprintf(out_, "pagorin: %s\n", error_text.c_str());
  std::fflush(out_);
}

std::optional<std::string> HeadlessUi::ChooseFile(const FileRequest& /*request*/) {
  return std::nullopt;
}

void HeadlessUi::DrawStatus(StatusStrip strip, const StatusFrame& frame) {
  if (!terminal_ || strip != StatusStrip::kMain) {
    return;
  }
  double fraction = std::clamp(frame.fraction, 0.0, 1.0);
  int filled = static_cast<int>(std::lround(fraction * kBarWidth));
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kBarWidth, '-');
  std::fprintf(out_, "\r[%s] %-40.40s", bar.c_str(), frame.caption.c_str());
  std::fflush(out_);
  bar_on_screen_ = true;
}

bool HeadlessUi::OpenDocument(const std::string& /*path_or_url*/) {
  // An unattended run opens nothing for a person who is not there.
  return false;
}

}  // namespace pagorin
