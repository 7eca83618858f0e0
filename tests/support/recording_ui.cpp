#include "support/recording_ui.h"

namespace pagorin::testing {

Answer RecordingUi::ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                                Icon icon) {
  messages.push_back({text, buttons, title, icon});
  if (answers_.empty()) {
    return SafeAnswer(buttons);
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingUi::ShowErrorReport(const std::string& error_text,
                                  const std::string& /*help_topic*/) {
  error_reports.push_back(error_text);
}

std::optional<std::string> RecordingUi::ChooseFile(const FileRequest& request) {
  file_requests.push_back(request);
  if (file_names_.empty()) {
    return std::nullopt;
  }
  std::optional<std::string> name = std::move(file_names_.front());
  file_names_.pop_front();
  return name;
}

void RecordingUi::DrawStatus(StatusStrip strip, const StatusFrame& frame) {
  (strip == StatusStrip::kMain ? main_status : upload_status).push_back(frame);
}

bool RecordingUi::OpenDocument(const std::string& path_or_url) {
  opened_documents.push_back(path_or_url);
  return open_succeeds;
}

std::vector<std::string> RecordingUi::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& message : messages) {
    texts.push_back(message.text);
  }
  return texts;
}

}  // namespace pagorin::testing
