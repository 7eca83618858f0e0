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

class FrmExternalIncludesTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensOnTheListAndTemplateOfTheSite();
  void RefreshReadsTheListNamedInTheBox();
  void OkWritesBothFilesAndTheKeyKeepingLineEnds();
  void ExitWritesNothing();
};

void FrmExternalIncludesTest::OpensOnTheListAndTemplateOfTheSite() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  t.base.WriteFile(t.Site("IniFiles.txt"), "ver.inc, Template.txt, /rel/current.txt, False\r\n");
  t.base.WriteFile(t.Site("Template.txt"), "Version $FILE of $DATE\r\n");
  frmExternalIncludes dialog(t.engine);
  QCOMPARE(Find<QLineEdit>(&dialog, "txtIniFile")->text(),
           QString::fromStdString(t.Site("IniFiles.txt")));
  QCOMPARE(Find<QPlainTextEdit>(&dialog, "txtSources")->toPlainText(),
           QString("ver.inc, Template.txt, /rel/current.txt, False\n"));
  QCOMPARE(Find<QPlainTextEdit>(&dialog, "txtTemplate")->toPlainText(),
           QString("Version $FILE of $DATE\n"));
}

void FrmExternalIncludesTest::RefreshReadsTheListNamedInTheBox() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  t.base.WriteFile(t.Site("other.txt"), "a.inc, Template.txt, /x/current.txt, True");
  frmExternalIncludes dialog(t.engine);
  QCOMPARE(Find<QPlainTextEdit>(&dialog, "txtSources")->toPlainText(), QString());
  Find<QLineEdit>(&dialog, "txtIniFile")->setText(QString::fromStdString(t.Site("other.txt")));
  Find<QPushButton>(&dialog, "cmdRefresh")->click();
  QCOMPARE(Find<QPlainTextEdit>(&dialog, "txtSources")->toPlainText(),
           QString("a.inc, Template.txt, /x/current.txt, True"));
}

void FrmExternalIncludesTest::OkWritesBothFilesAndTheKeyKeepingLineEnds() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  t.base.WriteFile(t.Site("Template.txt"), "old\nlines\n");  // written with LF: stays LF
  frmExternalIncludes dialog(t.engine);
  dialog.show();
  const std::string list = t.Site("versions.txt");
  Find<QLineEdit>(&dialog, "txtIniFile")->setText(QString::fromStdString(list));
  Find<QPlainTextEdit>(&dialog, "txtSources")
      ->setPlainText("ver.inc, Template.txt, /rel/current.txt, False\nb.inc, T.txt, /b, 1");
  Find<QPlainTextEdit>(&dialog, "txtTemplate")->setPlainText("$FILE\n$DATE\n");
  Find<QPushButton>(&dialog, "cmdOK")->click();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(t.base.ReadFile(list),
           std::string("ver.inc, Template.txt, /rel/current.txt, False\r\nb.inc, T.txt, /b, 1"));
  QCOMPARE(t.base.ReadFile(t.Site("Template.txt")), std::string("$FILE\n$DATE\n"));
  QCOMPARE(t.engine.ProjectSettings.sGet("IniListFilename").Text(), list);
}

void FrmExternalIncludesTest::ExitWritesNothing() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  frmExternalIncludes dialog(t.engine);
  dialog.show();
  Find<QPlainTextEdit>(&dialog, "txtSources")->setPlainText("x.inc, Template.txt, /x, 0");
  Find<QPlainTextEdit>(&dialog, "txtTemplate")->setPlainText("$FILE");
  Find<QPushButton>(&dialog, "cmdExit")->click();
  QVERIFY(!t.base.Exists(t.Site("IniFiles.txt")));
  QVERIFY(!t.base.Exists(t.Site("Template.txt")));
  QVERIFY(t.engine.ProjectSettings.sGet("IniListFilename").IsEmpty());
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmExternalIncludesTest)
#include "frm_external_includes_test.moc"
