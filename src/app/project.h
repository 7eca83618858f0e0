// The project file and the main window's project routines: load, save,
// open, close, and the state of the title box and project menus.
#pragma once

#include <functional>
#include <string>

#include "shared/user_interface.h"

namespace pagorin {

struct Engine;

// True when `contents` can be a project file: no control bytes other than
// TAB, CR, LF and the settings escape, and every line (as the settings store
// splits them) that is not blank is NAME,value with a name that is not
// blank. An empty file is an (empty) project file.
bool LooksLikeProjectFile(const std::string& contents);

// Loads `path` into ProjectSettings and sets ProjectLoaded. A path that does
// not exist gives an empty project. A folder, a file that cannot be read or
// a file that is not a project file is refused: a message says why, the store
// stays empty, ProjectLoaded stays false and the file is never written.
bool LoadProjectFile(Engine& engine, const std::string& path);
// Makes `path`, named on a command line, ProjectFile and loads it. When no
// such file exists, shows `missing_message` instead; false then, and when
// the file is refused.
bool LoadNamedProject(Engine& engine, const std::string& path, const std::string& missing_message);
// Empties ProjectSettings and clears ProjectLoaded.
void ClearProjectSettings(Engine& engine);
// Creates the folders Templates and Includes beside `path`, then saves
// ProjectSettings there (atomically). Nothing happens for an empty path, and
// a file that exists and is not a project file is never overwritten (a
// message says so). False when nothing was saved.
bool SaveProjectFile(Engine& engine, const std::string& path);
// The same save without creating any folder (the Settings command).
bool SaveProjectSettingsOnly(Engine& engine, const std::string& path);

// Clears ProjectLoaded and the store, and empties the template list.
void CloseProject(Engine& engine);
// Opens ProjectFile: CloseProject, LoadProjectFile, RefreshTemplateList, and
// records it as LastLoaded in the saved program settings. The installed
// Sample is opened from the person's copy (WritableProject). When the file is
// refused, ProjectFile becomes empty, the list shows the program folder's
// templates and the result is false.
bool OpenProject(Engine& engine);
// Stores the title box as ProjectTitle and saves to ProjectFile.
bool SaveProject(Engine& engine);
// With ProjectFile empty, asks for a name first ("New Pagorin Project"); when
// that is cancelled nothing is saved and the result is false. Then creates
// the Templates and Includes folders of the site and saves.
bool SaveProjectAs(Engine& engine);

// The file dialog of the project commands: "New Pagorin Project" proposing
// "New Project.pgx" for kSave, "Open Pagorin Project" for kOpen.
FileRequest ProjectFileRequest(FileRequest::Kind kind);

// FillList, then SetupMenus; FillList's answer.
bool RefreshTemplateList(Engine& engine);
// The title box and the project menus follow ProjectLoaded.
void SetupMenus(Engine& engine);

// Shows the project settings dialog. It receives the project file's folder
// (for its project folder box) and returns true when it was confirmed; the
// window provides it.
using ProjectSettingsDialog = std::function<bool(const std::string& project_folder)>;
// The dialog, then RefreshTemplateList when it was confirmed; its answer.
bool EditProjectSettings(Engine& engine, const ProjectSettingsDialog& dialog);

}  // namespace pagorin
