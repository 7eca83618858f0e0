// What the main window and a running upload share: the two flags through
// which the Stop button and the FTP client's error event reach the upload
// loop.
#pragma once

#include <string>

namespace pagorin {

struct UploadState {
  bool running = false;             // from the start of a list run to its end
  bool upload_failed = false;       // cleared at the start of a list run
  bool stop_requested = false;      // set by cmdStopUpload, cleared at the end of a run
  std::string current_upload_path;  // the local file being sent
};

}  // namespace pagorin
