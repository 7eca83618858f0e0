#include "shared/file_system.h"

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

// Writes into a temporary file that a successful Close() renames over the
// file it replaces; anything else removes the temporary file.
class ReplacementFile final : public OutputFile {
 public:
  ReplacementFile(FileSystem& fs, std::unique_ptr<OutputFile> temp, std::string temp_path,
                  std::string path, bool sync)
      : fs_(fs),
        temp_(std::move(temp)),
        temp_path_(std::move(temp_path)),
        path_(std::move(path)),
        sync_(sync) {}
  ~ReplacementFile() override { Abandon(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  FsStatus Append(std::string_view data) override {
    if (!temp_) {
      return Closed();
    }
    FsStatus status = temp_->Append(data);
    if (!status.ok()) {
      Abandon();
    }
    return status;
  }

  FsStatus Sync() override { return temp_ ? temp_->Sync() : Closed(); }

  FsStatus Close() override {
    if (!temp_) {
      return done_ ? FsStatus::Ok() : Closed();
    }
    FsStatus status = sync_ ? temp_->Sync() : FsStatus::Ok();
    FsStatus closed = temp_->Close();
    if (status.ok()) {
      status = closed;
    }
    if (status.ok()) {
      status = fs_.Rename(temp_path_, path_);
    }
    temp_.reset();
    if (!status.ok()) {
      fs_.Remove(temp_path_);
      return status;
    }
    done_ = true;
    return status;
  }

 private:
  void Abandon() {
    if (temp_) {
      temp_->Close();
      temp_.reset();
      fs_.Remove(temp_path_);
    }
  }

  FsStatus Closed() const {
    return FsStatus{FsError::kOther, "write " + path_ + ": the file was given up"};
  }

  FileSystem& fs_;
  std::unique_ptr<OutputFile> temp_;
  const std::string temp_path_;
  const std::string path_;
  const bool sync_;
  bool done_ = false;
};

// True when `path` is a file that holds exactly `contents`. The size is
// compared before any byte is read.
bool HoldsText(FileSystem& fs, const std::string& path, std::string_view contents) {
  const FileInfo info = fs.Stat(path);
  if (!info.exists || info.is_directory || info.size != contents.size()) {
    return false;
  }
  std::string old_text;
  return fs.ReadFile(path, &old_text).ok() && old_text == contents;
}

// A replacement that keeps a file already holding its text: the text waits
// in memory until Close().
class KeepingReplacementFile final : public OutputFile {
 public:
  KeepingReplacementFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

  FsStatus Append(std::string_view data) override {
    if (closed_) {
      return Closed();
    }
    text_.append(data);
    return FsStatus::Ok();
  }

  FsStatus Sync() override { return closed_ ? Closed() : FsStatus::Ok(); }

  FsStatus Close() override {
    if (closed_) {
      return Closed();
    }
    closed_ = true;
    const std::string text = std::move(text_);
    return ReplaceFile(fs_, path_, text, SameText::kKeep);
  }

 private:
  FsStatus Closed() const {
    return FsStatus{FsError::kOther, "write " + path_ + ": the file was given up"};
  }

  FileSystem& fs_;
  const std::string path_;
  std::string text_;
  bool closed_ = false;
};

FsStatus OpenReplacementAs(FileSystem& fs, const std::string& path, const std::string& temp,
                           bool sync, std::unique_ptr<OutputFile>* file) {
  file->reset();
  std::unique_ptr<OutputFile> temp_file;
  FsStatus status = fs.OpenOutput(temp, FileSystem::OpenMode::kTruncate, &temp_file);
  if (status.ok()) {
    *file = std::make_unique<ReplacementFile>(fs, std::move(temp_file), temp, path, sync);
  }
  return status;
}

FsStatus WriteReplacement(std::unique_ptr<OutputFile> file, std::string_view contents) {
  FsStatus status = file->Append(contents);
  return status.ok() ? file->Close() : status;
}

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
    case FsError::kTooLarge:
      return 7;
    case FsError::kIsDirectory:
    case FsError::kNotRegularFile:
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

FsStatus FileSystem::ListDirectoryWhere(const std::string& path,
                                        const std::function<bool(const DirEntry&)>& keep,
                                        std::vector<DirEntry>* entries) {
  const FsStatus status = ListDirectory(path, entries);
  std::erase_if(*entries, [&](const DirEntry& entry) { return !keep(entry); });
  return status;
}

FsStatus FileSystem::Link(const std::string& from, const std::string& to) {
  return {FsError::kOther, "link " + from + " to " + to + ": not supported here"};
}

std::string ReplacementName(const std::string& path) {
  return PathOnly(path) + "." + fileonly(path) + ".tmp";
}

FsStatus OpenReplacement(FileSystem& fs, const std::string& path, std::unique_ptr<OutputFile>* file,
                         SameText same) {
  if (same == SameText::kKeep) {
    *file = std::make_unique<KeepingReplacementFile>(fs, path);
    return FsStatus::Ok();
  }
  return OpenReplacementAs(fs, path, ReplacementName(path), /*sync=*/false, file);
}

FsStatus ReplaceFile(FileSystem& fs, const std::string& path, std::string_view contents,
                     SameText same) {
  if (same == SameText::kKeep && HoldsText(fs, path, contents)) {
    return FsStatus::Ok();
  }
  std::unique_ptr<OutputFile> file;
  FsStatus status = OpenReplacement(fs, path, &file);
  return status.ok() ? WriteReplacement(std::move(file), contents) : status;
}

FsStatus WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view contents) {
  std::unique_ptr<OutputFile> file;
  FsStatus status = OpenReplacementAs(fs, path, ReplacementName(path), /*sync=*/true, &file);
  return status.ok() ? WriteReplacement(std::move(file), contents) : status;
}

}  // namespace pagorin
