// The engine object: what the main window owns for the whole run of the
// program. The Qt main window and the headless runner each hold one; every
// engine operation (project commands, template list, compiler, build driver,
// version includes) works on it.
#pragma once

#include <string>
#include <vector>

#include "app/file_cache.h"
#include "app/page_records.h"
#include "app/template_list.h"
#include "app/template_variables.h"
#include "publish/cls_ftp.h"
#include "publish/upload_state.h"
#include "shared/env.h"
#include "shared/settings.h"

namespace pagorin {

// Which of the main window's controls are enabled. FillList and the button
// timer (Timer1) decide; the window copies these onto its widgets.
struct MainControls {
  bool go_selected = false;      // cmdGo(0) "Selected"
  bool go_all = false;           // cmdGo(1) "All"
  bool preview = false;          // cmdPreview
  bool upload_selected = false;  // cmdUpload(0)
  bool upload_all = false;       // cmdUpload(1)
  bool set_ext = false;          // cmdSetExt
  bool clear_ext = false;        // cmdClearExt
  bool suggest = false;          // cmdSuggest
  bool set_kwd = false;          // cmdSetKwd
  bool rename = false;           // chkRename
  bool project_menus = false;    // mnuTools, mnuSaveProject, mnuSaveProjectAs, mnuContentCreator

  bool operator==(const MainControls&) const = default;
};

// The main window's text boxes that engine commands read or reset. The
// window copies its boxes in before a command and back out after it.
struct MainTexts {
  std::string txtTitle = "Project Title";
  std::string txtExt;
  std::string txtKeywords;
  std::string txtSuggested;
  std::string txtDesc;
};

// Owns the stores, the list and the caches; borrows the services through
// `env`, which must outlive it. Not copyable: there is one per window.
struct Engine {
  explicit Engine(Env& services);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Env& env;

  // Program settings (Pagorin.ini in the program's data folder). Empty when
  // the file could not be read at start-up: then nothing saves over it.
  std::string AppSettingsFile;
  cSHAREDSettings AppSettings;

  // The open project. ProjectFile is empty when there is none; ProjectLoaded
  // is set once a project file has been loaded into ProjectSettings.
  std::string ProjectFile;
  cSHAREDSettings ProjectSettings;
  bool ProjectLoaded = false;

  // The template list with its selection, and the CSS files of the site
  // folder (the CSS Files menu), both refilled by FillList.
  TemplateList ListView1;
  std::vector<std::string> css_files;
  MainControls controls;
  MainTexts texts;

  // The compiler's stores: file texts for the whole run of the program, the
  // variables of the current build run, what each page was last built from
  // (so a later run can leave it as it is), and the title the last run left,
  // which the next one starts from (BuildRun::CurrentPageTitle).
  clsCache FileCache;
  TemplateVariables TemplateVars;
  PageRecords page_records;
  // Off where no later build of this program run could use the records
  // (the unattended build), which then spares the cost of making them.
  bool keep_page_records = true;
  std::string last_page_title;
  // Builds keep the files that already hold their new text, whatever the
  // project says (pagorin /AUTO --changed, pagorin serve).
  bool changed_only = false;

  // The one FTP client, whose transfer type and mode last for the whole
  // run of the program, and the flags of the running upload.
  clsFTP cFTP;
  UploadState upload;

  // The button timer runs while the window is idle; the update-check timer
  // is stopped by every build and not restarted.
  bool Timer1Enabled = true;
  bool Timer3Enabled = false;
};

}  // namespace pagorin
