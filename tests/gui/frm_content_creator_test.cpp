// The Content Creator and its tag picker on a copy of the Sample: what it
// opens with, Generate, Exit, the picker, refusals, and the news lists and
// template list after it closes from the main window.
#include "gui/frm_content_creator.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/project_paths.h"
#include "gui/frm_main.h"
#include "gui/frm_pick_tags.h"
#include "gui_test_env.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::Has;
using testing::Text;
using testing::Type;
using testing::WhenModal;

class FrmContentCreatorTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensOnTheProjectsNewsKeysAndTheDefaultLists();
  void GenerateWritesTheItemAndClearsTheStory();
  void ExitStoresTheListsAndTheCloseBoxDoesNot();
  void ChosenTagsAreAddedToTheTagsBox();
  void TextOfAWindowsProjectIsWrittenInItsCharacterSet();
  void UntouchedBoxesGiveBackTheirBytes();
  void ClosingFromTheMainWindowRebuildsListsAndTemplates();
};

void FrmContentCreatorTest::OpensOnTheProjectsNewsKeysAndTheDefaultLists() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  frmContentCreator dialog(t.engine);
  QCOMPARE(Text(&dialog, "txtNumber"), QString("5"));
  QCOMPARE(Text(&dialog, "txtSourceInclude"), QString("content_news0000.inc"));
  QCOMPARE(Text(&dialog, "txtDate"), QString("2:35pm, March 7 2024"));
  auto* lists = Find<QTreeWidget>(&dialog, "ListView1");
  QCOMPARE(lists->topLevelItemCount(), 13);
  QCOMPARE(lists->topLevelItem(12)->text(3), QString("Vorn"));

  t.base.clock.Advance(std::chrono::minutes(32));
  Find<QPushButton>(&dialog, "cmdNow")->click();
  QCOMPARE(Text(&dialog, "txtDate"), QString("3:07pm, March 7 2024"));
}

void FrmContentCreatorTest::GenerateWritesTheItemAndClearsTheStory() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  frmContentCreator dialog(t.engine);
  auto* story = Find<QPlainTextEdit>(&dialog, "txtStory");
  Type(&dialog, "txtTitle", "Spring tides");
  story->setPlainText("Highest of the year.\nTake care.");
  Type(&dialog, "txtTags", "Ports, Tides");
  Find<QPushButton>(&dialog, "cmdGen")->click();

  QCOMPARE(t.ui.MessageTexts(),
           std::vector<std::string>{t.Site("Templates/news0006.template") + " generated"});
  QVERIFY(Has(t.base.ReadFile(t.Site("Includes/content_news0006.inc")),
              "<!-- story -->Highest of the year.\r\nTake care.<!-- end story --><!-- num=6-->"));
  QCOMPARE(Text(&dialog, "txtNumber"), QString("6"));
  QCOMPARE(Text(&dialog, "txtTitle") + Text(&dialog, "txtTags") + story->toPlainText(), QString());
  QCOMPARE(t.engine.ProjectSettings.sGet("TAGS_5").Text(), std::string("Tides"));
}

void FrmContentCreatorTest::ExitStoresTheListsAndTheCloseBoxDoesNot() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  for (const bool by_exit : {false, true}) {
    frmContentCreator dialog(t.engine);
    dialog.show();
    if (by_exit) {
      Find<QPushButton>(&dialog, "cmdExit")->click();
    } else {
      dialog.close();
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(t.engine.ProjectSettings.SetCount("GEN_INCFILE"), by_exit ? 13 : 0);
  }
  QCOMPARE(t.engine.ProjectSettings.sGet("GEN_COUNT_1").Text(), std::string("-1"));
}

