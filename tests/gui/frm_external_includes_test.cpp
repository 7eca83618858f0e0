// The version include generator dialog: the texts it opens with, Refresh,
// OK and Exit, byte for byte.
#include "gui/frm_external_includes.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "gui_test_env.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;

namespace {

QString Box(QObject* dialog, const char* name) {
  return Find<QPlainTextEdit>(dialog, name)->toPlainText();
}

void Fill(QObject* dialog, const char* name, const QString& text) {
  Find<QPlainTextEdit>(dialog, name)->setPlainText(text);
}

}  // namespace

class FrmExternalIncludesTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensOnTheSitesListAndRefreshReadsTheOneNamed();
  void OkWritesBothFilesAndTheKeyKeepingLineEndsAndExitNothing();
};

void FrmExternalIncludesTest::OpensOnTheSitesListAndRefreshReadsTheOneNamed() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  t.base.WriteFile(t.Site("IniFiles.txt"), "ver.inc, Template.txt, /rel/current.txt, False\r\n");
  t.base.WriteFile(t.Site("Template.txt"), "Version $FILE of $DATE\r\n");
  t.base.WriteFile(t.Site("other.txt"), "a.inc, Template.txt, /x/current.txt, True");
  frmExternalIncludes dialog(t.engine);
  QCOMPARE(Find<QLineEdit>(&dialog, "txtIniFile")->text(),
           QString::fromStdString(t.Site("IniFiles.txt")));
  QCOMPARE(Box(&dialog, "txtSources"), QString("ver.inc, Template.txt, /rel/current.txt, False\n"));
  QCOMPARE(Box(&dialog, "txtTemplate"), QString("Version $FILE of $DATE\n"));

  Find<QLineEdit>(&dialog, "txtIniFile")->setText(QString::fromStdString(t.Site("other.txt")));
  Find<QPushButton>(&dialog, "cmdRefresh")->click();
  QCOMPARE(Box(&dialog, "txtSources"), QString("a.inc, Template.txt, /x/current.txt, True"));
}

void FrmExternalIncludesTest::OkWritesBothFilesAndTheKeyKeepingLineEndsAndExitNothing() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  const std::string list = t.Site("versions.txt");
  t.base.WriteFile(t.Site("Template.txt"), "old\nlines\n");  // written with LF: stays LF
  for (const bool ok : {false, true}) {
    frmExternalIncludes dialog(t.engine);
    dialog.show();
    Find<QLineEdit>(&dialog, "txtIniFile")->setText(QString::fromStdString(list));
    Fill(&dialog, "txtSources",
         "ver.inc, Template.txt, /rel/current.txt, False\nb.inc, T.txt, /b, 1");
    Fill(&dialog, "txtTemplate", "$FILE\n$DATE\n");
    Find<QPushButton>(&dialog, ok ? "cmdOK" : "cmdExit")->click();
    QVERIFY(!dialog.isVisible());
    if (!ok) {
      QVERIFY(!t.base.Exists(list));
      QCOMPARE(t.base.ReadFile(t.Site("Template.txt")), std::string("old\nlines\n"));
      QVERIFY(t.engine.ProjectSettings.sGet("IniListFilename").IsEmpty());
    }
  }
  QCOMPARE(t.base.ReadFile(list),
           std::string("ver.inc, Template.txt, /rel/current.txt, False\r\nb.inc, T.txt, /b, 1"));
  QCOMPARE(t.base.ReadFile(t.Site("Template.txt")), std::string("$FILE\n$DATE\n"));
  QCOMPARE(t.engine.ProjectSettings.sGet("IniListFilename").Text(), list);
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmExternalIncludesTest)
#include "frm_external_includes_test.moc"
