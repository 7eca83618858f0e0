#include "shared/real_file_system.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "shared/paths.h"

namespace pagorin {

namespace {

FsError ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FsError::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return FsError::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
      return FsError::kDiskFull;
    case EISDIR:
      return FsError::kIsDirectory;
    default:
      return FsError::kOther;
  }
}

FsStatus Failure(const char* operation, const std::string& path, int error) {
  return FsStatus{ErrorFromErrno(error),
                  std::string(operation) + " " + path + ": " + std::strerror(error)};
}

// Opens `name` for reading a file's text. Only a regular file has one: a
// device may never end and a pipe may never be written, so anything else is
// refused with kNotRegularFile before a byte is read. The open does not wait
// for a pipe's writer.
FsStatus OpenRegularFile(const std::string& name, int* fd, struct stat* st) {
  *fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (*fd < 0) {
    const int error = errno;
    struct stat what {};
    if (error == ENXIO && ::stat(name.c_str(), &what) == 0) {  // a socket
      return FsStatus{FsError::kNotRegularFile, "read " + name + ": not a regular file"};
    }
    return Failure("open", name, error);
  }
  if (::fstat(*fd, st) != 0 || !S_ISREG(st->st_mode)) {
    const bool folder = S_ISDIR(st->st_mode);
    const int error = errno;
    ::close(*fd);
    *fd = -1;
    if (folder) {
      return Failure("read", name, EISDIR);
    }
    return st->st_mode != 0
               ? FsStatus{FsError::kNotRegularFile, "read " + name + ": not a regular file"}
               : Failure("read", name, error);
  }
  return FsStatus::Ok();
}

FsStatus TooLarge(const std::string& name) {
  return FsStatus{FsError::kTooLarge, "read " + name + ": larger than " +
                                          std::to_string(kMaxFileBytes >> 20) +
                                          " MB, too large to read into memory"};
}

// "/a/b/" and "/a/b" give "/a"; "/a" gives "/".
std::string ParentFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') {
    folder.pop_back();
  }
  const std::size_t slash = folder.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

TimePoint FromTimespec(const struct timespec& ts) {
  return TimePoint(std::chrono::duration_cast<TimePoint::duration>(
      std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec)));
}

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }

  FsStatus Append(std::string_view data) override {
    while (!data.empty()) {
      ssize_t written = ::write(fd_, data.data(), data.size());
      if (written < 0) {
        if (errno == EINTR) {
          continue;
        }
        return Failure("write", path_, errno);
      }
      data.remove_prefix(static_cast<size_t>(written));
    }
    return FsStatus::Ok();
  }

  FsStatus Sync() override {
    if (::fsync(fd_) != 0) {
      return Failure("sync", path_, errno);
    }
    return FsStatus::Ok();
  }

  FsStatus Close() override {
    if (fd_ < 0) {
      return FsStatus::Ok();
    }
    int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) {
      return Failure("close", path_, errno);
    }
    return FsStatus::Ok();
  }

 private:
  int fd_;
  std::string path_;
};

class PosixInputFile final : public InputFile {
 public:
  PosixInputFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixInputFile() override { ::close(fd_); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  FsStatus Read(size_t max_bytes, std::string* data) override {
    data->resize(max_bytes);
    size_t filled = 0;
    while (filled < max_bytes) {
      ssize_t got = ::read(fd_, data->data() + filled, max_bytes - filled);
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        int error = errno;
        data->clear();
        return Failure("read", path_, error);
      }
      if (got == 0) {
        break;
      }
      filled += static_cast<size_t>(got);
    }
    data->resize(filled);
    return FsStatus::Ok();
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

FileInfo ToFileInfo(const struct stat& st) {
  FileInfo info;
  info.exists = true;
  info.is_directory = S_ISDIR(st.st_mode);
  info.read_only = (st.st_mode & S_IWUSR) == 0;
  info.size = static_cast<std::uint64_t>(st.st_size);
  info.modified = FromTimespec(st.st_mtim);
  info.changed = FromTimespec(st.st_ctim);
  return info;
}

FileInfo RealFileSystem::Stat(const std::string& path) {
  struct stat st {};
  if (::stat(ToForwardSlashes(path).c_str(), &st) != 0) {
    return {};
  }
  return ToFileInfo(st);
}

FsStatus RealFileSystem::ReadFile(const std::string& path, std::string* contents) {
  contents->clear();
  const std::string name = ToForwardSlashes(path);
  int fd = -1;
  struct stat st {};
  if (FsStatus opened = OpenRegularFile(name, &fd, &st); !opened.ok()) {
    return opened;
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
    ::close(fd);
    return TooLarge(name);
  }
  // A read of a regular file that does not fill the block has met the end,
  // so most files take one read.
  char block[1 << 16];
  for (;;) {
    if (contents->size() > kMaxFileBytes) {  // it grew while being read
      ::close(fd);
      contents->clear();
      return TooLarge(name);
    }
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      ::close(fd);
      contents->clear();
      return Failure("read", name, error);
    }
    contents->append(block, static_cast<std::size_t>(got));
    if (static_cast<std::size_t>(got) < sizeof block) {
      break;
    }
  }
  ::close(fd);
  return FsStatus::Ok();
}

FsStatus RealFileSystem::ReadFileWithInfo(const std::string& path, std::string* contents,
                                          FileInfo* info) {
  contents->clear();
  *info = FileInfo{};
  const std::string name = ToForwardSlashes(path);
  int fd = -1;
  struct stat st {};
  if (FsStatus opened = OpenRegularFile(name, &fd, &st); !opened.ok()) {
    return opened;
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
    ::close(fd);
    return TooLarge(name);
  }
  // Room for one byte more than the file holds: a read of a regular file
  // that does not fill it has met the end, so a file that did not grow
  // takes one read.
  std::size_t filled = 0;
  contents->resize(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)) + 1);
  for (;;) {
    const ssize_t got = ::read(fd, contents->data() + filled, contents->size() - filled);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      ::close(fd);
      contents->clear();
      return Failure("read", name, error);
    }
    filled += static_cast<std::size_t>(got);
    if (got == 0 || filled < contents->size()) {
      break;
    }
    if (filled > kMaxFileBytes) {
      ::close(fd);
      contents->clear();
      return TooLarge(name);
    }
    contents->resize(contents->size() * 2);  // the file grew while being read
  }
  ::close(fd);
  contents->resize(filled);
  *info = ToFileInfo(st);
  return FsStatus::Ok();
}

