// The project commands of the File menu and the end of the program.
#pragma once

#include "app/project.h"

namespace pagorin {

struct Engine;

// New Project: saves the open project, asks for the new file's name, then
// the settings dialog. When either is cancelled, the project that was open
// before is opened again (or none, if there was none), so the window never
// shows a half-made project.
void mnuNewProject(Engine& engine, const ProjectSettingsDialog& dialog);
// Open Project: saves the open project, asks for a file and opens it. A file
// that is refused leaves the previous project open.
void mnuOpenProject(Engine& engine);
void mnuSaveProject(Engine& engine);
// Save Project As: asks for a new name and saves there. Cancelling keeps the
// previous name and saves nothing.
void mnuSaveProjectAs(Engine& engine);
// Settings: the dialog, then the project file is saved whether the dialog
// was confirmed or cancelled.
void mnuSettings(Engine& engine, const ProjectSettingsDialog& dialog);
void mnuRescan(Engine& engine);

// Saves an open project (asking for a name when it has none) and logs
// "Program end". Hiding and closing the window is the window's business.
void ProgramEnd(Engine& engine);

}  // namespace pagorin
