// The Qt side of the seam between the engine and the person: message boxes,
// file dialogs, the error-report window, the status strips, the mouse
// pointer and opening documents.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shared/user_interface.h"

namespace pagorin {

struct Env;
class StatusStripWidget;

// The filter of a FileRequest ("Description (*.ext)|*.ext|...") as a Qt
// name filter ("Description (*.ext);;..."). A description that does not
// name its patterns gets them in brackets; an empty filter gives "".
QString QtNameFilter(const std::string& filter);

// Dialogs are modal and parented to the window given by SetDialogParent.
//
// Test hooks, so that window tests never block:
//  - QueueAnswer: the next message box is not shown and returns the queued
//    answer; QueueFileName likewise answers the next file or folder dialog
//    (nullopt meaning Cancel).
//  - SetScripted(true): with nothing queued, no dialog is shown at all:
//    questions take their safe answer (No or Cancel, else OK), file dialogs
//    are cancelled, error reports and opened documents are only recorded.
// Whatever is answered from the queue or while scripted is recorded in
// messages(), file_requests(), error_reports() and opened_documents().
class QtUi final : public UserInterface {
 public:
  QtUi() = default;
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;
  ~QtUi() override;

  // The services the error-report window reads (the log); must outlive this
  // object's use. Without it the window is not shown and the text is logged
  // nowhere.
  void AttachEnv(Env& env) { env_ = &env; }
  void SetDialogParent(QWidget* parent) { parent_ = parent; }
  // Where each strip is drawn; a strip without a widget draws nowhere.
  void SetStatusStrip(StatusStrip strip, StatusStripWidget* widget);
  // Called by SetControlsEnabled (the main window locks its controls).
  void SetControlsHandler(std::function<void(bool)> handler) { controls_ = std::move(handler); }

  Answer ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                     Icon icon) override;
  void ShowErrorReport(const std::string& error_text, const std::string& help_topic) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;
  void DrawStatus(StatusStrip strip, const StatusFrame& frame) override;
  void SetPointer(Pointer pointer) override;
  void SetControlsEnabled(bool enabled) override;
  void ProcessEvents() override;
  // Qt cannot tell whether input is waiting without handling it, so the
  // answer is always yes: the caller then lets the events run, which costs
  // little and keeps the window alive.
  bool InputPending() override { return true; }
  bool OpenDocument(const std::string& path_or_url) override;

  // The folder browser of the windows (not part of the engine's seam); the
  // file-name queue answers it too. Nullopt when cancelled.
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& start_folder);

  // Test hooks (see above).
  void SetScripted(bool scripted) { scripted_ = scripted; }
  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  void QueueFileName(std::optional<std::string> name) { file_names_.push_back(std::move(name)); }
  struct Message {
    std::string text;
    Buttons buttons = Buttons::kOk;
    std::string title;
  };
  const std::vector<Message>& messages() const { return messages_; }
  std::vector<std::string> MessageTexts() const;
  const std::vector<FileRequest>& file_requests() const { return file_requests_; }
  const std::vector<std::string>& error_reports() const { return error_reports_; }
  const std::vector<std::string>& opened_documents() const { return opened_; }
  void ClearRecords();

 private:
  // The queued or scripted file name; nullopt when a real dialog must ask.
  std::optional<std::optional<std::string>> ScriptedFileName(const FileRequest& request);

  Env* env_ = nullptr;
  QPointer<QWidget> parent_;
  QPointer<StatusStripWidget> main_strip_;
  QPointer<StatusStripWidget> upload_strip_;
  std::function<void(bool)> controls_;
  bool pointer_overridden_ = false;

  bool scripted_ = false;
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> file_names_;
  std::vector<Message> messages_;
  std::vector<FileRequest> file_requests_;
  std::vector<std::string> error_reports_;
  std::vector<std::string> opened_;
};

}  // namespace pagorin
