#include "gui/frm_editor.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/engine.h"
#include "app/project_paths.h"
#include "editor/editor_commands.h"
#include "editor/editor_text.h"
#include "gui/frm_table_builder.h"
#include "gui/markup_view.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"

namespace pagorin {

namespace {

constexpr const char* kModule = "frmEditor";

QString Swatch(const Rgb& colour) {
  return QString("background-color: rgb(%1, %2, %3); border: 1px solid gray;")
      .arg(colour.red)
      .arg(colour.green)
      .arg(colour.blue);
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption,
                    const QString& tooltip = {}) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setAutoDefault(false);
  button->setToolTip(tooltip);
  return button;
}

}  // namespace

frmEditor::frmEditor(Engine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine), charset_(ProjectCharset(engine.ProjectSettings)) {
  setObjectName("frmEditor");
  setWindowTitle("Editor");
  if (parent != nullptr) {
    setWindowIcon(parent->window()->windowIcon());
  }
  setMinimumSize(760, 480);
  resize(1000, 680);

  RichTextBox1_ = new MarkupView(this);
  lblLine_ = Named(new QLabel(this), "lblLine");
  lblColumn_ = Named(new QLabel(this), "lblColumn");
  lblSelLen_ = Named(new QLabel(this), "lblSelLen");
  txtFind_ = Named(new QLineEdit(this), "txtFind");
  txtFind_->setPlaceholderText("Find (Enter or F3 finds the next)");
  txtFind_->setClearButtonEnabled(true);

  auto* status = new QHBoxLayout;
  status->addWidget(lblLine_);
  status->addWidget(lblColumn_);
  status->addWidget(lblSelLen_);
  status->addStretch(1);
  status->addWidget(txtFind_);

  auto* text_column = new QVBoxLayout;
  text_column->addWidget(RichTextBox1_, 1);
  text_column->addLayout(status);

  auto* side = new QVBoxLayout;
  side->addWidget(BuildSnippets());
  side->addWidget(BuildPalette());
  side->addWidget(BuildCommands());
  side->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(text_column, 1);
  layout->addLayout(side);

  connect(RichTextBox1_, &QPlainTextEdit::cursorPositionChanged, this, &frmEditor::ShowStatus);
  connect(RichTextBox1_, &QPlainTextEdit::selectionChanged, this, &frmEditor::ShowStatus);
  connect(RichTextBox1_, &MarkupView::DoubleClicked, this, &frmEditor::RichTextBox1_DblClick);
  connect(RichTextBox1_, &MarkupView::FilesDropped, this, &frmEditor::RichTextBox1_Drop);
  connect(txtFind_, &QLineEdit::returnPressed, this, &frmEditor::FindNext);
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
    txtFind_->setFocus();
    txtFind_->selectAll();
  });
  connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this,
          &frmEditor::FindNext);
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
          &frmEditor::SaveFile);
  ShowStatus();
}

QWidget* frmEditor::BuildSnippets() {
  auto* frame = Named(new QGroupBox("Tags", this), "fraSnippets");
  frame->setToolTip(kSnippetHint);
  auto* grid = new QGridLayout(frame);
  for (std::size_t i = 0; i < kSnippets.size(); ++i) {
    const Snippet& snippet = kSnippets[i];
    // "&" would mark a shortcut letter in a caption.
    QPushButton* button = Button(frame, ArrayName("cmdFormat", int(i)),
                                 QString(snippet.caption).replace("&", "&&"), snippet.tooltip);
    grid->addWidget(button, int(i / 3), int(i % 3));
    connect(button, &QPushButton::clicked, this, [this, i] { cmdFormat(int(i)); });
  }
  auto* hint = new QLabel(kSnippetHint, frame);
  hint->setWordWrap(true);
  grid->addWidget(hint, int(kSnippets.size() / 3) + 1, 0, 1, 3);
  return frame;
}

QWidget* frmEditor::BuildPalette() {
  auto* frame = Named(new QGroupBox("Font colour", this), "fraColours");
  auto* grid = new QGridLayout(frame);
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    QPushButton* swatch =
        Button(frame, ArrayName("picColour", int(i)), "",
               QString::fromStdString(PaletteBefore(kPalette[i])).toHtmlEscaped());
    swatch->setStyleSheet(Swatch(kPalette[i]));
    swatch->setFixedSize(28, 20);
    grid->addWidget(swatch, int(i / 6), int(i % 6));
    connect(swatch, &QPushButton::clicked, this, [this, i] { picColour(int(i)); });
  }
  return frame;
}

