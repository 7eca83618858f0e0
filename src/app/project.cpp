#include "app/project.h"

#include <cstdint>

#include "app/engine.h"
#include "app/project_paths.h"
#include "app/sample_copy.h"
#include "app/template_commands.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/settings.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kDefaultTitle = "Project Title";
// A project of many thousand news items stays below a few megabytes; a file
// far larger is a video or a disk image passed by mistake, never read whole.
constexpr std::uint64_t kLargestProjectFile = 64 * 1024 * 1024;

// Why `path` must not be loaded or written over as a project file; empty
// when it may (it is a project file, or nothing is there).
std::string RefusalReason(Engine& engine, const std::string& path) {
  Env& env = engine.env;
  const std::string disk_path = FileSubs(env).Resolve(path);
  const FileInfo info = env.fs.Stat(disk_path);
  if (!info.exists) {
    return {};
  }
  if (info.is_directory) {
    return path + " is a folder, not a Pagorin project file.";
  }
  if (info.size > kLargestProjectFile) {
    return path + " is not a Pagorin project file (it is far too large for one).";
  }
  std::string contents;
  const FsStatus status = env.fs.ReadFile(disk_path, &contents);
  if (!status.ok()) {
    return path + " cannot be read (" + status.message + ").";
  }
  if (!LooksLikeProjectFile(contents)) {
    return path + " is not a Pagorin project file (its lines are not NAME,value settings).";
  }
  return {};
}

}  // namespace

bool LooksLikeProjectFile(const std::string& contents) {
  for (const char c : contents) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n' &&
        c != kSettingsEscape) {
      return false;
    }
  }
  const std::string_view line_end = SettingsLineEnd(contents);
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find(line_end, start);
    if (end == std::string::npos) {
      end = contents.size();
    }
    const std::string_view line = std::string_view(contents).substr(start, end - start);
    start = end + line_end.size();
    if (TrimView(line).empty()) {
      continue;
    }
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos || TrimView(line.substr(0, comma)).empty()) {
      return false;
    }
  }
  return true;
}

bool LoadProjectFile(Engine& engine, const std::string& path) {
  const std::string refusal = RefusalReason(engine, path);
  if (!refusal.empty()) {
    engine.ProjectSettings.DeleteAllSettings();
    engine.ProjectLoaded = false;
    engine.env.log.LogEvent(refusal);
    engine.env.ui.ShowMessage(refusal + " It was not opened and will not be changed.", Buttons::kOk,
                              "Open Project", Icon::kExclamation);
    return false;
  }
  engine.ProjectSettings.LoadSettings(path);
  engine.ProjectLoaded = true;
  return true;
}

bool LoadNamedProject(Engine& engine, const std::string& path, const std::string& missing_message) {
  if (!FileSubs(engine.env).FileExists(path)) {
    engine.env.ui.ShowMessage(missing_message);
    return false;
  }
  engine.ProjectFile = path;
  return LoadProjectFile(engine, path);
}

void ClearProjectSettings(Engine& engine) {
  engine.ProjectSettings.DeleteAllSettings();
  engine.ProjectLoaded = false;
}

bool SaveProjectSettingsOnly(Engine& engine, const std::string& path) {
  if (path.empty()) {
    return false;
  }
  const std::string refusal = RefusalReason(engine, path);
  if (!refusal.empty()) {
    engine.env.log.LogEvent(refusal + " The project was not saved over it.");
    engine.env.ui.ShowMessage(refusal + " The project was not saved over it.", Buttons::kOk,
                              "Save Project", Icon::kExclamation);
    return false;
  }
  return engine.ProjectSettings.SaveSettings(path);
}

bool SaveProjectFile(Engine& engine, const std::string& path) {
  if (path.empty() || !RefusalReason(engine, path).empty()) {
    return SaveProjectSettingsOnly(engine, path);
  }
  FileSubs files(engine.env);
  files.MkMissingDir(PathOnly(path) + "Templates");
  files.MkMissingDir(PathOnly(path) + "Includes");
  return SaveProjectSettingsOnly(engine, path);
}

void CloseProject(Engine& engine) {
  engine.ProjectLoaded = false;
  ClearProjectSettings(engine);
  engine.ListView1.Clear();
}

bool OpenProject(Engine& engine) {
  CloseProject(engine);
  engine.ProjectFile = WritableProject(engine.env, engine.ProjectFile);
  if (engine.ProjectFile.empty() || !LoadProjectFile(engine, engine.ProjectFile)) {
    engine.ProjectFile.clear();
    RefreshTemplateList(engine);
    return false;
  }
  RefreshTemplateList(engine);
  StoreAppSetting(engine.AppSettings, "LastLoaded", engine.ProjectFile);
  if (!engine.AppSettingsFile.empty()) {
    SaveAppSettings(engine.AppSettings, engine.AppSettingsFile);
  }
  return true;
}

bool SaveProject(Engine& engine) {
  engine.ProjectSettings.sSet("ProjectTitle", engine.texts.txtTitle);
  return SaveProjectFile(engine, engine.ProjectFile);
}

bool SaveProjectAs(Engine& engine) {
  if (engine.ProjectFile.empty()) {
    std::optional<std::string> chosen =
        engine.env.ui.ChooseFile(ProjectFileRequest(FileRequest::Kind::kSave));
    if (!chosen || chosen->empty()) {
      return false;
    }
    engine.ProjectFile = *chosen;
  }
  // A project without a site folder would make its folders in whatever
  // folder the program was started from, and one whose site folder cannot
  // hold a site (missing, "/", a drive path) where nobody chose; they wait
  // until it has a good one.
  if (RefusalReason(engine, engine.ProjectFile).empty() && !GetProjectPath(engine).empty() &&
      SiteFolderProblem(engine).empty()) {
    FileSubs files(engine.env);
    files.MkMissingDir(TemplatesDir(engine));
    files.MkMissingDir(IncludesDir(engine));
  }
  return SaveProject(engine);
}

FileRequest ProjectFileRequest(FileRequest::Kind kind) {
  FileRequest request;
  request.kind = kind;
  request.filter = "Pagorin Project (*.pgx)|*.pgx";
  request.default_suffix = "pgx";
  if (kind == FileRequest::Kind::kSave) {
    request.title = "New Pagorin Project";
    request.proposed_name = "New Project.pgx";
    request.confirm_overwrite = true;
  } else {
    request.title = "Open Pagorin Project";
  }
  return request;
}

bool RefreshTemplateList(Engine& engine) {
  const bool listed = FillList(engine);
  SetupMenus(engine);
  return listed;
}

void SetupMenus(Engine& engine) {
  engine.texts.txtTitle = engine.ProjectLoaded
                              ? engine.ProjectSettings.sGet("ProjectTitle", kDefaultTitle).Text()
                              : kDefaultTitle;
  engine.controls.project_menus = engine.ProjectLoaded;
  engine.env.ui.ProcessEvents();
}

bool EditProjectSettings(Engine& engine, const ProjectSettingsDialog& dialog) {
  if (!dialog || !dialog(PathOnly(engine.ProjectFile))) {
    return false;
  }
  RefreshTemplateList(engine);
  return true;
}

}  // namespace pagorin
