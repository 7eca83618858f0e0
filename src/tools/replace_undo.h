// Taking back a search and replace run. Before a run writes a file, the
// file's old bytes go into a dated folder "Replace undo/YYYY-MM-DD HH.MM.SS"
// beside the project file, with a list of the files and of what the run
// wrote into each.
#pragma once

#include <memory>
#include <string>

#include "shared/env.h"

namespace pagorin {

struct Engine;

// Keeps the old bytes of the files one run changes. The folder is made when
// the first file is kept.
class ReplaceUndoRecord {
 public:
  explicit ReplaceUndoRecord(Engine& engine);
  // Keeps `old_text` of `path` and notes `new_text`, the bytes the run is
  // about to write. False (logged) when they could not be kept: then the
  // file must not be written.
  bool Keep(const std::string& path, const std::string& old_text, const std::string& new_text);

 private:
  Engine& engine_;
  std::string folder_;  // empty until the first file is kept
};

// Restores every file of the newest run not yet taken back, unless it
// changed since that run (a message names each such file). The run is then
// marked as taken back. Returns false when there was no run to take back or
// a file could not be restored or was refused.
bool UndoLastReplace(Engine& engine);

}  // namespace pagorin
