// Search and Replace (frmReplace): one text replaced in every file of a
// folder, plainly or around a "*" wildcard, with a list of the files changed
// and a way to take the last run back.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pagorin {

struct Engine;

struct ReplaceRequest {
  std::string search;       // txtOld
  std::string replacement;  // txtNew
  std::string folder;       // txtSourcePath
  bool wildcard = false;    // chkWildCard
  // Preview: count the matches of every file and write nothing.
  bool dry_run = false;
};

struct ReplacedFile {
  std::string name;  // without folder
  int matches = 0;
};

struct ReplaceRun {
  // A wildcard message refused the texts: no file was looked at.
  bool refused = false;
  // The files changed (or, in a dry run, that would change), in order.
  std::vector<ReplacedFile> changed;
  // Files left as they were although they matched or could not be read:
  // one line each, already told to the person.
  std::vector<std::string> left_alone;
};

// The folder last searched (the project key SearchSourcePath), by default
// the project's Includes folder; and storing it back (in memory only).
std::string SearchSourcePath(const Engine& engine);
void StoreSearchSourcePath(Engine& engine, const std::string& folder);

// Go: every file of the folder, in name order, read whole; a file whose text
// changes is written back atomically, after its old bytes were kept for
// UndoLastReplace. Files that are not text (they hold a NUL byte), cannot be
// read or written, or are read only are left as they were and named in one
// message at the end. `status` receives lblStatus's text: "Replaced data in
// N files" after each changed file and at the end.
ReplaceRun cmdGo(Engine& engine, const ReplaceRequest& request,
                 const std::function<void(const std::string&)>& status);

// The text List shows for the changed files of the last run: one name and
// CR LF each, after the 26th " ... and N more"; "None" when nothing ran yet.
std::string ChangedFileListText(const ReplaceRun* last_run);
// "Replaced data in these files: " + CR LF + that text.
std::string ChangedFileListMessage(const ReplaceRun* last_run);
// What a preview shows: each file that would change with its number of
// matches, one a line, or that no file would change.
std::string PreviewText(const ReplaceRun& preview);

}  // namespace pagorin
