// The main window: the project's templates, the build and preview buttons,
// the project and template commands, and the status strip.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProcess;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace pagorin {

struct Engine;
class fSHAREDUpdater;
class QtUi;
class StatusStripWidget;

// A thin window over the engine object: every command copies the text boxes
// into the engine, runs the engine's operation and copies the engine's state
// (list, selection, texts, enabled controls, menus) back onto the controls.
// The list's selection goes into the engine as the person changes it.
//
// Controls carry their design names (see gui/widgets.h for control arrays:
// cmdGo_0 "Selected", cmdGo_1 "All"). Controls of later work stand in their
// places, disabled.
//
// While a command runs no other command starts and the window does not
// close. Closing the window (Quit, Exit, the close box) runs ProgramEnd
// once. The engine and the seam must outlive the window.
class frmMain final : public QMainWindow {
  Q_OBJECT

 public:
  frmMain(Engine& engine, QtUi& ui, QWidget* parent = nullptr);
  ~frmMain() override;

  // Copies the engine's state onto the controls: after start-up, and after
  // every command.
  void ShowEngineState();
  // Generate All, as the unattended run presses it; true when the build ran
  // to its end.
  bool GenerateAll();
  // True once ProgramEnd has run.
  bool Ended() const { return ended_; }
  // Test hook: the program the live preview starts as `PROGRAM serve
  // PROJECT --port 0`; this executable unless set.
  void SetServeProgram(const QString& program) { serve_program_ = program; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Building the window (frm_main_layout.cpp).
  void BuildMenus();
  QWidget* BuildCentre();
  QWidget* BuildTemplateArea();
  QWidget* BuildCommandColumn();
  QWidget* BuildKeywordTools();

  // Engine state to controls and back.
  void PullTexts();
  void ShowList();
  void ShowControls();
  void ShowCssMenu();
  void TakeSelection();
  void LockControls(bool locked);

  // Runs one engine command between PullTexts and ShowEngineState; false
  // when another command is still running.
  bool Run(const std::function<void()>& command);

  // Commands (frm_main_commands.cpp).
  void cmdGo(int index);
  void cmdPreview();
  void cmdSetExt();
  void cmdClearExt();
  void cmdHelp();
  void mnuNewProject();
  void mnuOpenProject();
  void mnuSaveProject();
  void mnuSaveProjectAs();
  void mnuSettings();
  void mnuRescan();
  void mnuNewTemplate();
  void mnuCopyTemplate();
  void mnuCSS(int index);
  void mnuContentCreator();
  void mnuAbout();
  void ListView1_DblClick();
  void EditSelectedTemplate();
  // Keyword and site tools (frm_main_tools.cpp).
  void ListView1_Click();
  void cmdSuggest();
  void cmdSetKwd();
  void cmdCopyRenum();
  void mnuTidyMeta();
  void mnuAddTitlesToLinks();
  void mnuReplace();
  // Checks the built site and shows the report.
  void mnuCheckSite();
  void Timer1_Timer();
  // The project settings dialog, as the engine's project commands ask for
  // it; true when it was confirmed.
  bool EditProjectSettingsDialog();
  // The update check (frm_main_update.cpp).
  void SetForm_CheckForUpdate();
  void Timer3_Timer();
  fSHAREDUpdater* UpdaterWindow();
  void InstallUpdate();
  // Publishing (frm_main_upload.cpp).
  void cmdUpload(int index);
  void cmdStopUpload();
  void mnuUploadPicked();
  void mnuUploadBinary();
  // During an upload Stop takes the All button's place and the upload
  // strip shows; afterwards both go back.
  void ShowUploadControls(bool uploading);
  // The live preview (frm_main_preview.cpp): `pagorin serve` of the open
  // project as a child process. A click starts it, saving the project first,
  // and opens the selected page once the first build ended; the next click,
  // closing the project or the window ends it.
  void cmdLivePreview();
  void StartLivePreview();
  void StopLivePreview();
  void LivePreviewOutput();
  void LivePreviewEnded();
  void ShowLivePreviewState();

  Engine& engine_;
  QtUi& ui_;
  bool busy_ = false;
  bool ended_ = false;
  bool showing_ = false;  // the list is being refilled: selection signals are the window's own

  QTreeWidget* ListView1_ = nullptr;
  QLineEdit* txtTitle_ = nullptr;
  QLabel* lblSiteFolder_ = nullptr;
  QLineEdit* txtExt_ = nullptr;
  QLineEdit* txtKeywords_ = nullptr;
  QLineEdit* txtSuggested_ = nullptr;
  QLineEdit* txtDesc_ = nullptr;
  QPushButton* cmdGo_[2] = {nullptr, nullptr};
  QPushButton* cmdPreview_ = nullptr;
  QPushButton* cmdLivePreview_ = nullptr;
  QLabel* lblServing_ = nullptr;       // in the status bar
  QProcess* serve_process_ = nullptr;  // while the live preview runs
  QString serve_program_;
  std::string served_project_;
  std::string serve_output_;
  int serve_port_ = 0;
  bool serve_page_opened_ = false;
  QPushButton* cmdSetExt_ = nullptr;
  QPushButton* cmdClearExt_ = nullptr;
  QPushButton* cmdSuggest_ = nullptr;
  QPushButton* cmdSetKwd_ = nullptr;
  QCheckBox* chkRename_ = nullptr;
  StatusStripWidget* picStatus_ = nullptr;
  StatusStripWidget* picUploadStatus_ = nullptr;
  QPushButton* cmdUpload_[2] = {nullptr, nullptr};
  QPushButton* cmdStopUpload_ = nullptr;
  QCheckBox* chkChangedOnly_ = nullptr;
  QCheckBox* chkWithFiles_ = nullptr;
  QMenu* mnuTools_ = nullptr;
  QMenu* mnuCSSFiles_ = nullptr;
  QAction* mnuSaveProject_ = nullptr;
  QAction* mnuSaveProjectAs_ = nullptr;
  QAction* mnuContentCreator_ = nullptr;
  QTimer* Timer1_ = nullptr;
  QTimer* Timer3_ = nullptr;                  // the update check, once, 30 seconds after start
  fSHAREDUpdater* updater_window_ = nullptr;  // made when first needed
};

}  // namespace pagorin