FsStatus RealFileSystem::OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) {
  file->reset();
  const std::string name = ToForwardSlashes(path);
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return Failure("open", name, errno);
  }
  *file = std::make_unique<PosixInputFile>(fd, name);
  return FsStatus::Ok();
}

FsStatus RealFileSystem::OpenOutput(const std::string& path, OpenMode mode,
                                    std::unique_ptr<OutputFile>* file) {
  file->reset();
  const std::string name = ToForwardSlashes(path);
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == OpenMode::kAppend ? O_APPEND : O_TRUNC);
  int fd = ::open(name.c_str(), flags, 0644);
  if (fd < 0) {
    return Failure("open", name, errno);
  }
  *file = std::make_unique<PosixOutputFile>(fd, name);
  return FsStatus::Ok();
}

FsStatus RealFileSystem::Rename(const std::string& from, const std::string& to) {
  if (::rename(ToForwardSlashes(from).c_str(), ToForwardSlashes(to).c_str()) != 0) {
    return Failure("rename", from + " to " + to, errno);
  }
  return FsStatus::Ok();
}

FsStatus RealFileSystem::Link(const std::string& from, const std::string& to) {
  if (::link(ToForwardSlashes(from).c_str(), ToForwardSlashes(to).c_str()) != 0) {
    return Failure("link", from + " to " + to, errno);
  }
  return FsStatus::Ok();
}

FsStatus RealFileSystem::Remove(const std::string& path) {
  const std::string name = ToForwardSlashes(path);
  if (::unlink(name.c_str()) != 0) {
    return Failure("remove", name, errno);
  }
  return FsStatus::Ok();
}

FsStatus RealFileSystem::MakeDirectory(const std::string& path) {
  const std::string name = ToForwardSlashes(path);
  if (::mkdir(name.c_str(), 0755) != 0) {
    return Failure("create folder", name, errno);
  }
  return FsStatus::Ok();
}

FsStatus RealFileSystem::ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  entries->clear();
  const std::string name = ToForwardSlashes(path);
  DIR* dir = ::opendir(name.empty() ? "." : name.c_str());
  if (dir == nullptr) {
    return Failure("list", name, errno);
  }
  const std::string prefix = addbackslash(name);
  while (struct dirent* entry = ::readdir(dir)) {
    std::string entry_name = entry->d_name;
    if (entry_name == "." || entry_name == "..") {
      continue;
    }
    bool is_directory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st {};
      is_directory = ::stat((prefix + entry_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries->push_back(DirEntry{std::move(entry_name), is_directory});
  }
  ::closedir(dir);
  return FsStatus::Ok();
}

FsStatus RealFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  const std::string name = ToForwardSlashes(path);
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) {
    return Failure("change attributes of", name, errno);
  }
  mode_t mode = st.st_mode & 07777;
  mode = read_only ? (mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}) : (mode | S_IWUSR);
  if (::chmod(name.c_str(), mode) != 0) {
    return Failure("change attributes of", name, errno);
  }
  return FsStatus::Ok();
}

FsStatus RealFileSystem::SetModified(const std::string& path, TimePoint when) {
  const std::string name = ToForwardSlashes(path);
  auto since_epoch = std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch());
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(since_epoch.count() / 1000000000);
  times[1].tv_nsec = static_cast<long>(since_epoch.count() % 1000000000);
  if (::utimensat(AT_FDCWD, name.c_str(), times, 0) != 0) {
    return Failure("set the date of", name, errno);
  }
  return FsStatus::Ok();
}

std::string RealFileSystem::MountPoint(const std::string& path) {
  std::string folder = ToForwardSlashes(path);
  if (folder.empty() || folder.front() != '/') {
    char* working = ::getcwd(nullptr, 0);
    if (working == nullptr) {
      return {};
    }
    folder = std::string(working) + "/" + folder;
    std::free(working);
  }
  struct stat st {};
  while (::stat(folder.c_str(), &st) != 0) {
    if (folder == "/") {
      return {};
    }
    folder = ParentFolder(folder);
  }
  for (;;) {
    if (folder == "/") {
      return folder;
    }
    const std::string parent = ParentFolder(folder);
    struct stat above {};
    if (::stat(parent.c_str(), &above) != 0 || above.st_dev != st.st_dev) {
      return folder;
    }
    folder = parent;
  }
}

}  // namespace pagorin
