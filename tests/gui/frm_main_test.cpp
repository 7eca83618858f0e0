// The main window on a copy of the Sample: the list and its selection, the
// Generate, Set and Clear buttons, the button timer, and the project
// commands when their dialogs are used or cancelled.
#include "gui/frm_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/project_paths.h"
#include "app/startup.h"
#include "gui/frm_settings.h"
#include "gui/status_strip.h"
#include "gui_test_env.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::Has;
using testing::Text;
using testing::Type;
using testing::WhenModal;

namespace {

const QString kDash = QString::fromUtf8(" \xe2\x80\x94 ");

// The desktop program's start on a copy of the Sample: the window first,
// then the start-up steps on the project given, as the program does it.
struct SampleWindow {
  explicit SampleWindow(bool open_sample = true) {
    CommandLine line;
    if (open_sample) {
      line.project = project;
    }
    Startup(t.engine, line, t.base.Path("data"));
    window.ShowEngineState();
  }

  QTreeWidget* List() { return Find<QTreeWidget>(&window, "ListView1"); }
  QPushButton* Button(const char* name) { return Find<QPushButton>(&window, name); }
  QAction* Menu(const char* name) { return Find<QAction>(&window, name); }
  std::string Site(const std::string& relative) const { return t.Site(relative); }
  std::string Caption() { return Find<StatusStripWidget>(&window, "picStatus")->frame().caption; }
  QString PageOf(const char* name) {
    return List()->findItems(name, Qt::MatchExactly).value(0)->text(2);
  }

  // What a cancelled or refused command must leave as it was: the project,
  // the window title, the title box and the template list.
  QString State() {
    return QString::fromStdString(t.engine.ProjectFile) +
           (t.engine.ProjectLoaded ? " open|" : " closed|") + window.windowTitle() + "|" +
           Text(&window, "txtTitle") + "|" + QString::number(List()->topLevelItemCount());
  }

  // Selects exactly the entries named (by their text) as a person would.
  void Select(const QStringList& names) {
    List()->clearSelection();
    for (int i = 0; i < List()->topLevelItemCount(); ++i) {
      List()->topLevelItem(i)->setSelected(names.contains(List()->topLevelItem(i)->text(0)));
    }
  }

  std::vector<std::string> EngineSelection() const {
    std::vector<std::string> names;
    for (const TemplateEntry& entry : t.engine.ListView1.entries()) {
      if (entry.selected) {
        names.push_back(entry.text);
      }
    }
    return names;
  }

  GuiTestEnv t;
  std::string project = t.CopySample();
  frmMain window{t.engine, t.ui};
};

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensTheSampleWithItsTemplatesAndTitle();
  void GenerateSelectedAndAllWriteThePages();
  void SetAndClearWriteAndRemoveTheExtKeys();
  void MissingIncludeShowsItsMessage();
  void Timer1FollowsTheListsState();
  void PreviewAndCssFilesOpenTheirDocuments();
  void HelpContentsOpensTheManualAndTheHelpButtonKeepsItsMessage();
  void CancelledDialogsKeepTheWindowAndTheFiles();
  void FileThatIsNotAProjectIsNotOpened();
  void ProjectWhoseSiteFolderIsGoneShowsAnEmptyList();
  void ChosenNamesMakeTheTemplateAndTheProjects();
  void QuitSavesTheTitleAndEndsOnce();
  void StartWithoutAProjectDisablesTheProjectMenus();
  void TitleLeftAsItWasKeepsItsBytes();
};

void FrmMainTest::OpensTheSampleWithItsTemplatesAndTitle() {
  SampleWindow w;
  QCOMPARE(w.window.windowTitle(), "Sample" + kDash + "Pagorin");
  QCOMPARE(Text(&w.window, "txtTitle"), QString("Kestrel Tide Tables"));
  QCOMPARE(w.List()->topLevelItemCount(), w.t.engine.ListView1.count());
  QCOMPARE(w.List()->topLevelItem(0)->text(1), QString("about.template"));
  QCOMPARE(w.PageOf("faq"), QString("faq.htm"));
  QVERIFY(w.List()->topLevelItem(0)->isSelected());
  QCOMPARE(w.EngineSelection(), std::vector<std::string>{"about"});
  QVERIFY(w.Menu("mnuSaveProject")->isEnabled());
}

