// The disk as the preview server sees it: the answers of Stat and
// ListDirectory in watched folders are remembered until inotify or the
// program's own writes say they may have changed, so a rebuild asks the disk
// only about what an edit touched.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "serve/folder_watcher.h"
#include "shared/file_system.h"
#include "shared/name_list.h"

namespace pagorin {

// Wraps the real disk (`disk`, borrowed; a file's status missing from memory
// is read with lstat, past it). Stat and ListDirectory answers for paths
// whose folder is watched (an absolute path without a ".." step, "\" taken
// as "/") are remembered; every other call is passed on. The file a rename of
// the program's own puts in place is learnt at once (after the rename's
// events are read), so the build after one that rewrote every page finds
// them all in memory.
//
// Contract: an answer reflects every change whose event TakeEvents has taken,
// and every change made through this object (at once, when the call
// returns). A change made by another program after the last TakeEvents may
// go unseen until the next one, so the server takes the events right before
// each build (and after it, with the build's own writes): an edit made
// during a build is seen by the next build, which it also starts.
//
// Only what every change shows in a watched folder is remembered: a file with
// one name only (never a symbolic link, whose target may change elsewhere, nor
// a file with several names, which may be written through another), and a
// missing file. A folder's own status is never remembered (a change inside it
// raises no event in its parent). Thread-safe when `disk` is: a remembered
// answer costs one lookup under a lock.
class WatchedFileSystem final : public FileSystem {
 public:
  explicit WatchedFileSystem(FileSystem& disk);
  WatchedFileSystem(const WatchedFileSystem&) = delete;
  WatchedFileSystem& operator=(const WatchedFileSystem&) = delete;

  // Watches `folder` (see FolderWatcher::Watch); false when it, or one of
  // its subfolders, cannot be watched.
  bool Watch(const std::string& folder, const FolderWatcher::Options& options);
  // Readable when events wait.
  int fd() const { return watcher_.fd(); }
  // Takes every event waiting, without blocking, and forgets what they name.
  // True when one of them starts a rebuild (FolderChange::rebuild) and names
  // no file changed through this object since the last call: the program's
  // own writes (a build's news and version includes) start no rebuild.
  bool TakeEvents();

  // True when the listing of `folder` (a final "/" or none) is remembered:
  // no entry of it was added, removed or renamed since it was last listed.
  bool ListingKnown(const std::string& folder);

  bool ThreadSafe() const override { return disk_.ThreadSafe(); }
  TimePoint Now() const override { return disk_.Now(); }
  FileInfo Stat(const std::string& path) override;
  // True for a file remembered since a time no later than `since`: every
  // change after that would have made it forgotten.
  bool UnchangedSince(const std::string& path, TimePoint since) override;
  FsStatus ReadFile(const std::string& path, std::string* contents) override;
  FsStatus ReadFileWithInfo(const std::string& path, std::string* contents,
                            FileInfo* info) override;
  FsStatus OpenInput(const std::string& path, std::unique_ptr<InputFile>* file) override;
  FsStatus OpenOutput(const std::string& path, OpenMode mode,
                      std::unique_ptr<OutputFile>* file) override;
  FsStatus Rename(const std::string& from, const std::string& to) override;
  FsStatus Remove(const std::string& path) override;
  FsStatus Link(const std::string& from, const std::string& to) override;
  FsStatus MakeDirectory(const std::string& path) override;
  FsStatus ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override;
  FsStatus ListDirectoryWhere(const std::string& path,
                              const std::function<bool(const DirEntry&)>& keep,
                              std::vector<DirEntry>* entries) override;
  FsStatus SetReadOnly(const std::string& path, bool read_only) override;
  FsStatus SetModified(const std::string& path, TimePoint when) override;
  std::string MountPoint(const std::string& path) override { return disk_.MountPoint(path); }

 private:
  class Output;  // forgets the file it writes after every write
  struct Remembered {
    FileInfo info;
    TimePoint since;  // the disk's time just before the status was read
  };
  // A folder's entries, their names in one piece (NameList).
  struct Listing {
    NameList names;
    std::vector<bool> directories;
    void Add(const DirEntry& entry) {
      names.Add(entry.name);
      directories.push_back(entry.is_directory);
    }
    // Appends to `entries` those `keep` keeps.
    void CopyWhere(const std::function<bool(const DirEntry&)>& keep,
                   std::vector<DirEntry>* entries) const;
  };
  struct FolderMemory {
    std::unordered_map<std::string, Remembered, PathHash, std::equal_to<>> files;  // by name
    bool listed = false;
    Listing listing;
    // Counts what was forgotten in this folder: an answer read from the disk
    // while something here was forgotten may be older than that change, and
    // is not kept. Changes elsewhere (the pages a build writes meanwhile)
    // leave it alone.
    std::uint64_t forgotten = 0;
  };
  // The memory of watched `folder`, made empty when there is none, so that
  // what is forgotten in it while the disk is asked is counted; null when
  // `folder` is not watched.
  FolderMemory* MemoryOfLocked(std::string_view folder);
  // Makes a change of the program's own to `paths`, then forgets what it
  // may have changed (as an event of `scope` would), so that no answer read
  // before it is kept, and notes the paths, so that its events start no
  // rebuild.
  FsStatus Own(FolderChange::Scope scope, std::initializer_list<const std::string*> paths,
               const std::function<FsStatus()>& change);
  // Reads the events waiting and forgets what they name.
  void ReadEventsLocked();
  void ForgetLocked(const FolderChange& change);

  FileSystem& disk_;
  std::mutex mutex_;  // guards everything below
  FolderWatcher watcher_;
  // By folder path (normal, no final "/"); only watched folders.
  std::unordered_map<std::string, FolderMemory, PathHash, std::equal_to<>> folders_;
  // Counts the folder memories dropped, which invalidates every pointer to
  // one held while the disk is asked.
  std::uint64_t folders_dropped_ = 0;
  // Since the last TakeEvents: the paths the program changed itself, how
  // many changes it made, the paths of events that start a rebuild unless
  // they were the program's own, and whether events were lost.
  std::unordered_set<std::string, PathHash, std::equal_to<>> own_changes_;
  std::uint64_t own_count_ = 0;
  std::unordered_set<std::string, PathHash, std::equal_to<>> finished_;
  bool lost_events_ = false;
};

}  // namespace pagorin
