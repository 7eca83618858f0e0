// The seam between the engine and the person using it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pagorin {

// Buttons of a message box, and the answer the person gave.
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel };
enum class Answer { kOk, kCancel, kYes, kNo, kRetry };
enum class Icon { kNone, kInformation, kExclamation, kCritical, kQuestion };

// The answer given when nobody can be asked: No or Cancel where offered,
// else OK.
inline Answer SafeAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::kYesNo:
    case Buttons::kYesNoCancel:
      return Answer::kNo;
    case Buttons::kOkCancel:
    case Buttons::kRetryCancel:
      return Answer::kCancel;
    case Buttons::kOk:
      break;
  }
  return Answer::kOk;
}

// The two status strips of the main window: picStatus and picUploadStatus.
enum class StatusStrip { kMain, kUpload };

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

// One drawing of a status strip: a bar filled from the left to `fraction` of
// the width (above 1 is allowed and clipped by the strip) and a centred
// caption (empty for none).
struct StatusFrame {
  double fraction = 0;
  Rgb bar_colour{128, 255, 128};
  std::string caption;
  bool operator==(const StatusFrame&) const = default;
};

enum class Pointer { kNormal, kBusy, kBusyArrow };

// A request for a file name from the person (the common file dialogs).
struct FileRequest {
  enum class Kind { kOpen, kSave } kind = Kind::kOpen;
  std::string title;
  std::string start_folder;
  std::string proposed_name;
  std::string filter;          // "Description (*.ext)|*.ext|..." pairs
  std::string default_suffix;  // without the dot, e.g. "template"
  bool confirm_overwrite = false;
};

// Everything the engine shows or asks goes through this interface. Three
// implementations: the Qt windows, the headless runner (standard error, safe
// answers) and a recording one for tests.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows `text` and waits for an answer. Without a person to ask, the answer
  // is the safe one: No or Cancel where offered, else OK.
  virtual Answer ShowMessage(const std::string& text, Buttons buttons = Buttons::kOk,
                             const std::string& title = {}, Icon icon = Icon::kNone) = 0;
  // The error report window (showerr); returns when it is closed.
  virtual void ShowErrorReport(const std::string& error_text, const std::string& help_topic) = 0;
  // Asks for a file name; nullopt when cancelled.
  virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;

  virtual void DrawStatus(StatusStrip strip, const StatusFrame& frame) = 0;
  virtual void SetPointer(Pointer pointer) = 0;
  // Locks or unlocks the main window's controls during a long run.
  virtual void SetControlsEnabled(bool enabled) = 0;
  // Lets pending window events run (a no-op without windows).
  virtual void ProcessEvents() = 0;
  // True when keyboard or mouse input is waiting.
  virtual bool InputPending() = 0;
  // Opens a file, folder or web address with the program associated with it.
  // False when that could not be started.
  virtual bool OpenDocument(const std::string& path_or_url) = 0;
  // False when nobody is there to answer (an unattended run), so messages
  // must not ask the person to do anything but fix and re-run.
  virtual bool CanAsk() const { return true; }
};

}  // namespace pagorin
