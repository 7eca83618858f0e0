// The template editor on a copy of the Sample and on files of every
// character set: what loading shows, the snippet buttons and swatches, the
// include picker, the table builder, dropped files, the reports, Exit and
// Save, the nested editor and the main window's double-click.
#include "gui/frm_editor.h"

#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include "app/project_paths.h"
#include "editor/editor_commands.h"
#include "gui/frm_main.h"
#include "gui/frm_table_builder.h"
#include "gui/markup_view.h"
#include "gui/widgets.h"
#include "gui_test_env.h"
#include "support/ring_messages.h"

namespace pagorin {

using testing::FaultyFileSystem;
using testing::Find;
using testing::GuiTestEnv;
using testing::RingMessages;
using testing::WhenModal;

namespace {

MarkupView* View(frmEditor* editor) {
  return Find<MarkupView>(editor, "RichTextBox1");
}

QString Label(frmEditor* editor, const char* name) {
  return Find<QLabel>(editor, name)->text();
}

void Click(QObject* window, const QString& name) {
  Find<QPushButton>(window, name.toUtf8().constData())->click();
}

// Selects [from, from + length) of the view's text.
void Select(frmEditor* editor, int from, int length) {
  QTextCursor cursor = View(editor)->textCursor();
  cursor.setPosition(from);
  cursor.setPosition(from + length, QTextCursor::KeepAnchor);
  View(editor)->setTextCursor(cursor);
}

// An editor on a file of the site with `bytes`, in a project whose Charset
// key is `charset`.
struct SiteFile {
  explicit SiteFile(const std::string& bytes, const std::string& charset = "utf-8")
      : opened(t.OpenSite({"CHARSET," + charset})) {
    if (!opened) {
      qFatal("site not opened");
    }
    t.base.WriteFile(path, bytes);
    editor.LoadFile(path);
  }
  GuiTestEnv t;
  bool opened;
  frmEditor editor{t.engine};  // reads the project's character set
  std::string path = t.Site("Templates/page.template");
};

}  // namespace

class FrmEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void LoadShowsTheColouredTextCaptionAndStatus();
  void ColoursFollowTypingAndBoldStaysAfterItsTagsGo();
  void SnippetButtonsAndSwatchesWrapTheSelection();
  void PickedIncludesAndBuiltTablesGoBeforeTheSelection();
  void DroppedFilesBecomeTagsAtTheDropPoint();
  void ValidateHelpFolderAndTheUnclosedLinkWarning();
  void ExitAsksOnlyAfterAChange();
  void UnchangedFilesAreSavedByteForByte();
  void ChangesAreSavedInTheFilesCharacterSetAndLineEnds();
  void AFailedSaveKeepsTheFileAndTheWindow();
  void FindWrapsAroundAndCtrlSSavesWithoutClosing();
  void DoubleClickOnAColouredNameOpensANestedEditor();
  void TheMainWindowOpensTheTemplateDoubleClicked();
};

void FrmEditorTest::LoadShowsTheColouredTextCaptionAndStatus() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  frmEditor editor(t.engine);
  QCOMPARE(editor.windowTitle(), QString("Editor"));
  editor.LoadFile(TemplatesDir(t.engine) + "index.template");
  QCOMPARE(editor.windowTitle(), QString("index.template"));
  const QString text = View(&editor)->toPlainText();
  QVERIFY(text.startsWith("[include=head.inc]<title>Kestrel Tide Tables</title>"));
  const std::vector<StyleRun>& runs = View(&editor)->runs();
  QVERIFY(!runs.empty());
  QCOMPARE(runs.front(), (StyleRun{0, 18, kIncludeRed}));
  const int link = int(text.indexOf(">All news</a>")) + 1;
  const StyleRun* link_style = StyleAt(runs, std::size_t(link));
  QVERIFY(link_style != nullptr);
  QCOMPARE(*link_style, (StyleRun{std::size_t(link), 8, kLinkBlue, false, true}));
  QCOMPARE(Label(&editor, "lblLine"), QString("Line: 1"));
  QCOMPARE(Label(&editor, "lblSelLen"), QString("Selected Char: 0"));
  QVERIFY(!editor.Modified());
  QVERIFY(t.ui.MessageTexts().empty());

  Select(&editor, int(text.indexOf("<main")), 5);
  QCOMPARE(Label(&editor, "lblLine"), QString("Line: 3"));
  QCOMPARE(Label(&editor, "lblColumn"), QString("Column: 6"));
  QCOMPARE(Label(&editor, "lblSelLen"), QString("Selected Char: 5"));
}

