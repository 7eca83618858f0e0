#include "shared/file_system.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "shared/paths.h"

namespace pagorin {

namespace {

// Serves a file that was read whole.
class StringInputFile final : public InputFile {
 public:
  explicit StringInputFile(std::string contents) : contents_(std::move(contents)) {}

  FsStatus Read(std::size_t max_bytes, std::string* data) override {
    std::size_t count = std::min(max_bytes, contents_.size() - offset_);
    data->assign(contents_, offset_, count);
    offset_ += count;
    return FsStatus::Ok();
  }

 private:
  std::string contents_;
  std::size_t offset_ = 0;
};

}  // namespace

int ErrorNumber(FsError code) {
  switch (code) {
    case FsError::kNone:
      return 0;
    case FsError::kNotFound:
      return 53;
    case FsError::kAccessDenied:
      return 70;
    case FsError::kDiskFull:
      return 61;
    case FsError::kIsDirectory:
    case FsError::kOther:
      return 75;
  }
  return 75;
}

std::string ErrorDescription(const FsStatus& status) {
  return status.message + "(" + std::to_string(ErrorNumber(status.code)) + ")";
}

FsStatus FileSystem::ReadFileWithInfo(const std::string& path, std::string* contents,
                                      FileInfo* info) {
  *info = Stat(path);
  if (!info->exists || info->is_directory) {
    contents->clear();
    const bool folder = info->is_directory;
    *info = FileInfo{};
    return folder ? FsStatus{FsError::kIsDirectory, "read " + path + ": Is a directory"}
                  : FsStatus{FsError::kNotFound, "open " + path + ": No such file or directory"};
  }
  FsStatus status = ReadFile(path, contents);
  if (!status.ok()) {
    *info = FileInfo{};
  }
  return status;
}

FsStatus FileSystem::OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) {
  file->reset();
  std::string contents;
  FsStatus status = ReadFile(path, &contents);
  if (status.ok()) {
    *file = std::make_unique<StringInputFile>(std::move(contents));
  }
  return status;
}

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

FsStatus FileSystem::Link(const std::string& from, const std::string& to) {
  return {FsError::kOther, "link " + from + " to " + to + ": not supported here"};
}

namespace {

FsStatus ReplaceByRename(FileSystem& fs, const std::string& path, std::string_view contents,
                         bool flush) {
  // The temporary name carries the process id, so two programs saving the
  // same file never write into each other's temporary file.
  const std::string temp =
      PathOnly(path) + "." + fileonly(path) + "." + std::to_string(::getpid()) + ".tmp";
  std::unique_ptr<OutputFile> file;
  FsStatus status = fs.OpenOutput(temp, FileSystem::OpenMode::kTruncate, &file);
  if (!status.ok()) {
    return status;
  }
  status = file->Append(contents);
  if (status.ok() && flush) {
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

}  // namespace

FsStatus WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view contents) {
  return ReplaceByRename(fs, path, contents, /*flush=*/true);
}

FsStatus ReplaceFileWithoutFlush(FileSystem& fs, const std::string& path,
                                 std::string_view contents) {
  return ReplaceByRename(fs, path, contents, /*flush=*/false);
}

}  // namespace pagorin