void FrmContentCreatorTest::ChosenTagsAreAddedToTheTagsBox() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  frmContentCreator dialog(t.engine);
  dialog.show();
  Type(&dialog, "txtTags", "Tides");
  QStringList offered;
  WhenModal<frmPickTags>([&offered](frmPickTags* picker) {
    auto* list = picker->findChild<QListWidget*>("List1");
    for (int i = 0; i < list->count(); ++i) {
      offered << list->item(i)->text();
    }
    list->item(3)->setSelected(true);
    list->item(0)->setSelected(true);
    picker->findChild<QPushButton*>("cmdOK")->click();
  });
  Find<QPushButton>(&dialog, "cmdChooseTags")->click();
  QCOMPARE(offered, (QStringList{"Ports", "Release", "Printing", "Appearance"}));
  QCOMPARE(Text(&dialog, "txtTags"), QString("Tides, Ports, Appearance"));

  WhenModal<frmPickTags>([](frmPickTags* picker) {
    picker->findChild<QListWidget*>("List1")->item(1)->setSelected(true);
    picker->close();  // closed without OK: nothing is added
  });
  Find<QPushButton>(&dialog, "cmdChooseTags")->click();
  QCOMPARE(Text(&dialog, "txtTags"), QString("Tides, Ports, Appearance"));
}

void FrmContentCreatorTest::TextOfAWindowsProjectIsWrittenInItsCharacterSet() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());  // no Charset key: a project made on Windows
  t.base.WriteFile(t.Site("Includes/content_news0000.inc"), "$NewsBareTitle$");
  t.base.WriteFile(t.Site("Includes/header_news0000.inc"), "");
  frmContentCreator dialog(t.engine);
  Type(&dialog, "txtTitle", QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac 5 \xe2\x98\x83"));
  Find<QPushButton>(&dialog, "cmdGen")->click();
  QCOMPARE(t.base.ReadFile(t.Site("Includes/content_news0001.inc")),
           std::string("Caf\xe9 \x80 5 &#9731;"));
}

// Bytes no character stands for in the box's encoding come back as they
// were, in a Windows project and in a UTF-8 one.
void FrmContentCreatorTest::UntouchedBoxesGiveBackTheirBytes() {
  for (const char* charset : {"windows-1252", "utf-8"}) {
    GuiTestEnv t;
    QVERIFY(t.OpenSite({std::string("CHARSET,") + charset, "NEWSPREFIX,nouvelle\xe9",
                        "NEWSSOURCETEMPLATE,mod\xe8le0000.template"}));
    frmContentCreator dialog(t.engine);
    ContentCreatorFields before = dialog.Fields();
    QCOMPARE(before.txtPrefix, std::string("nouvelle\xe9"));
    QCOMPARE(before.txtSourceTemplate, std::string("mod\xe8le0000.template"));
    Type(&dialog, "txtPrefix", QString::fromUtf8("nouvelle\xc3\xa8"));
    QCOMPARE(dialog.Fields().txtPrefix, std::string("nouvelle\xc3\xa8"));
  }
}

void FrmContentCreatorTest::ClosingFromTheMainWindowRebuildsListsAndTemplates() {
  GuiTestEnv t;
  QVERIFY(t.OpenSample());
  frmMain window(t.engine, t.ui);
  WhenModal<frmContentCreator>([](frmContentCreator* dialog) {
    dialog->findChild<QLineEdit*>("txtTitle")->setText("Neap tides ahead");
    dialog->findChild<QPlainTextEdit*>("txtStory")->setPlainText("Quiet water all week.");
    dialog->findChild<QPushButton*>("cmdGen")->click();
    dialog->findChild<QPushButton*>("cmdExit")->click();
  });
  Find<QAction>(&window, "mnuContentCreator")->trigger();
  auto* templates = Find<QTreeWidget>(&window, "ListView1");
  QCOMPARE(templates->findItems("news0006", Qt::MatchExactly).size(), 1);
  QVERIFY(Has(t.base.ReadFile(t.Site("Includes/complete_newslist.inc")),
              "<a href=\"news0006.html\">Neap tides ahead</a>"));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmContentCreatorTest)
#include "frm_content_creator_test.moc"