void FrmEditorTest::ColoursFollowTypingAndBoldStaysAfterItsTagsGo() {
  SiteFile file("[include=a.inc] <b>x</b>");
  MarkupView* view = View(&file.editor);
  QCOMPARE(view->runs(),
           (std::vector<StyleRun>{{0, 15, kIncludeRed}, {19, 1, std::nullopt, true}}));
  Select(&file.editor, 0, 0);
  QTest::keyClicks(view, "yz");
  // Moved with the text at once, coloured again a moment later.
  const std::vector<StyleRun> moved = {{2, 15, kIncludeRed}, {21, 1, std::nullopt, true}};
  QCOMPARE(view->runs(), moved);
  QTest::qWait(400);
  QCOMPARE(view->runs(), moved);
  QVERIFY(file.editor.Modified());

  Select(&file.editor, 18, 3);  // "<b>"
  QTest::keyClick(view, Qt::Key_Delete);
  Click(&file.editor, "cmdUpdateMarkup");
  QCOMPARE(view->toPlainText(), QString("yz[include=a.inc] x</b>"));
  QCOMPARE(view->runs(),
           (std::vector<StyleRun>{{2, 15, kIncludeRed}, {18, 1, std::nullopt, true}}));
  QVERIFY(file.t.ui.MessageTexts().empty());
}

void FrmEditorTest::SnippetButtonsAndSwatchesWrapTheSelection() {
  SiteFile file("say hello");
  for (std::size_t i = 0; i < kSnippets.size(); ++i) {
    View(&file.editor)->setPlainText("say hello");
    Select(&file.editor, 4, 5);
    Click(&file.editor, ArrayName("cmdFormat", int(i)));
    QCOMPARE(View(&file.editor)->toPlainText(),
             QString("say ") + kSnippets[i].before + "hello" + kSnippets[i].after);
  }
  QCOMPARE(Find<QPushButton>(&file.editor, "cmdFormat_5")->toolTip(),
           QString("[include=] tag. You can specify relative or fixed path too"));

  View(&file.editor)->setPlainText("say hello");
  Select(&file.editor, 4, 5);
  Click(&file.editor, "picColour_6");
  QCOMPARE(View(&file.editor)->toPlainText(), QString("say <font color = '#00C000'>hello</font>"));
  QCOMPARE(*StyleAt(View(&file.editor)->runs(), 30), (StyleRun{28, 5, Rgb{0, 192, 0}}));

  // With nothing selected the tags go in at the caret.
  View(&file.editor)->setPlainText("ab");
  Select(&file.editor, 1, 0);
  Click(&file.editor, "cmdFormat_0");
  QCOMPARE(View(&file.editor)->toPlainText(), QString("a<b></b>b"));
  QVERIFY(file.editor.Modified());
  QVERIFY(file.t.ui.MessageTexts().empty());
}

