// Opening a page for writing, from the compiler or from the page writer's
// own thread.
#pragma once

#include <memory>
#include <string>

#include "shared/file_system.h"

namespace pagorin {

// Opens `page` for writing, emptied, under exactly its own name: a page is
// never looked for under another letter case, which would cost a listing of
// the site folder for every new page. A read-only page that refuses to be
// opened is made writable first; when that fails, *stays_read_only is set
// and that failure returned. Logs nothing: the caller logs
// ReadOnlyPageLine for a page that stays read-only.
FsStatus OpenPageFile(FileSystem& fs, const std::string& page, std::unique_ptr<OutputFile>* file,
                      bool* stays_read_only);

// "<page> is read only, can't change it to read write, can't update it".
std::string ReadOnlyPageLine(const std::string& page);

}  // namespace pagorin