void FrmMainTest::GenerateSelectedAndAllWriteThePages() {
  SampleWindow w;
  w.Select({"faq", "index"});
  QCOMPARE(w.EngineSelection(), (std::vector<std::string>{"faq", "index"}));
  w.Button("cmdGo_0")->click();
  QVERIFY(w.t.base.Exists(w.Site("faq.htm")));
  QVERIFY(w.t.base.Exists(w.Site("index.html")));
  QVERIFY(!w.t.base.Exists(w.Site("about.html")));
  QCOMPARE(w.Caption(), std::string("Selected item(s) compiled"));
  QCOMPARE(w.EngineSelection(), (std::vector<std::string>{"faq", "index"}));
  QVERIFY(w.Button("cmdGo_0")->isEnabled());  // unlocked again

  w.Button("cmdGo_1")->click();
  for (const TemplateEntry& entry : w.t.engine.ListView1.entries()) {
    QVERIFY2(w.t.base.Exists(BuildWebFilename(w.t.engine, entry.tag)), entry.tag.c_str());
  }
  QCOMPARE(w.Caption(), std::string("100%"));
  QVERIFY(w.t.ui.messages().empty());
}

void FrmMainTest::SetAndClearWriteAndRemoveTheExtKeys() {
  SampleWindow w;
  w.Select({"about", "index"});
  Type(&w.window, "txtExt", " .php ");
  w.Button("cmdSetExt")->click();
  std::string saved = w.t.base.ReadFile(w.project);
  QVERIFY(Has(saved, "EXT_ABOUT,.php\r\n"));
  QVERIFY(Has(saved, "EXT_INDEX,.php\r\n"));
  QCOMPARE(w.PageOf("about"), QString("about.php"));

  w.Select({"index"});
  w.Button("cmdClearExt")->click();
  saved = w.t.base.ReadFile(w.project);
  QVERIFY(Has(saved, "EXT_ABOUT,.php\r\n"));
  QVERIFY(!Has(saved, "EXT_INDEX"));
  QCOMPARE(w.PageOf("index"), QString("index.html"));
}

void FrmMainTest::MissingIncludeShowsItsMessage() {
  SampleWindow w;
  w.t.base.WriteFile(w.Site("Templates/broken.template"), "<p>[include=gone.inc]</p>");
  w.Button("cmdGo_1")->click();
  QCOMPARE(w.t.ui.MessageTexts(),
           std::vector<std::string>{"gone.inc not found in broken.template. Please fix and "
                                    "re-run."});
  QCOMPARE(w.Caption(), std::string("gone.inc not found in broken.template"));
  QVERIFY(w.t.base.Exists(w.Site("about.html")));  // built before it
  QVERIFY(!w.t.base.Exists(w.Site("download.html")));
  QVERIFY(w.Button("cmdGo_1")->isEnabled());
}

void FrmMainTest::Timer1FollowsTheListsState() {
  SampleWindow w;
  w.List()->clearSelection();
  QTRY_VERIFY(!w.Button("cmdGo_0")->isEnabled());
  QVERIFY(!w.Button("cmdPreview")->isEnabled());
  QVERIFY(w.Button("cmdGo_1")->isEnabled());
  w.Select({"news"});
  QTRY_VERIFY(w.Button("cmdGo_0")->isEnabled());
  QVERIFY(w.Button("cmdPreview")->isEnabled());

  std::filesystem::remove_all(w.Site("Templates"));
  std::filesystem::create_directories(w.Site("Templates"));
  w.Menu("mnuRescan")->trigger();
  QCOMPARE(w.List()->topLevelItemCount(), 0);
  QTRY_VERIFY(!w.Button("cmdGo_1")->isEnabled());
  QVERIFY(!w.Button("cmdGo_0")->isEnabled());
  QVERIFY(!w.Button("cmdSetExt")->isEnabled());
}

void FrmMainTest::PreviewAndCssFilesOpenTheirDocuments() {
  SampleWindow w;
  w.Select({"faq"});
  w.Button("cmdPreview")->click();  // no page yet: it is built first
  QVERIFY(w.t.base.Exists(w.Site("faq.htm")));
  QAction* style = Find<QAction>(&w.window, "mnuCSS_0");
  QCOMPARE(style->text(), QString("style.css"));
  style->trigger();
  QCOMPARE(w.t.ui.opened_documents(),
           (std::vector<std::string>{w.Site("faq.htm"), w.Site("style.css")}));

  std::filesystem::remove(w.Site("style.css"));
  w.Menu("mnuRescan")->trigger();
  QVERIFY(!Find<QMenu>(&w.window, "mnuCSSFiles")->menuAction()->isVisible());
}