void FrmEditorTest::PickedIncludesAndBuiltTablesGoBeforeTheSelection() {
  SiteFile file("<p>x</p>");
  Select(&file.editor, 3, 1);
  file.t.ui.QueueFileName(file.t.Site("Includes/nav.inc"));
  Click(&file.editor, "cmdPickInclude");
  QCOMPARE(View(&file.editor)->toPlainText(), QString("<p>[include=nav.inc]x</p>"));
  QCOMPARE(file.t.ui.file_requests().back().start_folder, file.t.Site("Includes/"));
  QCOMPARE(*StyleAt(View(&file.editor)->runs(), 3), (StyleRun{3, 17, kIncludeRed}));

  file.t.ui.QueueFileName(std::nullopt);
  Click(&file.editor, "cmdPickInclude");
  QCOMPARE(View(&file.editor)->toPlainText(), QString("<p>[include=nav.inc]x</p>"));

  View(&file.editor)->setPlainText("x");
  Select(&file.editor, 0, 1);
  WhenModal<frmTableBuilder>([](frmTableBuilder* builder) {
    Find<QSlider>(builder, "SliderCols")->setValue(2);
    Find<QPushButton>(builder, "cmdOK")->click();
  });
  Click(&file.editor, "cmdTableWiz");
  QCOMPARE(View(&file.editor)->toPlainText(),
           QString("<table Border=0 Width=100% cellpadding=5 cellspacing=0>\n<tr>\n"
                   "<td align=left valign=top>Cell</td>\n<td align=left valign=top>Cell</td>\n"
                   "</tr>\n</table>\nx"));

  WhenModal<frmTableBuilder>(
      [](frmTableBuilder* builder) { Find<QPushButton>(builder, "cmdCancel")->click(); });
  Click(&file.editor, "cmdTableWiz");
  QVERIFY(View(&file.editor)->toPlainText().endsWith("</table>\nx"));
  QCOMPARE(View(&file.editor)->toPlainText().count("<table"), 1);
}

void FrmEditorTest::DroppedFilesBecomeTagsAtTheDropPoint() {
  SiteFile file("");
  file.editor.resize(900, 600);
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.t.Site("images/Logo.PNG"))),
                QUrl::fromLocalFile("/tmp/notes.txt")});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(View(&file.editor)->viewport(), &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(View(&file.editor)->viewport(), &drop);
  QCOMPARE(View(&file.editor)->toPlainText(),
           QString("<img src='images/Logo.PNG' alt='Logo.PNG'>\n"
                   "<a href='/tmp/notes.txt' title='notes.txt'>link text</a>\n"));
  QVERIFY(file.editor.Modified());
}

void FrmEditorTest::ValidateHelpFolderAndTheUnclosedLinkWarning() {
  SiteFile file("<table><tr><td><a href='x'>a</td></tr></table><p><font color=12ab>x</font>");
  Click(&file.editor, "cmdValidate");
  Click(&file.editor, "cmdHelp");
  Click(&file.editor, "cmdUpdateMarkup");
  Click(&file.editor, "cmdProjFolder");
  QCOMPARE(file.t.ui.opened_documents(), (std::vector<std::string>{file.t.Site()}));
  QCOMPARE(file.t.ui.MessageTexts(),
           (std::vector<std::string>{
               kUnclosedLinkWarning,
               "<Table> 1  </Table> 1\r\n<tr> 1  </tr> 1\r\n<td> 1  </td> 1\r\n<a> 1  </a> 0\r\n"
               "<p> 1  </p> 0\r\n",
               kEditorHelp, kUnclosedLinkWarning}));
  QVERIFY(!file.editor.Modified());
  // Each colouring reports the colour that is no number.
  QCOMPARE(RingMessages(file.t.base.log),
           std::string("Type mismatch: 12ab(13) in MarkFonts of module frmEditor\n"
                       "Type mismatch: 12ab(13) in MarkFonts of module frmEditor\n"));
}

