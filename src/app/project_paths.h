// Where a project's files are: the site folder, its Templates and Includes
// folders, and the output page of each template.
#pragma once

#include <string>

#include "shared/file_system.h"

namespace pagorin {

struct Engine;

// The site folder, ending in "/". With a project loaded: the project key
// ProjectPath (empty when absent, which makes every path relative to the
// current folder), where "./" or ".\" means the project file's folder and a
// value without a final separator gets one. Without a project: the program's
// own folder.
std::string GetProjectPath(const Engine& engine);
std::string TemplatesDir(const Engine& engine);  // GetProjectPath + "Templates/"
// Why the open project's site folder cannot hold a site, as the message
// that tells the person; empty when it can. Refused: a Windows drive path,
// "/", a folder that does not exist and a file. An empty ProjectPath (the
// current folder) is accepted.
std::string SiteFolderProblem(const Engine& engine);
std::string IncludesDir(const Engine& engine);  // GetProjectPath + "Includes/"

// The output page of the template `name` (a file name; a folder part is
// ignored): the site folder + the name without its last extension + the
// project key "Ext_" + that name, else the key Extension, else ".html". The
// extension is used as stored, dot included; an empty one gives no extension.
std::string BuildWebFilename(const Engine& engine, const std::string& name);

// What a build does with a page, news list or version include that already
// holds its new text: keeps it when the project key ChangedOnly is 1 or the
// program was started with --changed or serves the site (Engine::changed_only),
// else rewrites it.
SameText BuiltFilesSameText(const Engine& engine);

}  // namespace pagorin