void FrmMainTest::HelpContentsOpensTheManualAndTheHelpButtonKeepsItsMessage() {
  SampleWindow w;
  w.t.base.paths.installed_dir = w.t.base.Path("share/pagorin/");
  const std::string manual = w.t.base.Path("share/pagorin/manual/index.html");
  w.t.base.WriteFile(manual, "<h1>Contents</h1>");
  QAction* contents = w.Menu("mnuHelpContents");
  QCOMPARE(contents->shortcut(), QKeySequence(Qt::Key_F1));
  contents->trigger();
  QCOMPARE(w.t.ui.opened_documents(), std::vector<std::string>{manual});
  w.Button("cmdHelp")->click();
  QCOMPARE(w.t.ui.MessageTexts(), std::vector<std::string>{"Help file coming soon."});
}

void FrmMainTest::CancelledDialogsKeepTheWindowAndTheFiles() {
  SampleWindow w;
  const QString before = w.State();
  const std::string project = w.t.base.ReadFile(w.project);
  const std::vector<std::string> templates = w.t.base.List(w.Site("Templates"));
  for (const char* command : {"mnuNewProject", "mnuOpenProject", "mnuSaveProjectAs",
                              "mnuNewTemplate", "mnuCopyTemplate"}) {
    w.Menu(command)->trigger();  // its file dialog is cancelled
    QVERIFY2(w.State() == before, command);
  }
  QCOMPARE(w.t.ui.file_requests().size(), size_t{5});
  QCOMPARE(w.t.ui.file_requests()[2].title, std::string("New Pagorin Project"));
  QCOMPARE(w.t.ui.file_requests()[4].title, std::string("Enter the new template filename"));

  // A new project's settings dialog cancelled after its file was chosen.
  w.t.ui.QueueFileName(w.t.base.Path("new/New Project.pgx"));
  bool asked = false;
  WhenModal<frmSettings>([&asked](frmSettings* settings) {
    asked = true;
    settings->findChild<QPushButton*>("cmdExit")->click();
  });
  w.Menu("mnuNewProject")->trigger();
  QVERIFY(asked);
  QCOMPARE(w.State(), before);
  QVERIFY(!w.t.base.Exists(w.t.base.Path("new/New Project.pgx")));

  // The open project's settings cancelled: nothing typed is kept, but the
  // project is still saved.
  std::filesystem::remove(w.project);
  WhenModal<frmSettings>([](frmSettings* settings) {
    settings->findChild<QLineEdit*>("txtFTPLoginName")->setText("someone");
    settings->findChild<QPushButton*>("cmdExit")->click();
  });
  w.Menu("mnuSettings")->trigger();
  QCOMPARE(w.t.base.ReadFile(w.project), project);
  QCOMPARE(w.t.base.List(w.Site("Templates")), templates);
}

void FrmMainTest::FileThatIsNotAProjectIsNotOpened() {
  SampleWindow w;
  const QString before = w.State();
  const std::string project = w.t.base.ReadFile(w.project);
  const std::string picture = w.t.base.Path("photo.pgx");
  const std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  w.t.base.WriteFile(picture, bytes);
  w.t.ui.QueueFileName(picture);
  w.Menu("mnuOpenProject")->trigger();
  QCOMPARE(
      w.t.ui.MessageTexts(),
      std::vector<std::string>{picture + " is not a Pagorin project file (its lines are not "
                                         "NAME,value settings). It was not opened and will not be "
                                         "changed."});
  QCOMPARE(w.State(), before);
  QCOMPARE(w.t.base.ReadFile(picture), bytes);
  QCOMPARE(w.t.base.ReadFile(w.project), project);
}

void FrmMainTest::ProjectWhoseSiteFolderIsGoneShowsAnEmptyList() {
  SampleWindow w;
  const std::string moved = w.t.base.Path("moved.pgx");
  w.t.base.WriteFile(moved, "PROJECTPATH," + w.t.base.Path("gone/") + "\r\nPROJECTTITLE,Moved\r\n");
  w.t.ui.QueueFileName(moved);
  w.Menu("mnuOpenProject")->trigger();
  QCOMPARE(w.State(), QString::fromStdString(moved) + " open|moved" + kDash + "Pagorin|Moved|0");
  QCOMPARE(Find<QLabel>(&w.window, "lblSiteFolder")->text(),
           QString::fromStdString(w.t.base.Path("gone/")) + kDash + "this folder does not exist");
  QVERIFY(!w.Button("cmdGo_1")->isEnabled());
  QVERIFY(w.t.ui.messages().empty());
  QVERIFY(!w.t.base.Exists(w.t.base.Path("gone")));
}

