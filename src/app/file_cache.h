// clsCache: the text of every template and include read so far, so that a
// file used by many pages is read from disk once per change.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "shared/env.h"
#include "shared/file_system.h"

namespace pagorin {

// Entries are keyed by the file's path on disk (after the letter-case
// fallback and with "/" separators), so every spelling of one file shares
// one entry and finding it costs one hash lookup. An entry is used while the
// file keeps the modification time and size it had when it was read; any
// change makes the next request read the file afresh.
class clsCache {
 public:
  explicit clsCache(Env& env) : env_(env) {}
  clsCache(const clsCache&) = delete;
  clsCache& operator=(const clsCache&) = delete;

  // Empties the cache.
  void Init() { ClearCache(); }
  void ClearCache() { entries_.clear(); }

  // The whole text of the file. A file that does not exist (or is a folder)
  // reads as "-1" and is not cached; one that cannot be read reads as the
  // empty text, with the failure logged under "ReadFileOrCache".
  std::string ReadFileOrCache(const std::string& name);

  // What the compiler needs: the outcome, the shared text (never copied
  // here) and the file's details.
  struct Lookup {
    enum class Status { kFound, kMissing, kUnreadable };
    Status status = Status::kMissing;
    std::shared_ptr<const std::string> text;  // set when found
    std::string disk_path;                    // the path as it exists on disk, "/" separators
    TimePoint modified{};
    std::string error;  // why the file could not be read
  };
  Lookup Read(const std::string& name);

  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::shared_ptr<const std::string> text;
    TimePoint modified;
    std::uint64_t size;
  };

  Env& env_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace pagorin
