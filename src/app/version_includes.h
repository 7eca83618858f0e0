// Version includes: include files generated from software release files
// through a small template, before a build.
#pragma once

#include <string>

namespace pagorin {

struct Engine;

// Regenerates the include of every line of the list file (IniListFilename,
// default the site folder + "IniFiles.txt") whose release file is newer than
// the include. A line is: include name (relative to the Includes folder),
// version template (relative to the site folder), release file (a full path,
// or a path relative to the site folder), line-break flag (True, False or a
// number). Returns false when the build run must end: a line with two or
// three fields, a flag that is not a boolean, or a version without a dot; the
// failure is logged and nothing is shown.
bool WriteVersionIncludes(Engine& engine);

// The path of the list file, as the project names it.
std::string VersionListFile(const Engine& engine);

// The texts of the "Version INC file generator" dialog (frmExternalIncludes).
struct VersionIncludeDialogTexts {
  std::string txtIniFile;   // path of the list file
  std::string txtSources;   // the list file's text
  std::string txtTemplate;  // the text of the site's Template.txt
};

// What the dialog shows when it opens (missing files give empty texts).
VersionIncludeDialogTexts LoadVersionIncludeDialog(const Engine& engine);
// cmdRefresh: the list file's text, read again from txtIniFile.
void RefreshVersionIncludeSources(const Engine& engine, VersionIncludeDialogTexts& texts);
// cmdOK: stores txtIniFile as IniListFilename (in memory; the project is
// saved by the caller), writes txtTemplate to the site's Template.txt and
// txtSources to the list file.
void StoreVersionIncludeDialog(Engine& engine, const VersionIncludeDialogTexts& texts);

}  // namespace pagorin
