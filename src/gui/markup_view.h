// The template editor's text view (RichTextBox1): plain text in a
// fixed-width font, coloured by the markup passes, with undo and redo.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <string>
#include <vector>

#include "editor/markup_colouring.h"
#include "editor/markup_runs.h"

class QTimer;

namespace pagorin {

class MarkupHighlighter;

// The colours live beside the text, not in it: colouring never changes the
// document, so it never counts as a change and never enters undo. Bold and
// underline, once given, stay on their characters until the text there is
// deleted, as in a rich text box whose colour alone is reset before every
// colouring; they move with the text while it is edited.
//
// While the person types, the text is coloured again a moment after the
// last key (without the unclosed-link warning, which only Recolour's caller
// shows).
class MarkupView final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit MarkupView(QWidget* parent = nullptr);
  ~MarkupView() override;

  // Replaces the whole text (as on loading a file: nothing stays bold or
  // underlined) and colours it; returns what the passes found.
  Markup SetText(const QString& text);
  // Colours the whole text now; returns what the passes found.
  Markup Recolour();
  // The text exactly as shown, lines ending in "\n" (unlike toPlainText,
  // which turns non-breaking spaces into blanks).
  std::u32string ShownText() const;
  // The look of every styled character, in text positions (UTF-16 units).
  const std::vector<StyleRun>& runs() const { return runs_; }

  // The text as the passes read it: one byte per UTF-16 unit, the unit
  // itself below 128 and 0x80 for any other, so positions agree with the
  // view's and the ASCII the passes look for is all there.
  static std::string MarkupBytes(const QString& text);

 signals:
  // Files dropped on the view; the caret is where they were dropped.
  void FilesDropped(const QStringList& paths);
  // A double-click, after the view selected the word under the mouse.
  void DoubleClicked();

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void TextEdited(int position, int removed, int added);
  void SetRuns(std::vector<StyleRun> runs);

  std::vector<StyleRun> runs_;
  std::vector<MarkupSpan> sticky_;  // bold and underline given so far
  MarkupHighlighter* highlighter_ = nullptr;
  QTimer* recolour_timer_ = nullptr;
};

}  // namespace pagorin
