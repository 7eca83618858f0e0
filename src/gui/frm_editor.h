// The template editor: one template, include or style sheet file in a
// coloured text view, with snippet buttons, a colour palette, the include
// picker, the table builder, dropped files and the tag count report.
#pragma once

#include <QDialog>
#include <string>

#include "editor/markup_colouring.h"
#include "shared/charset.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pagorin {

struct Engine;
class MarkupView;

// Shown modally; Save writes the file and closes, Exit (also Escape and the
// close box) asks before it drops a change. The file is shown in the
// project's character set and written back in it byte for byte: an
// unchanged file is saved exactly as it was read. The engine must outlive
// the window.
class frmEditor final : public QDialog {
  Q_OBJECT

 public:
  explicit frmEditor(Engine& engine, QWidget* parent = nullptr);

  // Reads `path` into the view, colours it, captions the window with the
  // file name and starts unmodified with the caret at the start.
  void LoadFile(const std::string& path);
  // Colours the whole text; shows the unclosed-link warning when a link
  // has no "</a>". Keeps the caret and the modified flag.
  void UpdateMarkup();
  bool Modified() const;
  // Writes the file (atomically); false, with a message, when that failed.
  bool SaveFile();

 public slots:
  void reject() override;

 private:
  QWidget* BuildSnippets();
  QWidget* BuildPalette();
  QWidget* BuildCommands();
  // Replaces the selection by before + selection + after.
  void WrapSelection(const QString& before, const QString& after);
  // Logs the font colours that are no number and shows the unclosed-link
  // warning.
  void ReportMarkup(const Markup& markup);
  void ShowStatus();
  void cmdFormat(int index);
  void picColour(int index);
  void cmdPickInclude();
  void cmdTableWiz();
  void cmdProjFolder();
  void cmdValidate();
  void cmdHelp();
  void cmdSave();
  void cmdExit();
  void FindNext();
  void RichTextBox1_DblClick();
  void RichTextBox1_Drop(const QStringList& paths);

  Engine& engine_;
  Charset charset_;
  std::string path_;
  bool crlf_ = true;
  bool can_save_ = true;  // false when the file exists but could not be read
  MarkupView* RichTextBox1_ = nullptr;
  QLabel* lblLine_ = nullptr;
  QLabel* lblColumn_ = nullptr;
  QLabel* lblSelLen_ = nullptr;
  QLineEdit* txtFind_ = nullptr;
  QPushButton* cmdSave_ = nullptr;
};

}  // namespace pagorin
