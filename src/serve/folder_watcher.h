// The folders the preview server rebuilds for, watched with inotify.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

class FolderWatcher {
 public:
  FolderWatcher();
  ~FolderWatcher();
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;

  // Watches the files of `folder` (not its subfolders). With `suffix`, only
  // files whose name ends in it (any letter case) count. False when the
  // folder cannot be watched.
  bool Watch(const std::string& folder, const std::string& suffix = {});

  // The descriptor to wait on: readable when something changed.
  int fd() const { return fd_; }

  // Reads every event waiting; true when one names a file that counts.
  bool ReadChanges();

 private:
  struct Folder {
    int handle;
    std::string suffix;
  };
  int fd_;
  std::vector<Folder> folders_;
};

}  // namespace pagorin
