#include "serve/watched_file_system.h"

#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "shared/paths.h"
#include "shared/real_file_system.h"

namespace pagorin {

namespace {

constexpr std::uint64_t kReadEveryOwnChanges = 64;

bool IsNormal(std::string_view path) {
  if (path.empty() || path.front() != '/' || (path.size() > 1 && path.back() == '/')) {
    return false;
  }
  for (std::size_t at = 0; at < path.size(); ++at) {
    const char c = path[at];
    if (c == '\\') {
      return false;
    }
    if (c == '/' && at + 1 < path.size() && path[at + 1] == '/') {
      return false;
    }
    if (c == '.' && path[at - 1] == '/') {  // "." or ".." as a whole step
      const std::size_t end = path.find('/', at);
      const std::size_t step = (end == std::string_view::npos ? path.size() : end) - at;
      if (step == 1 || (step == 2 && path[at + 1] == '.')) {
        return false;
      }
    }
  }
  return true;
}

// `path` as memory knows it: "\" as "/", no empty or "." steps, no final
// "/". Null for a relative path and for one with a ".." step, which a
// symbolic link on the way could send into another folder. Points at `path`
// itself when it is already normal, else at `scratch`.
const std::string* NormalPath(const std::string& path, std::string* scratch) {
  if (IsNormal(path)) {
    return &path;
  }
  const std::string forward = ToForwardSlashes(path);
  if (!forward.starts_with('/')) {
    return nullptr;
  }
  scratch->clear();
  for (std::size_t at = 1; at <= forward.size();) {
    std::size_t end = forward.find('/', at);
    if (end == std::string::npos) {
      end = forward.size();
    }
    const std::string_view step(forward.data() + at, end - at);
    if (step == "..") {
      return nullptr;
    }
    if (!step.empty() && step != ".") {
      scratch->append("/").append(step);
    }
    at = end + 1;
  }
  if (scratch->empty()) {
    scratch->push_back('/');
  }
  return scratch;
}

// The folder and the name of a normal path; an empty name for "/".
std::pair<std::string_view, std::string_view> Split(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return {slash == 0 ? path.substr(0, 1) : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

class WatchedFileSystem::Output final : public OutputFile {
 public:
  Output(WatchedFileSystem& owner, std::string path, std::unique_ptr<OutputFile> file)
      : owner_(owner), path_(std::move(path)), file_(std::move(file)) {}
  FsStatus Append(std::string_view data) override {
    return owner_.Own(FolderChange::Scope::kFile, {&path_}, [&] { return file_->Append(data); });
  }
  FsStatus Sync() override { return file_->Sync(); }
  FsStatus Close() override {
    return owner_.Own(FolderChange::Scope::kFile, {&path_}, [&] { return file_->Close(); });
  }

 private:
  WatchedFileSystem& owner_;
  std::string path_;
  std::unique_ptr<OutputFile> file_;
};

WatchedFileSystem::WatchedFileSystem(FileSystem& disk) : disk_(disk) {}

bool WatchedFileSystem::Watch(const std::string& folder, const FolderWatcher::Options& options) {
  std::lock_guard lock(mutex_);
  return watcher_.Watch(folder, options);
}

bool WatchedFileSystem::TakeEvents() {
  std::lock_guard lock(mutex_);
  ReadEventsLocked();
  const bool rebuild =
      lost_events_ || std::any_of(finished_.begin(), finished_.end(), [&](const std::string& path) {
        return !own_changes_.contains(path);
      });
  lost_events_ = false;
  finished_.clear();
  own_changes_.clear();
  return rebuild;
}

void WatchedFileSystem::ReadEventsLocked() {
  watcher_.ReadChanges([this](const FolderChange& change) {
    ForgetLocked(change);
    if (change.rebuild && change.scope == FolderChange::Scope::kEverything) {
      lost_events_ = true;
    } else if (change.rebuild && !finished_.contains(change.path)) {
      finished_.emplace(change.path);
    }
  });
}

FsStatus WatchedFileSystem::Own(FolderChange::Scope scope,
                                std::initializer_list<const std::string*> paths,
                                const std::function<FsStatus()>& change) {
  FsStatus status = change();
  std::lock_guard lock(mutex_);
  for (const std::string* path : paths) {
    std::string scratch;
    const std::string* normal = NormalPath(*path, &scratch);
    if (normal == nullptr) {
      // A path memory cannot place may still name a remembered file. A
      // relative one is still the program's own change, as events name it
      // in a folder watched by a relative name.
      ForgetLocked({FolderChange::Scope::kEverything, {}});
      own_changes_.insert(ToForwardSlashes(*path));
      continue;
    }
    ForgetLocked({scope, *normal});
    if (scope == FolderChange::Scope::kEntry) {
      ForgetLocked({FolderChange::Scope::kTree, *normal});  // a folder renamed or removed
    }
    // A build writes thousands of pages whose changes start no rebuild
    // anyway: only the others need telling apart.
    if (!watcher_.Ignores(*normal) && !own_changes_.contains(*normal)) {
      own_changes_.insert(*normal);
    }
  }
  // A build writes thousands of pages, each some events: read now and then,
  // the kernel's queue never overflows (which would lose every memory).
  if (++own_count_ % kReadEveryOwnChanges == 0) {
    ReadEventsLocked();
  }
  return status;
}

void WatchedFileSystem::ForgetLocked(const FolderChange& change) {
  switch (change.scope) {
    case FolderChange::Scope::kEverything:
      folders_.clear();
      ++folders_dropped_;
      return;
    case FolderChange::Scope::kTree:
      if (std::erase_if(folders_, [&](const auto& folder) {
            return folder.first == change.path || IsBelow(folder.first, change.path);
          }) != 0) {
        ++folders_dropped_;
      }
      return;
    case FolderChange::Scope::kFile:
    case FolderChange::Scope::kEntry: {
      // A folder without memory has no answer being read either: reading
      // one makes the memory first.
      const auto [folder, name] = Split(change.path);
      const auto found = folders_.find(folder);
      if (found == folders_.end()) {
        return;
      }
      ++found->second.forgotten;
      if (const auto file = found->second.files.find(name); file != found->second.files.end()) {
        found->second.files.erase(file);
      }
      if (change.scope == FolderChange::Scope::kEntry) {
        found->second.listed = false;
        found->second.listing = Listing{};
      }
      return;
    }
  }
}

FileInfo WatchedFileSystem::Stat(const std::string& path) {
  std::string scratch;
  const std::string* normal = NormalPath(path, &scratch);
  if (normal == nullptr) {
    return disk_.Stat(path);
  }
  const auto [folder, name] = Split(*normal);
  if (name.empty()) {
    return disk_.Stat(path);
  }
  FolderMemory* memory = nullptr;
  std::uint64_t dropped = 0;
  std::uint64_t forgotten = 0;
  {
    std::lock_guard lock(mutex_);
    memory = MemoryOfLocked(folder);
    if (memory == nullptr) {
      return disk_.Stat(path);
    }
    if (const auto file = memory->files.find(name); file != memory->files.end()) {
      return file->second.info;
    }
    dropped = folders_dropped_;
    forgotten = memory->forgotten;
  }
  const TimePoint since = disk_.Now();
  FileInfo info;
  struct stat st {};
  if (::lstat(normal->c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      return disk_.Stat(path);
    }
    info = ToFileInfo(st);
    if (S_ISDIR(st.st_mode) || st.st_nlink != 1) {
      return info;
    }
  } else if (errno != ENOENT) {
    return disk_.Stat(path);
  }
  std::lock_guard lock(mutex_);
  if (folders_dropped_ == dropped && memory->forgotten == forgotten) {
    memory->files.emplace(name, Remembered{info, since});
  }
  return info;
}

WatchedFileSystem::FolderMemory* WatchedFileSystem::MemoryOfLocked(std::string_view folder) {
  if (const auto found = folders_.find(folder); found != folders_.end()) {
    return &found->second;
  }
  if (!watcher_.Watching(folder)) {
    return nullptr;
  }
  return &folders_.emplace(folder, FolderMemory{}).first->second;
}

bool WatchedFileSystem::UnchangedSince(const std::string& path, TimePoint since) {
  std::string scratch;
  const std::string* normal = NormalPath(path, &scratch);
  if (normal == nullptr) {
    return false;
  }
  const auto [folder, name] = Split(*normal);
  std::lock_guard lock(mutex_);
  const auto found = folders_.find(folder);
  if (found == folders_.end()) {
    return false;
  }
  const auto file = found->second.files.find(name);
  return file != found->second.files.end() && file->second.since <= since;
}

bool WatchedFileSystem::ListingKnown(const std::string& folder) {
  std::string scratch;
  const std::string* normal = NormalPath(folder, &scratch);
  if (normal == nullptr) {
    return false;
  }
  std::lock_guard lock(mutex_);
  const auto found = folders_.find(*normal);
  return found != folders_.end() && found->second.listed;
}

FsStatus WatchedFileSystem::ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  return ListDirectoryWhere(
      path, [](const DirEntry&) { return true; }, entries);
}

FsStatus WatchedFileSystem::ListDirectoryWhere(const std::string& path,
                                               const std::function<bool(const DirEntry&)>& keep,
                                               std::vector<DirEntry>* entries) {
  entries->clear();
  std::string scratch;
  const std::string* normal = NormalPath(path, &scratch);
  if (normal == nullptr) {
    return disk_.ListDirectoryWhere(path, keep, entries);
  }
  FolderMemory* memory = nullptr;
  std::uint64_t dropped = 0;
  std::uint64_t forgotten = 0;
  {
    std::lock_guard lock(mutex_);
    memory = MemoryOfLocked(*normal);
    if (memory == nullptr) {
      return disk_.ListDirectoryWhere(path, keep, entries);
    }
    if (memory->listed) {
      memory->listing.CopyWhere(keep, entries);
      return FsStatus::Ok();
    }
    dropped = folders_dropped_;
    forgotten = memory->forgotten;
  }
  std::vector<DirEntry> listing;
  const FsStatus status = disk_.ListDirectory(path, &listing);
  std::copy_if(listing.begin(), listing.end(), std::back_inserter(*entries), keep);
  std::lock_guard lock(mutex_);
  if (status.ok() && folders_dropped_ == dropped && memory->forgotten == forgotten) {
    memory->listing = Listing{};
    for (const DirEntry& entry : listing) {
      memory->listing.Add(entry);
    }
    memory->listed = true;
  }
  return status;
}

void WatchedFileSystem::Listing::CopyWhere(const std::function<bool(const DirEntry&)>& keep,
                                           std::vector<DirEntry>* entries) const {
  // One entry, its name's memory used again, is shown to `keep` in turn.
  DirEntry shown;
  for (std::size_t i = 0; i < names.size(); ++i) {
    shown.name.assign(names.at(i));
    shown.is_directory = directories[i];
    if (keep(shown)) {
      entries->push_back(shown);
    }
  }
}

FsStatus WatchedFileSystem::ReadFile(const std::string& path, std::string* contents) {
  return disk_.ReadFile(path, contents);
}

FsStatus WatchedFileSystem::ReadFileWithInfo(const std::string& path, std::string* contents,
                                             FileInfo* info) {
  return disk_.ReadFileWithInfo(path, contents, info);
}

FsStatus WatchedFileSystem::OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) {
  return disk_.OpenInput(path, file);
}

FsStatus WatchedFileSystem::OpenOutput(const std::string& path, OpenMode mode,
                                       std::unique_ptr<OutputFile>* file) {
  FsStatus status =
      Own(FolderChange::Scope::kEntry, {&path}, [&] { return disk_.OpenOutput(path, mode, file); });
  if (*file) {
    *file = std::make_unique<Output>(*this, path, std::move(*file));
  }
  return status;
}

FsStatus WatchedFileSystem::Rename(const std::string& from, const std::string& to) {
  FsStatus status =
      Own(FolderChange::Scope::kEntry, {&from, &to}, [&] { return disk_.Rename(from, to); });
  if (status.ok()) {
    // A replaced page is remembered at once, so the next build need not ask
    // for it. Its events are read first: none of them may forget it later.
    {
      std::lock_guard lock(mutex_);
      ReadEventsLocked();
    }
    Stat(to);
  }
  return status;
}

FsStatus WatchedFileSystem::Remove(const std::string& path) {
  return Own(FolderChange::Scope::kEntry, {&path}, [&] { return disk_.Remove(path); });
}

FsStatus WatchedFileSystem::Link(const std::string& from, const std::string& to) {
  // `from` is now one of two names.
  return Own(FolderChange::Scope::kEntry, {&from, &to}, [&] { return disk_.Link(from, to); });
}

FsStatus WatchedFileSystem::MakeDirectory(const std::string& path) {
  return Own(FolderChange::Scope::kEntry, {&path}, [&] { return disk_.MakeDirectory(path); });
}

FsStatus WatchedFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  return Own(FolderChange::Scope::kFile, {&path},
             [&] { return disk_.SetReadOnly(path, read_only); });
}

FsStatus WatchedFileSystem::SetModified(const std::string& path, TimePoint when) {
  return Own(FolderChange::Scope::kFile, {&path}, [&] { return disk_.SetModified(path, when); });
}

}  // namespace pagorin
