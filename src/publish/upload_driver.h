// Publishing the open project's pages: the main window's upload commands
// (cmdUpload "All" and "Selected", cmdStopUpload, the two single-file menu
// commands) as engine operations, also used by `pagorin publish`.
//
// Every page goes to a temporary name in the remote folder first and is
// renamed over the live page only once it arrived whole, so a failed,
// stopped or dropped transfer leaves the live page as it was.
#pragma once

#include <string>

namespace pagorin {

struct Engine;

struct UploadOptions {
  // All: the person has agreed already, so the "About to upload" question
  // is not asked (the command line).
  bool confirmed = false;
  // Only files whose bytes differ from what was last sent to the same
  // server and folder.
  bool changed_only = false;
  // After the pages, the site's other files too (images, style sheets,
  // scripts, in their sub-folders), in binary; never Templates/, Includes/,
  // project files or the upload record.
  bool with_files = false;
};

enum class UploadOutcome {
  kNothingToDo,  // empty list, nothing selected, or the question answered No
  kNotStarted,   // no configuration, no connection, no remote folder
  kComplete,     // every file arrived
  kFailed,       // a file failed; the run ended there
  kStopped,      // Stop was pressed; the run ended between two files
};

struct UploadReport {
  UploadOutcome outcome = UploadOutcome::kNothingToDo;
  int sent = 0;
  int unchanged = 0;  // skipped by a changed-only run
};

// ProxyType (default 1) other than 1 (no proxy).
bool UseProxyFromSettings(const Engine& engine);

// cmdUpload(index): 1 sends every template's page, 0 the selected ones.
UploadReport cmdUpload_Click(Engine& engine, int index, const UploadOptions& options = {});
// Asks a running list upload to stop after the file being sent.
void cmdStopUpload_Click(Engine& engine);
// mnuUploadPicked (ASCII) and mnuUploadBinary: the configuration is checked,
// a file is chosen in the file dialog, then UploadSingleFile.
UploadOutcome UploadPickedFile(Engine& engine, bool binary);
// Sends one file into FTPPath, or FTPPath + "images/" when its path holds
// "images/" (either separator, any letter case). The transfer type stays in
// force for later list uploads.
UploadOutcome UploadSingleFile(Engine& engine, const std::string& path, bool binary);

}  // namespace pagorin
