#include "app/page_file.h"

namespace pagorin {

FsStatus OpenPageFile(FileSystem& fs, const std::string& page, std::unique_ptr<OutputFile>* file,
                      bool* stays_read_only) {
  *stays_read_only = false;
  const FsStatus opened = fs.OpenOutput(page, FileSystem::OpenMode::kTruncate, file);
  if (opened.code != FsError::kAccessDenied) {
    return opened;
  }
  const FileInfo info = fs.Stat(page);
  if (!info.exists || !info.read_only || info.is_directory) {
    return opened;
  }
  const FsStatus writable = fs.SetReadOnly(page, false);
  if (!writable.ok()) {
    *stays_read_only = true;
    return writable;
  }
  return fs.OpenOutput(page, FileSystem::OpenMode::kTruncate, file);
}

std::string ReadOnlyPageLine(const std::string& page) {
  return page + " is read only, can't change it to read write, can't update it";
}

}  // namespace pagorin
