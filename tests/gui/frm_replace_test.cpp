// The Search and Replace dialog: its controls, the folder it opens on and
// stores, Replace, List, Preview and Undo, with the questions and the folder
// chooser scripted.
#include "gui/frm_replace.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "gui_test_env.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::Text;
using testing::Type;

namespace {

void Click(QObject* dialog, const char* name) {
  Find<QPushButton>(dialog, name)->click();
}

QString Status(QObject* dialog) {
  return Find<QLabel>(dialog, "lblStatus")->text();
}

}  // namespace

class FrmReplaceTest : public QObject {
  Q_OBJECT

 private slots:
  void ControlsAndTheFolderItOpensOnAndStores();
  void ReplaceListPreviewAndUndo();
  void WildcardMessageChangesNothing();
};

void FrmReplaceTest::ControlsAndTheFolderItOpensOnAndStores() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  const QString includes = QString::fromStdString(t.Site("Includes/"));
  {
    frmReplace dialog(t.engine, t.ui);
    QCOMPARE(dialog.windowTitle(), QString("Search and Replace"));
    QCOMPARE(Text(&dialog, "txtSourcePath"), includes);
    QCOMPARE(Find<QLineEdit>(&dialog, "txtOld")->toolTip(), QString("Paste search text here."));
    QCOMPARE(Find<QLineEdit>(&dialog, "txtNew")->toolTip(),
             QString("Paste replace-with text here"));
    QCOMPARE(Find<QCheckBox>(&dialog, "chkWildCard")->text(), QString("Use '*' as wildcard"));
    const std::pair<const char*, const char*> captions[] = {
        {"cmdPickPath", "..."}, {"cmdList", "List"}, {"cmdQuit", "Exit"}};
    for (const auto& [name, caption] : captions) {
      QCOMPARE(Find<QPushButton>(&dialog, name)->text(), QString(caption));
    }
    t.ui.QueueFileName(std::nullopt);
    Click(&dialog, "cmdPickPath");
    QCOMPARE(Text(&dialog, "txtSourcePath"), includes);
    t.ui.QueueFileName(t.Site("Templates"));
    Click(&dialog, "cmdPickPath");
    QCOMPARE(Text(&dialog, "txtSourcePath"), QString::fromStdString(t.Site("Templates")));
    QCOMPARE(t.ui.file_requests().back().title, std::string("Source Path"));
    dialog.show();
    dialog.close();  // through the frame
  }
  QCOMPARE(t.engine.ProjectSettings.sGet("SearchSourcePath").Text(), t.Site("Templates"));
  frmReplace reopened(t.engine, t.ui);
  QCOMPARE(Text(&reopened, "txtSourcePath"), QString::fromStdString(t.Site("Templates")));
  Type(&reopened, "txtSourcePath", "/elsewhere/");
  reopened.show();
  Click(&reopened, "cmdQuit");
  QVERIFY(!reopened.isVisible());
  QCOMPARE(t.engine.ProjectSettings.sGet("SearchSourcePath").Text(), std::string("/elsewhere/"));
}

void FrmReplaceTest::ReplaceListPreviewAndUndo() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  t.base.WriteFile(t.Site("Includes/a.inc"), "Old old");
  t.base.WriteFile(t.Site("Includes/b.inc"), "none");
  t.base.WriteFile(t.Site("Includes/c.inc"), "<b>old</b>");
  frmReplace dialog(t.engine, t.ui);
  Click(&dialog, "cmdList");
  Type(&dialog, "txtOld", "old");
  Type(&dialog, "txtNew", "new");
  Click(&dialog, "cmdPreview");
  QCOMPARE(t.base.ReadFile(t.Site("Includes/a.inc")), std::string("Old old"));
  Click(&dialog, "cmdGo");
  QCOMPARE(Status(&dialog), QString("Replaced data in 2 files"));
  QCOMPARE(t.base.ReadFile(t.Site("Includes/a.inc")), std::string("new new"));
  QCOMPARE(t.base.ReadFile(t.Site("Includes/c.inc")), std::string("<b>new</b>"));
  Click(&dialog, "cmdList");
  Click(&dialog, "cmdUndo");
  QCOMPARE(t.base.ReadFile(t.Site("Includes/a.inc")), std::string("Old old"));
  QCOMPARE(t.base.ReadFile(t.Site("Includes/c.inc")), std::string("<b>old</b>"));
  QCOMPARE(t.ui.MessageTexts(),
           (std::vector<std::string>{
               "Replaced data in these files: \r\nNone",
               "2 files would change:\r\na.inc: 2 matches\r\nc.inc: 1 match",
               "Replaced data in these files: \r\na.inc\r\nc.inc\r\n",
               "Took back the search and replace run of 2024-03-07 14.35.00: 2 files restored.",
           }));
}

void FrmReplaceTest::WildcardMessageChangesNothing() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  t.base.WriteFile(t.Site("Includes/a.inc"), "<b>x</b>");
  frmReplace dialog(t.engine, t.ui);
  Type(&dialog, "txtOld", "<b>*");
  Type(&dialog, "txtNew", "<i>*</i>");
  Find<QCheckBox>(&dialog, "chkWildCard")->setChecked(true);
  Click(&dialog, "cmdGo");
  QCOMPARE(t.ui.MessageTexts(),
           std::vector<std::string>{"Wildcard cannot be first or last character in search string"});
  QCOMPARE(Status(&dialog), QString());
  Type(&dialog, "txtOld", "<b>*</b>");
  Click(&dialog, "cmdGo");
  QCOMPARE(t.base.ReadFile(t.Site("Includes/a.inc")), std::string("<i>x</i>"));
  QCOMPARE(Status(&dialog), QString("Replaced data in 1 files"));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmReplaceTest)
#include "frm_replace_test.moc"
