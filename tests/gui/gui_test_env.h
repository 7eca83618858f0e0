// What every window test starts from: the engine's test environment with
// the Qt seam in place of the recording one, scripted so that no dialog
// ever waits for a person, and an engine on top.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/engine.h"
#include "app/project.h"
#include "gui/qt_ui.h"
#include "shared/env.h"
#include "shared/progress.h"
#include "shared/settings.h"
#include "support/test_env.h"

namespace pagorin::testing {

struct GuiTestEnv {
  GuiTestEnv() {
    ui.SetScripted(true);
    ui.AttachEnv(env);
    engine.AppSettingsFile = base.paths.data_dir + "Pagorin.ini";
  }

  std::string Site(const std::string& relative = "") const { return base.Path("site/" + relative); }

  // Copies the bundled Sample project into site/ and returns the path of the
  // copy's project file.
  std::string CopySample() const {
    std::filesystem::copy(std::string(PAGORIN_SOURCE_DIR) + "/Sample", base.Path("site"),
                          std::filesystem::copy_options::recursive);
    return Site("Sample.pgx");
  }
  // The same, and opens the copy.
  bool OpenSample() {
    engine.ProjectFile = CopySample();
    return OpenProject(engine);
  }

  // Writes site/site.pgx from `lines` ("NAME,value"; PROJECTPATH,./ unless
  // one is given) with the folders Templates and Includes, and opens it.
  bool OpenSite(std::vector<std::string> lines = {}) {
    std::filesystem::create_directories(Site("Templates"));
    std::filesystem::create_directories(Site("Includes"));
    base.WriteFile(Site("site.pgx"), ProjectText(std::move(lines)));
    engine.ProjectFile = Site("site.pgx");
    return OpenProject(engine);
  }

  TestEnv base;
  QtUi ui;
  ProgressIndicator progress{base.clock, ui};
  Env env{base.fs, base.clock, ui, base.log, base.locale, progress, base.paths, base.net};
  Engine engine{env};
};

// The control named `name` in `window`; the test stops when there is none.
template <typename T>
T* Find(QObject* window, const char* name) {
  T* widget = window->findChild<T*>(name);
  if (widget == nullptr) {
    qFatal("no control %s", name);
  }
  return widget;
}

inline void Type(QObject* window, const char* name, const QString& text) {
  Find<QLineEdit>(window, name)->setText(text);
}

inline QString Text(QObject* window, const char* name) {
  return Find<QLineEdit>(window, name)->text();
}

inline bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Runs `act` on the modal dialog of type T as soon as it shows (call this
// just before the click that opens it). A dialog still open after `act` is
// closed as by Cancel, so a test never hangs.
template <typename T>
void WhenModal(std::function<void(T*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    T* dialog = qobject_cast<T*>(modal);
    if (dialog != nullptr) {
      act(dialog);
    }
    if (modal != nullptr && modal->isVisible()) {
      if (auto* any = qobject_cast<QDialog*>(modal)) {
        any->reject();
      }
    }
  });
}

}  // namespace pagorin::testing
