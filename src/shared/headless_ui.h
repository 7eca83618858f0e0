// The seam for unattended runs: no windows, messages on standard error.
#pragma once

#include <cstdio>

#include "shared/user_interface.h"

namespace pagorin {

// Messages are printed as "pagorin: TEXT"; questions take their safe answer;
// the main status strip becomes a one-line bar when `out` is a terminal and
// stays silent otherwise. Commands that print or keep more derive from it.
class HeadlessUi : public UserInterface {
 public:
  explicit HeadlessUi(std::FILE* out = stderr);
  ~HeadlessUi() override;

  Answer ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                     Icon icon) override;
  void ShowErrorReport(const std::string& error_text, const std::string& help_topic) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void DrawStatus(StatusStrip strip, const StatusFrame& frame) override;
  void SetPointer(Pointer) override {}
  void SetControlsEnabled(bool) override {}
  void ProcessEvents() override {}
  bool InputPending() override { return false; }
  // Starts xdg-open on it, detached; false when that cannot be started.
  bool OpenDocument(const std::string& path_or_url) override;
  bool CanAsk() const override { return false; }

  // How many messages were shown: the runner's exit status depends on it.
  int messages_shown() const { return messages_shown_; }

 private:
  void EndBarLine();

  std::FILE* out_;
  bool terminal_;
  bool bar_on_screen_ = false;
  int messages_shown_ = 0;
};

}  // namespace pagorin
