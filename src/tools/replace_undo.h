// Taking back a search and replace run. Before a run writes a file, the
// file's old bytes go into a dated folder "Replace undo/YYYY-MM-DD HH.MM.SS"
// beside the project file, with a list of the files and of what the run
// wrote into each.
#pragma once

#include <memory>
#include <string>

#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

struct Engine;

// Keeps the old bytes of the files one run changes: a second name for each
// file (a copy where the disk cannot give one), which keeps the old bytes
// when the file is replaced by a new one. The folder is made when the first
// file is kept.
class ReplaceUndoRecord {
 public:
  explicit ReplaceUndoRecord(Engine& engine);
  ~ReplaceUndoRecord();
  ReplaceUndoRecord(const ReplaceUndoRecord&) = delete;
  ReplaceUndoRecord& operator=(const ReplaceUndoRecord&) = delete;
  // Keeps `old_text` of `path` and notes `new_text`, the bytes the run is
  // about to write. False (logged) when they could not be kept: then the
  // file must not be written.
  bool Keep(const std::string& path, const std::string& old_text, const std::string& new_text);

 private:
  Engine& engine_;
  std::string folder_;                // empty until the first file is kept
  std::unique_ptr<OutputFile> list_;  // the list of the files kept, open for the run
};

// Restores every file of the newest run not yet taken back, unless it
// changed since that run (a message names each such file). The run is then
// marked as taken back. Returns false when there was no run to take back or
// a file could not be restored or was refused.
bool UndoLastReplace(Engine& engine);

}  // namespace pagorin
