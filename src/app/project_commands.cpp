#include "app/project_commands.h"

#include "app/engine.h"
#include "shared/log.h"

namespace pagorin {

namespace {

// Opens `previous` again (none when it is empty), so that a cancelled
// command leaves the window as it was before.
void ReturnToProject(Engine& engine, const std::string& previous) {
  engine.ProjectFile = previous;
  if (previous.empty()) {
    CloseProject(engine);
    RefreshTemplateList(engine);
  } else {
    OpenProject(engine);
  }
}

std::string OpenProjectName(const Engine& engine) {
  return engine.ProjectLoaded ? engine.ProjectFile : std::string();
}

}  // namespace

void mnuNewProject(Engine& engine, const ProjectSettingsDialog& dialog) {
  const std::string previous = OpenProjectName(engine);
  if (engine.ProjectLoaded) {
    SaveProject(engine);
  }
  ClearProjectSettings(engine);
  std::optional<std::string> chosen =
      engine.env.ui.ChooseFile(ProjectFileRequest(FileRequest::Kind::kSave));
  if (chosen && !chosen->empty()) {
    engine.texts.txtTitle = "New Project";
    engine.ProjectFile = *chosen;
    if (EditProjectSettings(engine, dialog)) {
      // The dialog's refresh showed the title of no project; the new
      // project keeps its own.
      engine.texts.txtTitle = "New Project";
      // Projects made here keep their text in UTF-8; older ones, without
      // the key, are Windows-1252.
      engine.ProjectSettings.sSet("Charset", "utf-8");
      SaveProject(engine);
      engine.ProjectLoaded = true;
      RefreshTemplateList(engine);
      return;
    }
  }
  ReturnToProject(engine, previous);
}

void mnuOpenProject(Engine& engine) {
  const std::string previous = OpenProjectName(engine);
  if (engine.ProjectLoaded) {
    SaveProject(engine);
  }
  std::optional<std::string> chosen =
      engine.env.ui.ChooseFile(ProjectFileRequest(FileRequest::Kind::kOpen));
  if (!chosen || chosen->empty()) {
    return;
  }
  ClearProjectSettings(engine);
  engine.ProjectFile = *chosen;
  if (!OpenProject(engine) && !previous.empty()) {
    ReturnToProject(engine, previous);
  }
}

void mnuSaveProject(Engine& engine) {
  if (engine.ProjectLoaded) {
    SaveProject(engine);
  }
}

void mnuSaveProjectAs(Engine& engine) {
  if (!engine.ProjectLoaded) {
    return;
  }
  const std::string previous = engine.ProjectFile;
  engine.ProjectFile.clear();
  if (!SaveProjectAs(engine)) {
    engine.ProjectFile = previous;
  }
}

void mnuSettings(Engine& engine, const ProjectSettingsDialog& dialog) {
  EditProjectSettings(engine, dialog);
  if (engine.ProjectLoaded) {
    SaveProjectSettingsOnly(engine, engine.ProjectFile);
  }
}

void mnuRescan(Engine& engine) {
  RefreshTemplateList(engine);
}

void ProgramEnd(Engine& engine) {
  if (engine.ProjectLoaded) {
    SaveProjectAs(engine);
  }
  engine.env.log.LogEvent("Program end");
}

}  // namespace pagorin
