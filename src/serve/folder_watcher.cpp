#include "serve/folder_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "shared/text.h"

namespace pagorin {

FolderWatcher::FolderWatcher() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatcher::~FolderWatcher() {
  if (fd_ >= 0) {
    close(fd_);
  }
}

bool FolderWatcher::Watch(const std::string& folder, const std::string& suffix) {
  if (fd_ < 0) {
    return false;
  }
  const int handle = inotify_add_watch(
      fd_, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE);
  if (handle < 0) {
    return false;
  }
  folders_.push_back({handle, LCase(suffix)});
  return true;
}

bool FolderWatcher::ReadChanges() {
  bool changed = false;
  alignas(inotify_event) std::array<char, 16384> buffer;
  for (;;) {
    const ssize_t length = read(fd_, buffer.data(), buffer.size());
    if (length <= 0) {
      return changed;
    }
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      const auto folder = std::find_if(folders_.begin(), folders_.end(),
                                       [&](const Folder& f) { return f.handle == event->wd; });
      if (folder == folders_.end() || event->len == 0 || (event->mask & IN_ISDIR) != 0) {
        continue;
      }
      if (folder->suffix.empty() || LCase(event->name).ends_with(folder->suffix)) {
        changed = true;
      }
    }
  }
}

}  // namespace pagorin
