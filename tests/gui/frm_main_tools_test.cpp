// The main window's keyword and site tools: the description and keywords
// shown for the selected page, Sgst and Set Keywords (with Rename), Tidy
// META Keywords, Add Titles to Links, Copy and Renumber and the Search and
// Replace dialog, with the questions scripted.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "gui/frm_main.h"
#include "gui/frm_replace.h"
#include "gui_test_env.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::Text;
using testing::Type;
using testing::WhenModal;

namespace {

// A site of two pages, each with its header and content include, whose
// pages were built before.
struct ToolsWindow {
  ToolsWindow() {
    for (const char* name : {"about", "index"}) {
      const std::string page = name;
      t.base.WriteFile(t.Site("Templates/" + page + ".template"),
                       "[include=header_" + page + ".inc][include=content_" + page + ".inc]");
      t.base.WriteFile(t.Site("Includes/header_" + page + ".inc"),
                       "<head><title>" + page + "</title></head>");
      t.base.WriteFile(t.Site("Includes/content_" + page + ".inc"),
                       "<p>Tide tables, tide times, <a href=x.html>times</a></p>");
      t.base.WriteFile(t.Site(page + ".html"), "<META name=\"description\" content=\"The " + page +
                                                   " page\"><META name=\"keywords\" content=\"" +
                                                   page + ", old\">");
    }
    if (!t.OpenSite()) {
      qFatal("the site did not open");
    }
    window = std::make_unique<frmMain>(t.engine, t.ui);
  }

  QTreeWidget* List() { return Find<QTreeWidget>(window.get(), "ListView1"); }
  QPushButton* Button(const char* name) { return Find<QPushButton>(window.get(), name); }
  QAction* Menu(const char* name) { return Find<QAction>(window.get(), name); }
  QString Shown() {
    return Text(window.get(), "txtExt") + "|" + Text(window.get(), "txtDesc") + "|" +
           Text(window.get(), "txtKeywords") + "|" + Text(window.get(), "txtSuggested");
  }
  std::string Read(const std::string& relative) { return t.base.ReadFile(t.Site(relative)); }

  GuiTestEnv t;
  std::unique_ptr<frmMain> window;
};

}  // namespace

class FrmMainToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void ClickedEntryShowsItsPagesTags();
  void SuggestAndSetKeywordsWithRename();
  void TidyLinkTitlesAndCopyRenumber();
  void ReplaceOpensTheDialog();
};

void FrmMainToolsTest::ClickedEntryShowsItsPagesTags() {
  ToolsWindow w;
  for (const char* name : {"cmdSuggest", "cmdSetKwd", "cmdCopyRenum"}) {
    QVERIFY2(w.Button(name)->isEnabled(), name);
  }
  QVERIFY(Find<QCheckBox>(w.window.get(), "chkRename")->isEnabled());
  QCOMPARE(w.Button("cmdSuggest")->toolTip(),
           QString("Generate a suggested list of keywords for the selected html file"));
  QCOMPARE(w.Button("cmdSetKwd")->toolTip(),
           QString("Copies the suggested keywords to the META tag."));
  QCOMPARE(Find<QCheckBox>(w.window.get(), "chkRename")->toolTip(),
           QString("When ticked, renames the header_ include to match the template, copying the "
                   "contents."));
  QCOMPARE(w.Shown(), QString(".html|The about page|about, old|"));

  w.List()->clearSelection();
  QTreeWidgetItem* index = w.List()->topLevelItem(1);
  index->setSelected(true);
  emit w.List()->itemClicked(index, 0);
  QApplication::processEvents();
  QCOMPARE(w.Shown(), QString(".html|The index page|index, old|"));
}

void FrmMainToolsTest::SuggestAndSetKeywordsWithRename() {
  ToolsWindow w;
  w.Button("cmdSuggest")->click();
  QCOMPARE(Text(w.window.get(), "txtSuggested"), QString("Tide,times"));
  Type(w.window.get(), "txtSuggested", "tides,times");
  Find<QCheckBox>(w.window.get(), "chkRename")->setChecked(true);
  w.Button("cmdSetKwd")->click();
  const std::string header =
      "<head><title>about</title>\r\n\r\n    <META name=\"keywords\" "
      "content=\"tides,times\">\r\n</head>";
  QCOMPARE(w.Read("Includes/header_about.inc"), header);
  QCOMPARE(w.Read("Templates/about.template"),
           std::string("[include=header_about.inc][include=content_about.inc]"));
  QCOMPARE(w.Read("about.html"),
           header + "<p>Tide tables, tide times, <a href=x.html>times</a></p>");
  QCOMPARE(w.Shown(), QString(".html||tides,times|"));
  QVERIFY(w.t.ui.messages().empty());
}

void FrmMainToolsTest::TidyLinkTitlesAndCopyRenumber() {
  ToolsWindow w;
  w.t.base.WriteFile(w.t.Site("Includes/meta.inc"), "<META name=\"keywords\" content=\"a, b\">");
  w.t.ui.QueueAnswer(Answer::kYes);
  w.Menu("mnuTidyMeta")->trigger();
  QCOMPARE(w.Read("Includes/meta.inc"), std::string("<META name=\"keywords\" content=\"a,b\">"));

  w.Menu("mnuAddTitlesToLinks")->trigger();
  QCOMPARE(w.Read("Includes/content_index.inc"),
           std::string("<p>Tide tables, tide times, <a href=x.html title='times'>times</a></p>"));

  w.t.base.WriteFile(w.t.Site("@@@.template"), "page @@@");
  w.t.base.WriteFile(w.t.Site("content_@@@.inc"), "text @@@");
  w.t.ui.QueueAnswer(Answer::kYes);
  w.Button("cmdCopyRenum")->click();
  QCOMPARE(w.Read("40.template"), std::string("page 40"));
  QCOMPARE(w.Read("content_3.inc"), std::string("text 3"));
  QCOMPARE(w.t.ui.MessageTexts().size(), std::size_t{2});  // the two questions
}

void FrmMainToolsTest::ReplaceOpensTheDialog() {
  ToolsWindow w;
  WhenModal<frmReplace>([](frmReplace* dialog) {
    Type(dialog, "txtOld", "tide");
    Type(dialog, "txtNew", "sea");
    Find<QPushButton>(dialog, "cmdGo")->click();
    Find<QPushButton>(dialog, "cmdQuit")->click();
  });
  w.Menu("mnuReplace")->trigger();
  QCOMPARE(w.Read("Includes/content_about.inc"),
           std::string("<p>sea tables, sea times, <a href=x.html>times</a></p>"));
  QCOMPARE(w.t.engine.ProjectSettings.sGet("SearchSourcePath").Text(), w.t.Site("Includes/"));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmMainToolsTest)
#include "frm_main_tools_test.moc"
