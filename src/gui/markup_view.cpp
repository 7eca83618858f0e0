#include "gui/markup_view.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace pagorin {

namespace {

constexpr int kTypingPauseMs = 300;

QStringList LocalFiles(const QMimeData* source) {
  QStringList paths;
  if (source != nullptr && source->hasUrls()) {
    for (const QUrl& url : source->urls()) {
      if (url.isLocalFile()) {
        paths << url.toLocalFile();
      }
    }
  }
  return paths;
}

// An edit replaced `removed` characters at `position` by `added` ones: where
// a position of the old text lies in the new one. Positions inside the
// replaced stretch go to its start (an end) or past the new text (a start).
std::size_t MovedStart(std::size_t at, std::size_t position, std::size_t removed,
                       std::size_t added) {
  if (at < position)
    return at;
  if (at >= position + removed)
    return at + added - removed;
  return position + added;
}
std::size_t MovedEnd(std::size_t at, std::size_t position, std::size_t removed, std::size_t added) {
  if (at <= position)
    return at;
  if (at >= position + removed)
    return at + added - removed;
  return position;
}

template <typename Range>
void MoveWithEdit(std::vector<Range>& ranges, std::size_t position, std::size_t removed,
                  std::size_t added) {
  std::vector<Range> moved;
  moved.reserve(ranges.size());
  for (Range range : ranges) {
    const std::size_t start = MovedStart(range.start, position, removed, added);
    const std::size_t end = MovedEnd(range.start + range.length, position, removed, added);
    if (end > start) {
      range.start = start;
      range.length = end - start;
      moved.push_back(range);
    }
  }
  ranges.swap(moved);
}

}  // namespace

// Paints each block from the view's runs; the runs are kept by the view.
class MarkupHighlighter final : public QSyntaxHighlighter {
 public:
  MarkupHighlighter(QTextDocument* document, const std::vector<StyleRun>& runs)
      : QSyntaxHighlighter(document), runs_(runs) {}

 protected:
  void highlightBlock(const QString& text) override {
    const std::size_t begin = static_cast<std::size_t>(currentBlock().position());
    const std::size_t end = begin + static_cast<std::size_t>(text.size());
    // Runs never overlap, so their ends come in order too.
    auto run =
        std::upper_bound(runs_.begin(), runs_.end(), begin,
                         [](std::size_t at, const StyleRun& r) { return at < r.start + r.length; });
    for (; run != runs_.end() && run->start < end; ++run) {
      const std::size_t from = std::max(run->start, begin);
      const std::size_t to = std::min(run->start + run->length, end);
      QTextCharFormat format;
      if (run->colour) {
        format.setForeground(QColor(run->colour->red, run->colour->green, run->colour->blue));
      }
      if (run->bold) {
        format.setFontWeight(QFont::Bold);
      }
      if (run->underline) {
        format.setFontUnderline(true);
      }
      setFormat(int(from - begin), int(to - from), format);
    }
  }

 private:
  const std::vector<StyleRun>& runs_;
};

MarkupView::MarkupView(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("RichTextBox1");
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  recolour_timer_ = new QTimer(this);
  recolour_timer_->setSingleShot(true);
  recolour_timer_->setInterval(kTypingPauseMs);
  connect(recolour_timer_, &QTimer::timeout, this, [this] { Recolour(); });
  // Connected before the highlighter exists, so that the runs have moved
  // with the edit by the time it paints the edited block.
  connect(document(), &QTextDocument::contentsChange, this, &MarkupView::TextEdited);
  highlighter_ = new MarkupHighlighter(document(), runs_);
}

MarkupView::~MarkupView() = default;

std::string MarkupView::MarkupBytes(const QString& text) {
  std::string bytes(static_cast<std::size_t>(text.size()), '\x80');
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (unit < 0x80) {
      bytes[static_cast<std::size_t>(i)] = static_cast<char>(unit);
    }
  }
  return bytes;
}

std::u32string MarkupView::ShownText() const {
  std::u32string text = document()->toRawText().toStdU32String();
  std::replace(text.begin(), text.end(), char32_t(QChar::ParagraphSeparator), U'\n');
  return text;
}

Markup MarkupView::SetText(const QString& text) {
  // Painted once, after colouring, rather than once plain and once coloured.
  highlighter_->setDocument(nullptr);
  setPlainText(text);
  Markup markup = Recolour();
  highlighter_->setDocument(document());
  return markup;
}

Markup MarkupView::Recolour() {
  recolour_timer_->stop();
  Markup markup = UpdateMarkup(MarkupBytes(toPlainText()));
  std::vector<MarkupSpan> spans = sticky_;
  spans.insert(spans.end(), markup.spans.begin(), markup.spans.end());
  std::vector<StyleRun> runs = FlattenSpans(spans);
  sticky_.clear();
  for (const StyleRun& run : runs) {
    if (run.bold || run.underline) {
      sticky_.push_back({run.start, run.length, std::nullopt, run.bold, run.underline});
    }
  }
  SetRuns(std::move(runs));
  return markup;
}

void MarkupView::SetRuns(std::vector<StyleRun> runs) {
  // Only the stretch between the first and the last difference is painted
  // again, so colouring while typing costs little in a large file.
  std::size_t front = 0;
  while (front < runs.size() && front < runs_.size() && runs[front] == runs_[front]) {
    ++front;
  }
  std::size_t back = 0;
  while (back < runs.size() - front && back < runs_.size() - front &&
         runs[runs.size() - 1 - back] == runs_[runs_.size() - 1 - back]) {
    ++back;
  }
  if (front == runs.size() && front == runs_.size()) {
    return;
  }
  std::size_t from = SIZE_MAX, to = 0;
  for (const auto* list : {&runs, &runs_}) {
    if (front < list->size() - back) {
      from = std::min(from, (*list)[front].start);
      const StyleRun& last = (*list)[list->size() - 1 - back];
      to = std::max(to, last.start + last.length);
    }
  }
  runs_ = std::move(runs);
  for (QTextBlock block = document()->findBlock(int(from)); block.isValid(); block = block.next()) {
    highlighter_->rehighlightBlock(block);
    if (std::size_t(block.position() + block.length()) >= to) {
      break;
    }
  }
}

void MarkupView::TextEdited(int position, int removed, int added) {
  if (removed == 0 && added == 0) {
    return;
  }
  MoveWithEdit(runs_, std::size_t(position), std::size_t(removed), std::size_t(added));
  MoveWithEdit(sticky_, std::size_t(position), std::size_t(removed), std::size_t(added));
  recolour_timer_->start();
}

bool MarkupView::canInsertFromMimeData(const QMimeData* source) const {
  return !LocalFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void MarkupView::insertFromMimeData(const QMimeData* source) {
  const QStringList files = LocalFiles(source);
  if (files.isEmpty()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  emit FilesDropped(files);
}

void MarkupView::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  emit DoubleClicked();
}

}  // namespace pagorin
