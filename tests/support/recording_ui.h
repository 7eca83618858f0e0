// A UserInterface for tests: it keeps everything shown and answers questions
// as the test scripts them.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shared/user_interface.h"

namespace pagorin::testing {

class RecordingUi final : public UserInterface {
 public:
  struct Message {
    std::string text;
    Buttons buttons;
    std::string title;
    Icon icon = Icon::kNone;
  };

  // Answers for the next questions, in order; when none is queued a question
  // gets its safe answer (No, Cancel, else OK).
  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  void QueueFileName(std::optional<std::string> name) { file_names_.push_back(std::move(name)); }

  Answer ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                     Icon icon) override;
  void ShowErrorReport(const std::string& error_text, const std::string& help_topic) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void DrawStatus(StatusStrip strip, const StatusFrame& frame) override;
  void SetPointer(Pointer pointer) override { pointers.push_back(pointer); }
  void SetControlsEnabled(bool enabled) override { controls_enabled.push_back(enabled); }
  void ProcessEvents() override { ++events_processed; }
  bool InputPending() override {
    ++input_checks;
    return input_pending;
  }
  bool OpenDocument(const std::string& path_or_url) override;
  bool CanAsk() const override { return can_ask; }

  // The texts of every message box, in order.
  std::vector<std::string> MessageTexts() const;

  std::vector<Message> messages;
  std::vector<std::string> error_reports;
  std::vector<FileRequest> file_requests;
  std::vector<StatusFrame> main_status;
  std::vector<StatusFrame> upload_status;
  std::vector<Pointer> pointers;
  std::vector<bool> controls_enabled;
  std::vector<std::string> opened_documents;
  int events_processed = 0;
  // What InputPending answers, and how often it was asked.
  bool input_pending = false;
  int input_checks = 0;
  // What OpenDocument and CanAsk answer.
  bool open_succeeds = true;
  bool can_ask = true;

 private:
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> file_names_;
};

}  // namespace pagorin::testing