void FrmMainTest::ChosenNamesMakeTheTemplateAndTheProjects() {
  SampleWindow w;
  w.t.ui.QueueFileName(w.Site("Templates/extra.template"));
  w.Menu("mnuNewTemplate")->trigger();
  QVERIFY(!w.List()->findItems("extra", Qt::MatchExactly).isEmpty());

  const std::string copy = w.t.base.Path("copy/Copy.pgx");
  std::filesystem::create_directories(w.t.base.Path("copy"));
  w.t.ui.QueueFileName(copy);
  w.Menu("mnuSaveProjectAs")->trigger();
  QCOMPARE(w.t.engine.ProjectFile, copy);
  QCOMPARE(w.t.base.ReadFile(copy), w.t.base.ReadFile(w.project));
  QCOMPARE(w.window.windowTitle(), "Copy" + kDash + "Pagorin");

  const std::string created = w.t.base.Path("walkers/Walkers.pgx");
  std::filesystem::create_directories(w.t.base.Path("walkers"));
  w.t.ui.QueueFileName(created);
  WhenModal<frmSettings>(
      [](frmSettings* settings) { settings->findChild<QPushButton*>("cmdOK")->click(); });
  w.Menu("mnuNewProject")->trigger();
  QCOMPARE(w.State(),
           QString::fromStdString(created) + " open|Walkers" + kDash + "Pagorin|New Project|0");
  QVERIFY(Has(w.t.base.ReadFile(created),
              "\r\nPROJECTPATH," + w.t.base.Path("walkers/") + "\r\nPROJECTTITLE,New Project\r\n"));
  QVERIFY(w.t.base.Exists(w.t.base.Path("walkers/Templates")));
}

void FrmMainTest::QuitSavesTheTitleAndEndsOnce() {
  SampleWindow w;
  w.window.show();
  Type(&w.window, "txtTitle", "Kestrel Tides, 2024");
  w.Menu("mnuQuit")->trigger();
  QVERIFY(w.window.Ended());
  QVERIFY(!w.window.isVisible());
  QVERIFY(Has(w.t.base.ReadFile(w.project), "PROJECTTITLE,Kestrel Tides, 2024\r\n"));
  std::filesystem::remove(w.project);
  w.window.close();  // a second close does not save again
  QVERIFY(!w.t.base.Exists(w.project));
  QVERIFY(Has(w.t.base.ReadFile(w.t.base.log.LogFilePath()), "Program end"));
}

void FrmMainTest::StartWithoutAProjectDisablesTheProjectMenus() {
  SampleWindow w(/*open_sample=*/false);  // no LastLoaded, no Sample beside the program
  QCOMPARE(w.State(), QString(" closed|Pagorin|Project Title|0"));
  QVERIFY(!w.Menu("mnuSaveProject")->isEnabled());
  QVERIFY(!Find<QMenu>(&w.window, "mnuTools")->menuAction()->isEnabled());
  w.Menu("mnuSaveProjectAs")->trigger();  // disabled: nothing is asked
  QVERIFY(w.t.ui.file_requests().empty());
}

// A title whose bytes are no UTF-8 in a UTF-8 project (copied from an older
// file) is saved as it was read while nobody edits it.
void FrmMainTest::TitleLeftAsItWasKeepsItsBytes() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite({"CHARSET,utf-8", "PROJECTTITLE,Caf\xe9 \x80"}));
  frmMain window(t.engine, t.ui);
  Find<QAction>(&window, "mnuSaveProject")->trigger();
  QVERIFY(Has(t.base.ReadFile(t.Site("site.pgx")), "PROJECTTITLE,Caf\xe9 \x80\r\n"));
  Type(&window, "txtTitle", QString::fromUtf8("Caf\xc3\xa8"));
  Find<QAction>(&window, "mnuSaveProject")->trigger();
  QVERIFY(Has(t.base.ReadFile(t.Site("site.pgx")), "PROJECTTITLE,Caf\xc3\xa8\r\n"));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmMainTest)
#include "frm_main_test.moc"
