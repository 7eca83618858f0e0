// The Qt side of the seam: scripted answers (scripted file names are used by
// every window test), file filters, status strips and text conversion.
#include "gui/qt_ui.h"

#include <QImage>
#include <QtTest>

#include "gui/qt_text.h"
#include "gui/status_strip.h"

namespace pagorin {

class QtUiTest : public QObject {
  Q_OBJECT

 private slots:
  void NameFilterFollowsTheDialogsFilterText();
  void QueuedAnswersComeFirstThenSafeAnswers();
  void StripPaintsTheBarToItsFraction();
  void DisplayTextFallsBackToWindows1252();
  void ProjectTextKeepsEveryCharacter();
};

void QtUiTest::NameFilterFollowsTheDialogsFilterText() {
  const std::pair<const char*, QString> cases[] = {
      {"Pagorin Project (*.pgx)|*.pgx", "Pagorin Project (*.pgx)"},
      {"Pagorin Template (*.template)|*.template|PHP file (*.php)|*.php",
       "Pagorin Template (*.template);;PHP file (*.php)"},
      {"Pages|*.html;*.htm", "Pages (*.html *.htm)"},  // the patterns added
      {"*.PGX", "*.PGX"},
      {"", ""},
  };
  for (const auto& [filter, expected] : cases) {
    QCOMPARE(QtNameFilter(filter), expected);
  }
}

void QtUiTest::QueuedAnswersComeFirstThenSafeAnswers() {
  QtUi ui;
  ui.QueueAnswer(Answer::kYes);
  QCOMPARE(ui.ShowMessage("Replace it?", Buttons::kYesNo, "Add New", Icon::kQuestion),
           Answer::kYes);
  ui.SetScripted(true);
  QCOMPARE(ui.ShowMessage("Replace it?", Buttons::kYesNo, {}, Icon::kNone), Answer::kNo);
  QCOMPARE(ui.ShowMessage("Disk full", Buttons::kRetryCancel, {}, Icon::kNone), Answer::kCancel);
  QCOMPARE(ui.ShowMessage("Done", Buttons::kOk, {}, Icon::kNone), Answer::kOk);
  ui.ShowErrorReport("Settings file damaged", "");
  QVERIFY(ui.OpenDocument("/tmp/page.html"));

  QCOMPARE(ui.MessageTexts(),
           (std::vector<std::string>{"Replace it?", "Replace it?", "Disk full", "Done"}));
  QCOMPARE(ui.messages().front().title, std::string("Add New"));
  QCOMPARE(ui.error_reports(), std::vector<std::string>{"Settings file damaged"});
  QCOMPARE(ui.opened_documents(), std::vector<std::string>{"/tmp/page.html"});
}

void QtUiTest::StripPaintsTheBarToItsFraction() {
  const struct {
    double fraction;
    bool quarter_filled, three_quarters_filled;
  } cases[] = {{0.5, true, false}, {0.0, false, false}, {-2.0, false, false}, {1.5, true, true}};
  for (const auto& c : cases) {
    StatusStripWidget strip;
    strip.resize(200, 24);
    const QColor bar(10, 200, 30);
    strip.ShowFrame(StatusFrame{c.fraction, {10, 200, 30}, ""});
    const QImage image = strip.grab().toImage();
    const int y = image.height() / 2;
    const QColor base = strip.palette().color(QPalette::Base);
    QCOMPARE(image.pixelColor(image.width() / 4, y), c.quarter_filled ? bar : base);
    QCOMPARE(image.pixelColor(image.width() * 3 / 4, y), c.three_quarters_filled ? bar : base);
  }
}

void QtUiTest::DisplayTextFallsBackToWindows1252() {
  QCOMPARE(ToQt("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
  QCOMPARE(ToQt("caf\xe9 \x80"), QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac"));
  QCOMPARE(FromProjectText("\x93quoted\x94", Charset::kWindows1252),
           QString::fromUtf8("\xe2\x80\x9cquoted\xe2\x80\x9d"));
}

void QtUiTest::ProjectTextKeepsEveryCharacter() {
  const QString typed = QString::fromUtf8("\xe2\x82\xac 5 \xe2\x98\x83 caf\xc3\xa9");
  QCOMPARE(ToProjectText(typed, Charset::kWindows1252), std::string("\x80 5 &#9731; caf\xe9"));
  QCOMPARE(ToProjectText(typed, Charset::kUtf8), typed.toStdString());
  QCOMPARE(FromProjectText(ToProjectText(typed, Charset::kUtf8), Charset::kUtf8), typed);
}

}  // namespace pagorin

QTEST_MAIN(pagorin::QtUiTest)
#include "qt_ui_test.moc"