QWidget* frmEditor::BuildCommands() {
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  const char* include_tip = kSnippets[5].tooltip;
  QPushButton* pick = Button(box, "cmdPickInclude", "[inc] (Pick)", include_tip);
  QPushButton* table = Button(box, "cmdTableWiz", "Table Wizard", "Open the table building wizard");
  QPushButton* folder = Button(box, "cmdProjFolder", "Project Folder",
                               "Opens your project folder in the file manager");
  QPushButton* markup = Button(box, "cmdUpdateMarkup", "Update Markup");
  QPushButton* validate = Button(box, "cmdValidate", "Validate Markup");
  QPushButton* help = Button(box, "cmdHelp", "Help");
  cmdSave_ = Button(box, "cmdSave", "Save",
                    "Save the file and close the editor (Ctrl+S saves "
                    "and goes on editing)");
  QPushButton* exit = Button(box, "cmdExit", "Exit");
  const QList<QPushButton*> order = {pick, table, folder, markup, validate, help, cmdSave_, exit};
  for (int i = 0; i < order.size(); ++i) {
    grid->addWidget(order[i], i / 2, i % 2);
  }
  connect(pick, &QPushButton::clicked, this, &frmEditor::cmdPickInclude);
  connect(table, &QPushButton::clicked, this, &frmEditor::cmdTableWiz);
  connect(folder, &QPushButton::clicked, this, &frmEditor::cmdProjFolder);
  connect(markup, &QPushButton::clicked, this, &frmEditor::UpdateMarkup);
  connect(validate, &QPushButton::clicked, this, &frmEditor::cmdValidate);
  connect(help, &QPushButton::clicked, this, &frmEditor::cmdHelp);
  connect(cmdSave_, &QPushButton::clicked, this, &frmEditor::cmdSave);
  connect(exit, &QPushButton::clicked, this, &frmEditor::cmdExit);
  return box;
}

void frmEditor::LoadFile(const std::string& path) {
  FileSubs files(engine_.env);
  path_ = files.Resolve(path);
  bool readable = true;
  const std::string bytes = files.LoadTextFile(path_, &readable);
  can_save_ = readable || !engine_.env.fs.Stat(path_).exists;
  cmdSave_->setEnabled(can_save_);
  if (!can_save_) {
    engine_.env.ui.ShowMessage("The file " + path_ +
                               " could not be read. It is shown empty and cannot be saved.");
  }
  const EditorText shown = DecodeForEditor(bytes, charset_);
  crlf_ = shown.crlf;
  const Markup markup =
      RichTextBox1_->SetText(QString::fromUcs4(shown.text.data(), qsizetype(shown.text.size())));
  RichTextBox1_->setFocus();
  ReportMarkup(markup);
  setWindowTitle(ToQt(fileonly(path_)));
  RichTextBox1_->document()->setModified(false);
  RichTextBox1_->moveCursor(QTextCursor::Start);
  ShowStatus();
}

void frmEditor::UpdateMarkup() {
  const Markup markup = RichTextBox1_->Recolour();
  RichTextBox1_->setFocus();
  ReportMarkup(markup);
}

void frmEditor::ReportMarkup(const Markup& markup) {
  for (const std::string& colour : markup.bad_font_colours) {
    engine_.env.log.LogError("Type mismatch: " + colour + "(13)", "MarkFonts", kModule);
  }
  if (markup.unclosed_link) {
    engine_.env.ui.ShowMessage(kUnclosedLinkWarning);
  }
}

bool frmEditor::Modified() const {
  return RichTextBox1_->document()->isModified();
}

bool frmEditor::SaveFile() {
  if (!can_save_) {
    return false;
  }
  if (!SaveEditorFile(engine_.env, path_, RichTextBox1_->ShownText(), charset_, crlf_)) {
    return false;
  }
  RichTextBox1_->document()->setModified(false);
  return true;
}

void frmEditor::WrapSelection(const QString& before, const QString& after) {
  QTextCursor cursor = RichTextBox1_->textCursor();
  const QString selected = cursor.selectedText().replace(QChar::ParagraphSeparator, '\n');
  cursor.insertText(before + selected + after);
  RichTextBox1_->setTextCursor(cursor);
  RichTextBox1_->setFocus();
}

