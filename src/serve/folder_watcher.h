// The folders the preview server watches with inotify: which changes start
// a rebuild, and what a memory of the disk must forget after each event.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pagorin {

// What one event says may have changed.
struct FolderChange {
  enum class Scope {
    kFile,       // the status of the entry `path`
    kEntry,      // the entry `path` and the listing of its folder (added, removed, renamed)
    kTree,       // the folder `path` and everything below it
    kEverything  // events were lost: anything in any watched folder
  };
  Scope scope;
  // Lexically normal, without a final "/"; empty for kEverything. Valid
  // during the call that hands the change over.
  std::string_view path;
  // A finished change that starts a rebuild: a file that counts written and
  // closed, moved in or out, deleted or given new attributes (not merely
  // created: an editor's new empty file is not yet its text), a subfolder
  // moved or deleted, a watched folder moved or deleted, or lost events.
  bool rebuild = false;
};

// True when the path `path` lies inside the folder `folder` (both as
// FolderChange gives them).
bool IsBelow(std::string_view path, std::string_view folder);

// Hashes strings and string views alike, so a lookup by a view of a path
// makes no copy of it.
struct PathHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view path) const {
    return std::hash<std::string_view>{}(path);
  }
};

// One inotify instance over a set of folders. Not thread-safe: its owner
// serialises the calls.
class FolderWatcher {
 public:
  struct Options {
    // Every subfolder is watched too (not through symbolic links), and new
    // ones from the moment their event is read.
    bool subfolders = false;
    // Only files whose name ends in this (any letter case) start a rebuild;
    // empty: every file. Subfolders take their folder's suffix.
    std::string suffix;
  };

  FolderWatcher();
  ~FolderWatcher();
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;

  // False when the folder (or one of its subfolders) cannot be watched.
  bool Watch(const std::string& folder, const Options& options);

  // True when `folder` (no final "/", lexically normal) is watched now.
  bool Watching(std::string_view folder) const { return by_path_.contains(folder); }

  // True when no change of the entry `path` (as FolderChange gives it) can
  // start a rebuild: its folder is watched for files of another suffix
  // only, and it is not a folder named to Watch.
  bool Ignores(std::string_view path) const;

  // The descriptor to wait on: readable when events wait.
  int fd() const { return fd_; }

  // Reads every event waiting, without blocking, and hands what each may
  // have changed to `take`, in the order they came.
  void ReadChanges(const std::function<void(const FolderChange&)>& take);

 private:
  struct Folder {
    std::string path;
    Options options;
  };
  // Watches `folder` and, with options.subfolders, those below it.
  bool WatchTree(const std::string& folder, const Options& options);
  // Stops watching `folder` and every folder below it.
  void Unwatch(const std::string& folder);
  void Take(int handle, std::uint32_t mask, std::string_view name,
            const std::function<void(const FolderChange&)>& take);

  int fd_;
  // The folders named to Watch, so that one moved away and back, or
  // deleted and made again, is watched again when its parent is watched.
  std::unordered_map<std::string, Options, PathHash, std::equal_to<>> roots_;
  std::unordered_map<int, Folder> by_handle_;
  std::unordered_map<std::string, int, PathHash, std::equal_to<>> by_path_;
  std::string path_;  // the path of the event being handed over
};

}  // namespace pagorin
