#include "app/file_cache.h"

#include <filesystem>
#include <utility>

#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"

namespace pagorin {

namespace {

// Room for the bookkeeping of one entry beside its texts.
constexpr std::size_t kEntryOverhead = 256;

}  // namespace

std::string FileIdentity(const std::string& disk_path) {
  return std::filesystem::path(disk_path).lexically_normal().string();
}

void clsCache::ClearCache() {
  entries_.clear();
  recent_.clear();
  spellings_.clear();
  bytes_ = 0;
}

void clsCache::BeginRun() {
  spellings_.clear();
  run_ = ++runs_begun_;
}

void clsCache::EndRun() {
  spellings_.clear();
  run_ = 0;
}

std::size_t clsCache::Weight(const CachedFile& file) {
  return file.text.size() + 3 * file.disk_path.size() + kEntryOverhead;
}

void clsCache::Touch(Entry& entry) {
  recent_.splice(recent_.begin(), recent_, entry.recent);
}

void clsCache::Erase(Entries::iterator entry) {
  bytes_ -= Weight(*entry->second.file);
  recent_.erase(entry->second.recent);
  entries_.erase(entry);
}

void clsCache::Store(const std::string& disk_path, std::shared_ptr<const CachedFile> file,
                     std::uint64_t size) {
  if (auto old = entries_.find(disk_path); old != entries_.end()) {
    Erase(old);
  }
  bytes_ += Weight(*file);
  recent_.push_front(disk_path);
  entries_.emplace(disk_path, Entry{std::move(file), size, run_, recent_.begin()});
  // The entry just stored stays even when it alone is over the budget: the
  // page being built needs it now.
  while (bytes_ > byte_budget_ && recent_.size() > 1) {
    Erase(entries_.find(recent_.back()));
  }
}

clsCache::Lookup clsCache::Read(const std::string& name) {
  Lookup lookup;
  // The operating system reads a name only up to its first NUL.
  const std::string usable = name.substr(0, name.find('\0'));
  const std::string requested = ToForwardSlashes(usable);
  if (run_ != 0) {
    auto spelling = spellings_.find(requested);
    auto known = entries_.find(spelling == spellings_.end() ? requested : spelling->second);
    if (known != entries_.end() && known->second.checked_run == run_) {
      Touch(known->second);
      lookup.status = Lookup::Status::kFound;
      lookup.file = known->second.file;
      lookup.disk_path = lookup.file->disk_path;
      return lookup;
    }
  }
  lookup.disk_path = requested;
  FileInfo info = env_.fs.Stat(lookup.disk_path);
  if (!info.exists) {
    lookup.disk_path = FileSubs(env_).Resolve(usable);
    info = env_.fs.Stat(lookup.disk_path);
  }
  if (!info.exists || info.is_directory) {
    if (auto stale = entries_.find(lookup.disk_path); stale != entries_.end()) {
      Erase(stale);
    }
    return lookup;
  }
  if (run_ != 0 && lookup.disk_path != requested) {
    spellings_.insert_or_assign(requested, lookup.disk_path);
  }
  auto cached = entries_.find(lookup.disk_path);
  const bool checked = cached != entries_.end() && run_ != 0 && cached->second.checked_run == run_;
  if (checked || (cached != entries_.end() && cached->second.file->modified == info.modified &&
                  cached->second.size == info.size)) {
    cached->second.checked_run = run_;
    Touch(cached->second);
    lookup.status = Lookup::Status::kFound;
    lookup.file = cached->second.file;
    return lookup;
  }
  auto file = std::make_shared<CachedFile>();
  const FsStatus status = env_.fs.ReadFile(lookup.disk_path, &file->text);
  if (!status.ok()) {
    if (cached != entries_.end()) {
      Erase(cached);
    }
    lookup.status = Lookup::Status::kUnreadable;
    lookup.error = status.message;
    return lookup;
  }
  file->disk_path = lookup.disk_path;
  file->identity = FileIdentity(lookup.disk_path);
  file->modified = info.modified;
  lookup.status = Lookup::Status::kFound;
  lookup.file = file;
  Store(lookup.disk_path, std::move(file), info.size);
  return lookup;
}

std::string clsCache::ReadFileOrCache(const std::string& name) {
  Lookup lookup = Read(name);
  switch (lookup.status) {
    case Lookup::Status::kFound:
      return lookup.file->text;
    case Lookup::Status::kMissing:
      return "-1";
    case Lookup::Status::kUnreadable:
      env_.log.LogError(lookup.error + "(75)", "ReadFileOrCache", "clsCache");
      return "";
  }
  return "";
}

}  // namespace pagorin
