#include "serve/folder_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <filesystem>
#include <vector>

#include "shared/text.h"

namespace pagorin {

namespace {

constexpr std::uint32_t kEntryEvents =
    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE | IN_DELETE;
constexpr std::uint32_t kWatchMask = kEntryEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Events after which a file holds what its editor meant it to.
constexpr std::uint32_t kFinished =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_ATTRIB;
constexpr std::uint32_t kListingEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

std::string NormalFolder(const std::string& folder) {
  std::string normal = std::filesystem::path(folder).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') {
    normal.pop_back();
  }
  return normal;
}

// True when a finished change of the file `name` in a folder watched with
// `options` starts a rebuild.
bool Counts(const FolderWatcher::Options& options, std::string_view name) {
  return name.size() >= options.suffix.size() &&
         EqualsNoCase(name.substr(name.size() - options.suffix.size()), options.suffix);
}

}  // namespace

bool IsBelow(std::string_view path, std::string_view folder) {
  return path.size() > folder.size() && path.starts_with(folder) &&
         (path[folder.size()] == '/' || folder == "/");
}

FolderWatcher::FolderWatcher() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatcher::~FolderWatcher() {
  if (fd_ >= 0) {
    close(fd_);
  }
}

bool FolderWatcher::Watch(const std::string& folder, const Options& options) {
  if (fd_ < 0) {
    return false;
  }
  const std::string path = NormalFolder(folder);
  roots_[path] = options;
  return WatchTree(path, options);
}

bool FolderWatcher::WatchTree(const std::string& folder, const Options& options) {
  const int handle = inotify_add_watch(fd_, folder.c_str(), kWatchMask);
  if (handle < 0) {
    return false;
  }
  // The same folder reached under a new name keeps its handle.
  if (const auto known = by_handle_.find(handle); known != by_handle_.end()) {
    by_path_.erase(known->second.path);
  }
  by_handle_[handle] = Folder{folder, options};
  by_path_[folder] = handle;
  bool watched = true;
  if (options.subfolders) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      if (entry.symlink_status(error).type() == std::filesystem::file_type::directory) {
        watched = WatchTree(entry.path().string(), options) && watched;
      }
    }
  }
  return watched;
}

bool FolderWatcher::Ignores(std::string_view path) const {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || roots_.contains(path)) {
    return false;
  }
  const auto folder = by_path_.find(slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
  if (folder == by_path_.end()) {
    return false;
  }
  const Options& options = by_handle_.at(folder->second).options;
  return !options.subfolders && !Counts(options, path.substr(slash + 1));
}

void FolderWatcher::Unwatch(const std::string& folder) {
  std::vector<int> handles;
  for (const auto& [handle, watched] : by_handle_) {
    if (watched.path == folder || IsBelow(watched.path, folder)) {
      handles.push_back(handle);
    }
  }
  for (const int handle : handles) {
    inotify_rm_watch(fd_, handle);  // fails harmlessly for a folder already gone
    by_path_.erase(by_handle_[handle].path);
    by_handle_.erase(handle);
  }
}

void FolderWatcher::ReadChanges(const std::function<void(const FolderChange&)>& take) {
  alignas(inotify_event) std::array<char, 16384> buffer;
  for (;;) {
    const ssize_t length = read(fd_, buffer.data(), buffer.size());
    if (length <= 0) {
      return;
    }
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      // The name is padded with NULs up to its length.
      const std::string_view name = event->len == 0 ? std::string_view() : event->name;
      Take(event->wd, event->mask, name, take);
    }
    // Room was left: the queue was empty when it was read, and a build's
    // own writes are not worth a read that finds nothing.
    if (static_cast<std::size_t>(length) + sizeof(inotify_event) + NAME_MAX + 1 <= buffer.size()) {
      return;
    }
  }
}

void FolderWatcher::Take(int handle, std::uint32_t mask, std::string_view name,
                         const std::function<void(const FolderChange&)>& take) {
  using Scope = FolderChange::Scope;
  if ((mask & IN_Q_OVERFLOW) != 0) {
    take({Scope::kEverything, {}, true});
    return;
  }
  const auto found = by_handle_.find(handle);
  if (found == by_handle_.end()) {
    return;  // a folder no longer watched
  }
  const Scope scope = (mask & kListingEvents) != 0 ? Scope::kEntry : Scope::kFile;
  if (!name.empty()) {
    path_.assign(found->second.path == "/" ? "" : found->second.path).append("/").append(name);
  }
  if (!name.empty() && (mask & IN_ISDIR) == 0) {
    // A file's event, the commonest by far, changes no watch.
    take({scope, path_, (mask & kFinished) != 0 && Counts(found->second.options, name)});
    return;
  }
  // Unwatch may end the folder's entry.
  const Folder folder = found->second;
  if (name.empty()) {
    const bool gone = (mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0;
    take({Scope::kTree, folder.path, gone});
    if (gone || (mask & IN_IGNORED) != 0) {
      // Moved: its handle now watches a folder under another name.
      Unwatch(folder.path);
    }
    return;
  }
  const std::string path = path_;  // a subfolder's event, which may watch more
  if ((mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
    Unwatch(path);
  }
  bool rebuild =
      folder.options.subfolders && (mask & (IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0;
  if ((mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
    if (folder.options.subfolders) {
      WatchTree(path, folder.options);
    } else if (const auto root = roots_.find(path); root != roots_.end()) {
      WatchTree(path, root->second);
      rebuild = true;
    }
  }
  take({scope, path, rebuild});
  take({Scope::kTree, path, false});
}

}  // namespace pagorin
