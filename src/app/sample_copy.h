// The Sample project installed with the program is read-only; the person
// works on a copy of it in a folder of their own.
#pragma once

#include <string>

#include "shared/env.h"

namespace pagorin {

// The installed Sample's project file; empty when no Sample is installed.
std::string InstalledSampleProject(Env& env);

// The project file to open in place of `project`. A project file in the
// installed Sample's folder is opened from the person's copy of that folder,
// paths.projects_dir + "Sample/": made the first time (a message says where),
// used as it is after that. A copy never replaces a file that is there
// already, and the project file is copied last, so a copy that stopped half
// way is completed by the next one. Any other project comes back unchanged.
// Empty when the copy could not be made; a message says so.
std::string WritableProject(Env& env, const std::string& project);

}  // namespace pagorin