void FrmEditorTest::ExitAsksOnlyAfterAChange() {
  SiteFile file("<p>x</p>\r\n");
  file.editor.show();
  Click(&file.editor, "cmdExit");
  QVERIFY(!file.editor.isVisible());
  QVERIFY(file.t.ui.MessageTexts().empty());

  frmEditor changed(file.t.engine);
  changed.LoadFile(file.path);
  changed.show();
  QTest::keyClicks(View(&changed), "y");
  Click(&changed, "cmdExit");  // scripted: No
  QVERIFY(changed.isVisible());
  file.t.ui.QueueAnswer(Answer::kYes);
  QTest::keyClick(&changed, Qt::Key_Escape);
  QVERIFY(!changed.isVisible());
  QCOMPARE(file.t.ui.MessageTexts(),
           (std::vector<std::string>{kLoseChangesQuestion, kLoseChangesQuestion}));
  QCOMPARE(file.t.base.ReadFile(file.path), std::string("<p>x</p>\r\n"));
}

void FrmEditorTest::UnchangedFilesAreSavedByteForByte() {
  struct Case {
    const char* name;
    const char* charset;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"utf-8 crlf", "utf-8", "<p>Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC</p>\r\n<p>b</p>\r\n"},
      {"utf-8 lf", "utf-8", "<p>a</p>\n<p>b</p>"},
      {"mixed line ends", "utf-8", "a\r\nb\nc\rd"},
      {"invalid utf-8", "utf-8", "a\xFF\xC3(\xE2\x82 \xED\xA0\x80\xEF\x9C\x80z\r\n"},
      {"windows-1252", "windows-1252", "Gr\xFC\xDF \x80 \x81\x9D\xA0\r\n[include=a.inc]\r\n"},
      {"separators", "utf-8", "\xC2\xA0 \xE2\x80\xA8 \xE2\x80\xA9 \xEF\xB7\x90 \xEF\xB7\x91"},
      {"windows-1252 lf", "windows-1252", "caf\xE9\n"},
      {"empty", "utf-8", ""},
  };
  for (const Case& c : cases) {
    SiteFile file(c.bytes, c.charset);
    file.editor.show();
    Click(&file.editor, "cmdSave");
    QVERIFY2(!file.editor.isVisible(), c.name);
    QCOMPARE(QByteArray::fromStdString(file.t.base.ReadFile(file.path)).toHex(' '),
             QByteArray::fromStdString(c.bytes).toHex(' '));
  }
}

