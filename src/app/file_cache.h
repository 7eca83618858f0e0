// clsCache: the text of every template and include read so far, so that a
// file used by many pages is read from disk once per change.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

// One file as it was read. Shared between the cache and whoever uses it, so
// an entry can leave the cache while a page is still being built from it.
struct CachedFile {
  std::string text;
  std::string disk_path;  // the path as it exists on disk, "/" separators
  std::string identity;   // disk_path with "." and ".." worked out: one per file
  TimePoint modified{};
  std::uint64_t size = 0;  // on disk, as the file system told it when it was read
  TimePoint changed{};     // the same: its status change time
  // The file system's time just before the file was read: a file modified
  // less than kSettleTime before it may change again without its time or
  // size showing it (Settled).
  TimePoint read_at{};
  std::uint64_t hash = 0;  // of the text, which identifies the bytes with their size
  // What the compiler asks of every text, noted once when it is read.
  bool has_title = false;       // holds "<title>" in any letter case
  std::string title;            // then GetBetween(text, "<title>", "</title>")
  bool has_dollar = false;      // holds "$"
  bool has_definition = false;  // holds "[var" in any letter case
};

// The file with its identity and its notes filled in.
std::shared_ptr<CachedFile> MakeCachedFile(std::string text, std::string disk_path,
                                           TimePoint modified);

// Time stamps of some file systems count whole seconds, or two; a clock tick
// passes between the time a file is given and the next.
inline constexpr std::chrono::seconds kSettleTime{2};

// True when a file of these times, read at `read_at`, cannot have changed
// since without new times: one changed just before it was read might,
// within the resolution of its time stamps.
bool Settled(TimePoint modified, TimePoint changed, TimePoint read_at);

// The hash of a file's bytes that CachedFile::hash holds.
std::uint64_t TextHash(std::string_view text);

// The same file whatever the spelling: "a/./b.inc" and "a/x/../b.inc" give
// "a/b.inc".
std::string FileIdentity(const std::string& disk_path);

// Entries are keyed by the file's path on disk (after the letter-case
// fallback and with "/" separators), so every spelling of one file shares
// one entry. An entry is used while the file keeps the modification time and
// size (and status change time) it had when it was read, and only once it
// had been left alone for kSettleTime when it was read; any change, or a file read too soon after
// its last change, makes the next check read the file afresh.
//
// Outside a build run every request checks the file on disk. Within a run
// (BeginRun .. EndRun) a file is checked at its first request only, so a
// file used by every page costs one status call per run; a file edited
// during a run is seen by the next run.
//
// The texts kept are bounded by a byte budget: past it, the entries used
// longest ago are dropped (and simply read again when next asked for), so
// templates read once per run do not pile up while the includes every page
// uses stay.
class clsCache {
 public:
  static constexpr std::size_t kDefaultByteBudget = std::size_t{64} << 20;

  explicit clsCache(Env& env, std::size_t byte_budget = kDefaultByteBudget)
      : env_(env), byte_budget_(byte_budget) {}
  clsCache(const clsCache&) = delete;
  clsCache& operator=(const clsCache&) = delete;

  // Empties the cache.
  void Init() { ClearCache(); }
  void ClearCache();

  void BeginRun();
  void EndRun();

  // The whole text of the file. A file that does not exist (or is a folder)
  // reads as "-1" and is not cached; one that cannot be read reads as the
  // empty text, with the failure logged under "ReadFileOrCache".
  std::string ReadFileOrCache(const std::string& name);
  // The same, except that a missing file reads as the empty text.
  std::string ReadTextOrEmpty(const std::string& name);

  // What the compiler needs: the outcome and the file (never copied here).
  struct Lookup {
    enum class Status { kFound, kMissing, kUnreadable };
    Status status = Status::kMissing;
    std::shared_ptr<const CachedFile> file;  // set when found
    std::string disk_path;                   // when not found: where it was looked for
    std::string error;                       // why the file could not be read
    FsError error_code = FsError::kNone;     // the same as a code
  };
  // With kOnce, a file not in the cache yet is read and handed out but not
  // kept: a page's own template is needed once per run, unlike the
  // includes that many pages share.
  enum class Keep { kYes, kOnce };
  Lookup Read(const std::string& name, Keep keep = Keep::kYes);

  std::size_t size() const { return entries_.size(); }
  // Bytes of the texts and paths held now; never above the budget except
  // when one file alone is larger.
  std::size_t bytes() const { return bytes_; }

 private:
  struct Entry {
    std::shared_ptr<const CachedFile> file;
    std::uint64_t checked_run = 0;            // the run in which the disk was last compared
    std::list<std::string>::iterator recent;  // its place in recent_
  };
  // Paths are looked up as they are given, without a string of their own.
  struct PathHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view path) const {
      return std::hash<std::string_view>{}(path);
    }
  };
  using Entries = std::unordered_map<std::string, Entry, PathHash, std::equal_to<>>;

  // The entry already checked in this run under the name `requested`, or
  // null.
  Entry* CheckedInThisRun(std::string_view requested);
  // Moves the entry to the front of the most recently used.
  void Touch(Entry& entry);
  void Erase(Entries::iterator entry);
  void Store(const std::string& disk_path, std::shared_ptr<const CachedFile> file);
  // The lookup of a file just read, which is stored unless kOnce.
  Lookup Found(std::string text, std::string disk_path, const FileInfo& info, TimePoint read_at,
               Keep keep);
  static std::size_t Weight(const CachedFile& file);
  std::string TextOf(const std::string& name, const char* missing);

  Env& env_;
  const std::size_t byte_budget_;
  Entries entries_;
  std::list<std::string> recent_;  // keys of entries_, most recently used first
  std::size_t bytes_ = 0;
  // Within a run: requested names that differ from their path on disk.
  std::unordered_map<std::string, std::string, PathHash, std::equal_to<>> spellings_;
  std::uint64_t run_ = 0;  // 0 outside a run
  std::uint64_t runs_begun_ = 0;
};

}  // namespace pagorin
