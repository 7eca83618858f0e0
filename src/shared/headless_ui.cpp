#include "shared/headless_ui.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace pagorin {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

HeadlessUi::HeadlessUi(std::FILE* out) : out_(out), terminal_(::isatty(::fileno(out)) != 0) {}

HeadlessUi::~HeadlessUi() {
  EndBarLine();
}

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
  return SafeAnswer(buttons);
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

bool HeadlessUi::OpenDocument(const std::string& path_or_url) {
  // A short-lived shell starts xdg-open in the background and ends at once,
  // so the opener outlives nothing of ours and leaves no child to reap. The
  // shell's status says whether xdg-open could be started at all.
  static constexpr char kScript[] =
      "command -v xdg-open >/dev/null 2>&1 || exit 127; xdg-open \"$1\" & exit 0";
  std::string shell = "/bin/sh", dash_c = "-c", script = kScript, name = "sh";
  std::string argument = path_or_url;
  char* argv[] = {shell.data(), dash_c.data(),   script.data(),
                  name.data(),  argument.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int spawned = posix_spawn(&child, shell.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    return false;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return false;
    }
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace pagorin