void FrmEditorTest::ChangesAreSavedInTheFilesCharacterSetAndLineEnds() {
  struct Case {
    const char* charset;
    std::string bytes;
    std::string saved;
  };
  const std::vector<Case> cases = {
      {"utf-8", "x\r\n\xFF", "\xE2\x82\xAC\r\nx\r\n\xFF"},
      {"utf-8", "x\n", "\xE2\x82\xAC\nx\n"},
      {"windows-1252", "x\r\n\xE9", "\x80\r\nx\r\n\xE9"},
  };
  for (const Case& c : cases) {
    SiteFile file(c.bytes, c.charset);
    QKeyEvent euro(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xE2\x82\xAC"));
    QApplication::sendEvent(View(&file.editor), &euro);
    QTest::keyClick(View(&file.editor), Qt::Key_Return);
    QVERIFY(file.editor.SaveFile());
    QCOMPARE(QByteArray::fromStdString(file.t.base.ReadFile(file.path)).toHex(' '),
             QByteArray::fromStdString(c.saved).toHex(' '));
    QVERIFY(!file.editor.Modified());
  }
}

void FrmEditorTest::AFailedSaveKeepsTheFileAndTheWindow() {
  SiteFile file("old\r\n");
  file.editor.show();
  QTest::keyClicks(View(&file.editor), "new ");
  file.t.base.fs.FailNth(FaultyFileSystem::Op::kRename, 1, FsError::kDiskFull);
  Click(&file.editor, "cmdSave");
  QVERIFY(file.editor.isVisible());
  QCOMPARE(View(&file.editor)->toPlainText(), QString("new old\n"));
  QCOMPARE(file.t.base.ReadFile(file.path), std::string("old\r\n"));
  QCOMPARE(file.t.base.List(file.t.Site("Templates")), (std::vector<std::string>{"page.template"}));
  QCOMPARE(file.t.ui.MessageTexts(),
           (std::vector<std::string>{"The file " + file.path +
                                     " could not be saved; it is as it was before.\r\n"
                                     "No space left on device (injected)(61)"}));
  QVERIFY(file.editor.Modified());

  // A file that is there but cannot be read is never saved over.
  file.t.base.fs.FailNth(FaultyFileSystem::Op::kRead, 1);
  frmEditor unread(file.t.engine);
  unread.LoadFile(file.path);
  QVERIFY(!Find<QPushButton>(&unread, "cmdSave")->isEnabled());
  QVERIFY(!unread.SaveFile());
  QCOMPARE(file.t.base.ReadFile(file.path), std::string("old\r\n"));
  QCOMPARE(file.t.ui.MessageTexts().back(),
           "The file " + file.path + " could not be read. It is shown empty and cannot be saved.");
}

void FrmEditorTest::FindWrapsAroundAndCtrlSSavesWithoutClosing() {
  SiteFile file("<p>one</p>\r\n<p>two</p>\r\n");
  file.editor.show();
  QVERIFY(QTest::qWaitForWindowActive(&file.editor));
  auto* find = Find<QLineEdit>(&file.editor, "txtFind");
  find->setText("<P>");
  const std::vector<int> starts = {0, 11, 0};  // letter case ignored, then from the top again
  for (const int start : starts) {
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(View(&file.editor)->textCursor().selectionStart(), start);
    QCOMPARE(Label(&file.editor, "lblSelLen"), QString("Selected Char: 3"));
  }

  Select(&file.editor, 0, 0);
  QTest::keyClicks(View(&file.editor), "x");
  QTest::keyClick(View(&file.editor), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(file.t.base.ReadFile(file.path), std::string("x<p>one</p>\r\n<p>two</p>\r\n"));
  QVERIFY(file.editor.isVisible());
  QVERIFY(!file.editor.Modified());
}

void FrmEditorTest::DoubleClickOnAColouredNameOpensANestedEditor() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  t.base.WriteFile(t.Site("Templates/page.template"),
                   "<link href='/style.css'>[include=nav/menu.inc] plain");
  frmEditor editor(t.engine);
  editor.LoadFile(t.Site("Templates/page.template"));
  struct Case {
    int caret;
    QString opened;  // caption of the nested editor; empty for none
  };
  const std::vector<Case> cases = {{14, "style.css"}, {30, "menu.inc"}, {48, ""}, {0, ""}};
  for (const Case& c : cases) {
    QString opened;
    WhenModal<frmEditor>([&opened](frmEditor* nested) { opened = nested->windowTitle(); });
    Select(&editor, c.caret, 0);
    emit View(&editor)->DoubleClicked();
    QTest::qWait(0);
    QCOMPARE(opened, c.opened);
  }
  QCOMPARE(t.base.fs.reads().back(), t.Site("Includes/nav/menu.inc"));
}

void FrmEditorTest::TheMainWindowOpensTheTemplateDoubleClicked() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  frmMain window(t.engine, t.ui);
  window.ShowEngineState();
  auto* list = Find<QTreeWidget>(&window, "ListView1");
  QTreeWidgetItem* about = list->topLevelItem(0);
  list->clearSelection();
  about->setSelected(true);
  QString opened;
  WhenModal<frmEditor>([&opened](frmEditor* editor) { opened = editor->windowTitle(); });
  emit list->itemDoubleClicked(about, 0);
  QCOMPARE(opened, QString("about.template"));

  opened.clear();
  list->clearSelection();
  WhenModal<frmEditor>([&opened](frmEditor* editor) { opened = editor->windowTitle(); });
  emit list->itemDoubleClicked(about, 0);
  QTest::qWait(0);
  QCOMPARE(opened, QString());
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmEditorTest)
#include "frm_editor_test.moc"