void frmEditor::ShowStatus() {
  const QTextCursor cursor = RichTextBox1_->textCursor();
  lblLine_->setText("Line: " + QString::number(cursor.blockNumber() + 1));
  lblColumn_->setText("Column: " + QString::number(cursor.positionInBlock() + 1));
  lblSelLen_->setText("Selected Char: " +
                      QString::number(cursor.selectionEnd() - cursor.selectionStart()));
}

void frmEditor::cmdFormat(int index) {
  const Snippet& snippet = kSnippets[std::size_t(index)];
  WrapSelection(snippet.before, snippet.after);
  UpdateMarkup();
}

void frmEditor::picColour(int index) {
  WrapSelection(QString::fromStdString(PaletteBefore(kPalette[std::size_t(index)])), kPaletteAfter);
  UpdateMarkup();
}

void frmEditor::cmdPickInclude() {
  FileRequest request;
  request.title = "Pick an include file";
  request.start_folder = IncludesDir(engine_);
  request.filter = "Include file (*.inc)|*.inc";
  const std::optional<std::string> chosen = engine_.env.ui.ChooseFile(request);
  if (!chosen) {
    return;
  }
  const std::string name = PickedInclude(*chosen, IncludesDir(engine_));
  WrapSelection(QString::fromStdString("[include=" + name + "]"), {});
  RichTextBox1_->Recolour();
}

void frmEditor::cmdTableWiz() {
  frmTableBuilder builder(this);
  builder.exec();
  if (!builder.Cancelled()) {
    WrapSelection(QString::fromStdString(builder.TableString()), {});
  }
}

void frmEditor::cmdProjFolder() {
  FileSubs(engine_.env).RunFile(GetProjectPath(engine_));
}

void frmEditor::cmdValidate() {
  engine_.env.ui.ShowMessage(
      TagCountReport(RichTextBox1_->MarkupBytes(RichTextBox1_->toPlainText())));
}

void frmEditor::cmdHelp() {
  engine_.env.ui.ShowMessage(kEditorHelp);
}

void frmEditor::cmdSave() {
  if (SaveFile()) {
    accept();
  }
}

void frmEditor::cmdExit() {
  if (Modified() &&
      engine_.env.ui.ShowMessage(kLoseChangesQuestion, Buttons::kYesNo) != Answer::kYes) {
    return;
  }
  QDialog::reject();
}

void frmEditor::reject() {
  cmdExit();
}

void frmEditor::FindNext() {
  const QString wanted = txtFind_->text();
  if (wanted.isEmpty()) {
    return;
  }
  if (!RichTextBox1_->find(wanted)) {
    // From the top again.
    QTextCursor start = RichTextBox1_->textCursor();
    start.movePosition(QTextCursor::Start);
    RichTextBox1_->setTextCursor(start);
    RichTextBox1_->find(wanted);
  }
}

void frmEditor::RichTextBox1_DblClick() {
  const int caret = RichTextBox1_->textCursor().selectionStart();
  const StyleRun* style = StyleAt(RichTextBox1_->runs(), std::size_t(caret));
  // The names are read from the text in UTF-8, the file system's own form,
  // so the caret goes over as a byte offset.
  const QString text = RichTextBox1_->toPlainText();
  const std::optional<std::string> file =
      FileToOpenAt(FromQt(text), FromQt(text.left(caret)).size(),
                   style == nullptr ? std::nullopt : style->colour, GetProjectPath(engine_),
                   IncludesDir(engine_));
  if (!file) {
    return;
  }
  engine_.env.ui.SetPointer(Pointer::kBusy);
  frmEditor nested(engine_, this);
  nested.LoadFile(*file);
  engine_.env.ui.SetPointer(Pointer::kNormal);
  nested.exec();
}

void frmEditor::RichTextBox1_Drop(const QStringList& paths) {
  QTextCursor cursor = RichTextBox1_->textCursor();
  cursor.clearSelection();
  for (const QString& path : paths) {
    cursor.insertText(
        QString::fromStdString(DroppedFileSnippet(FromQt(path), GetProjectPath(engine_))));
  }
  RichTextBox1_->setTextCursor(cursor);
}

}  // namespace pagorin
