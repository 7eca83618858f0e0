#include "shared/file_system.h"

#include <unistd.h>

#include "shared/paths.h"

namespace pagorin {

FsStatus WriteWholeFile(FileSystem& fs, const std::string& path, std::string_view contents) {
  std::unique_ptr<OutputFile> file;
  FsStatus status = fs.OpenOutput(path, FileSystem::OpenMode::kTruncate, &file);
  if (!status.ok()) {
    return status;
  }
  status = file->Append(contents);
  FsStatus closed = file->Close();
  return status.ok() ? closed : status;
}

FsStatus WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view contents) {
  // The temporary name carries the process id, so two programs saving the
  // same file never write into each other's temporary file.
  const std::string temp = PathOnly(path) + "." + fileonly(path) + "." +
                           std::to_string(::getpid()) + ".tmp";
  std::unique_ptr<OutputFile> file;
  FsStatus status = fs.OpenOutput(temp, FileSystem::OpenMode::kTruncate, &file);
  if (!status.ok()) {
    return status;
  }
  status = file->Append(contents);
  if (status.ok()) {
    status = file->Sync();
  }
  FsStatus closed = file->Close();
  if (status.ok()) {
    status = closed;
  }
  if (status.ok()) {
    status = fs.Rename(temp, path);
  }
  if (!status.ok()) {
    fs.Remove(temp);
  }
  return status;
}

}  // namespace pagorin
