#include "gui/qt_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include "gui/f_shared_error_rpt.h"
#include "gui/qt_text.h"
#include "gui/status_strip.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kDefaultTitle = "Pagorin";

QMessageBox::StandardButtons QtButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return QMessageBox::Ok;
    case Buttons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::kRetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon QtIcon(Icon icon) {
  switch (icon) {
    case Icon::kNone:
      return QMessageBox::NoIcon;
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kExclamation:
      return QMessageBox::Warning;
    case Icon::kCritical:
      return QMessageBox::Critical;
    case Icon::kQuestion:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// Closing the box by its frame or Escape counts as its safe answer.
Answer FromQtButton(int button, Buttons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Retry:
      return Answer::kRetry;
    default:
      return SafeAnswer(buttons);
  }
}

bool IsWebOrMailAddress(const std::string& text) {
  static constexpr const char* kSchemes[] = {"http://", "https://", "ftp://", "mailto:", "file:"};
  for (const char* scheme : kSchemes) {
    if (StartsWithNoCase(text, scheme)) {
      return true;
    }
  }
  return false;
}

}  // namespace

QString QtNameFilter(const std::string& filter) {
  const QStringList parts = ToQt(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = parts[i + 1].trimmed().replace(';', ' ');
    if (!description.contains('(')) {
      description += " (" + patterns + ")";
    }
    filters << description;
  }
  if (parts.size() % 2 == 1 && !parts.back().trimmed().isEmpty()) {
    const QString patterns = parts.back().trimmed().replace(';', ' ');
    filters << patterns;  // a lone pattern, as in "*.pgx"
  }
  return filters.join(";;");
}

QtUi::~QtUi() {
  if (pointer_overridden_ && QApplication::instance() != nullptr) {
    QApplication::restoreOverrideCursor();
  }
}

void QtUi::SetStatusStrip(StatusStrip strip, StatusStripWidget* widget) {
  (strip == StatusStrip::kMain ? main_strip_ : upload_strip_) = widget;
}

Answer QtUi::ShowMessage(const std::string& text, Buttons buttons, const std::string& title,
                         Icon icon) {
  if (!answers_.empty() || scripted_) {
    messages_.push_back({text, buttons, title});
    if (answers_.empty()) {
      return SafeAnswer(buttons);
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  QMessageBox box(QtIcon(icon), ToQt(title.empty() ? kDefaultTitle : title), ToQt(text),
                  QtButtons(buttons), parent_);
  if (buttons == Buttons::kYesNo || buttons == Buttons::kYesNoCancel) {
    box.setDefaultButton(QMessageBox::No);
  }
  return FromQtButton(box.exec(), buttons);
}

void QtUi::ShowErrorReport(const std::string& error_text, const std::string& help_topic) {
  if (scripted_ || env_ == nullptr) {
    error_reports_.push_back(error_text);
    return;
  }
  fSHAREDErrorRpt window(*env_, error_text, help_topic, parent_);
  window.exec();
}

std::optional<std::optional<std::string>> QtUi::ScriptedFileName(const FileRequest& request) {
  if (file_names_.empty() && !scripted_) {
    return std::nullopt;
  }
  file_requests_.push_back(request);
  if (file_names_.empty()) {
    return std::optional<std::string>();
  }
  std::optional<std::string> name = std::move(file_names_.front());
  file_names_.pop_front();
  return name;
}

std::optional<std::string> QtUi::ChooseFile(const FileRequest& request) {
  if (auto scripted = ScriptedFileName(request)) {
    return *scripted;
  }
  QFileDialog dialog(parent_, ToQt(request.title));
  dialog.setAcceptMode(request.kind == FileRequest::Kind::kSave ? QFileDialog::AcceptSave
                                                                : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.kind == FileRequest::Kind::kSave ? QFileDialog::AnyFile
                                                              : QFileDialog::ExistingFile);
  if (!request.start_folder.empty()) {
    dialog.setDirectory(ToQt(request.start_folder));
  }
  if (!request.proposed_name.empty()) {
    dialog.selectFile(ToQt(request.proposed_name));
  }
  const QString filter = QtNameFilter(request.filter);
  if (!filter.isEmpty()) {
    dialog.setNameFilter(filter + ";;All files (*)");
  }
  dialog.setDefaultSuffix(ToQt(request.default_suffix));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return FromQt(dialog.selectedFiles().front());
}

std::optional<std::string> QtUi::ChooseFolder(const std::string& title,
                                              const std::string& start_folder) {
  FileRequest request;
  request.title = title;
  request.start_folder = start_folder;
  if (auto scripted = ScriptedFileName(request)) {
    return *scripted;
  }
  const QString folder =
      QFileDialog::getExistingDirectory(parent_, ToQt(title), ToQt(start_folder));
  if (folder.isEmpty()) {
    return std::nullopt;
  }
  return FromQt(folder);
}

void QtUi::DrawStatus(StatusStrip strip, const StatusFrame& frame) {
  StatusStripWidget* widget = strip == StatusStrip::kMain ? main_strip_ : upload_strip_;
  if (widget != nullptr) {
    widget->ShowFrame(frame);
  }
}

void QtUi::SetPointer(Pointer pointer) {
  if (pointer == Pointer::kNormal) {
    if (pointer_overridden_) {
      QApplication::restoreOverrideCursor();
      pointer_overridden_ = false;
    }
    return;
  }
  const QCursor cursor(pointer == Pointer::kBusy ? Qt::WaitCursor : Qt::BusyCursor);
  if (pointer_overridden_) {
    QApplication::changeOverrideCursor(cursor);
  } else {
    QApplication::setOverrideCursor(cursor);
    pointer_overridden_ = true;
  }
}

void QtUi::SetControlsEnabled(bool enabled) {
  if (controls_) {
    controls_(enabled);
  }
}

void QtUi::ProcessEvents() {
  QCoreApplication::processEvents();
}

bool QtUi::OpenDocument(const std::string& path_or_url) {
  if (scripted_) {
    opened_.push_back(path_or_url);
    return true;
  }
  const QUrl url = IsWebOrMailAddress(path_or_url) ? QUrl(ToQt(path_or_url))
                                                   : QUrl::fromLocalFile(ToQt(path_or_url));
  return QDesktopServices::openUrl(url);
}

std::vector<std::string> QtUi::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& message : messages_) {
    texts.push_back(message.text);
  }
  return texts;
}

void QtUi::ClearRecords() {
  messages_.clear();
  file_requests_.clear();
  error_reports_.clear();
  opened_.clear();
}

}  // namespace pagorin
