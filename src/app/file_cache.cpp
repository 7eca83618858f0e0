#include "app/file_cache.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/template_markup.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/text.h"

namespace pagorin {

namespace {

// Room for the bookkeeping of one entry beside its texts.
constexpr std::size_t kEntryOverhead = 256;

}  // namespace

std::shared_ptr<CachedFile> MakeCachedFile(std::string text, std::string disk_path,
                                           TimePoint modified) {
  auto file = std::make_shared<CachedFile>();
  file->text = std::move(text);
  file->identity = FileIdentity(disk_path);
  file->disk_path = std::move(disk_path);
  file->modified = modified;
  file->size = file->text.size();
  file->hash = TextHash(file->text);
  file->has_title = ContainsText(file->text, "<TITLE>");
  if (file->has_title) {
    file->title = GetBetween(file->text, "<title>", "</title>");
  }
  file->has_dollar = file->text.find('$') != std::string::npos;
  file->has_definition = ContainsText(file->text, "[var");
  return file;
}

bool Settled(TimePoint modified, TimePoint changed, TimePoint read_at) {
  return std::max(modified, changed) + kSettleTime <= read_at;
}

std::uint64_t TextHash(std::string_view text) {
  return std::hash<std::string_view>{}(text);
}

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

void clsCache::Store(const std::string& disk_path, std::shared_ptr<const CachedFile> file) {
  if (auto old = entries_.find(disk_path); old != entries_.end()) {
    Erase(old);
  }
  bytes_ += Weight(*file);
  recent_.push_front(disk_path);
  entries_.emplace(disk_path, Entry{std::move(file), run_, recent_.begin()});
  // The entry just stored stays even when it alone is over the budget: the
  // page being built needs it now.
  while (bytes_ > byte_budget_ && recent_.size() > 1) {
    Erase(entries_.find(recent_.back()));
  }
}

clsCache::Entry* clsCache::CheckedInThisRun(std::string_view requested) {
  auto known = entries_.find(requested);
  if (known == entries_.end()) {
    auto spelling = spellings_.find(requested);
    if (spelling == spellings_.end()) {
      return nullptr;
    }
    known = entries_.find(spelling->second);
  }
  return known != entries_.end() && known->second.checked_run == run_ ? &known->second : nullptr;
}

clsCache::Lookup clsCache::Read(const std::string& name, Keep keep) {
  Lookup lookup;
  // The operating system reads a name only up to its first NUL.
  const std::string_view usable = std::string_view(name).substr(0, name.find('\0'));
  if (run_ != 0 && usable.find('\\') == std::string_view::npos) {
    if (Entry* known = CheckedInThisRun(usable)) {
      Touch(*known);
      lookup.status = Lookup::Status::kFound;
      lookup.file = known->file;
      return lookup;
    }
  }
  const std::string requested = ToForwardSlashes(usable);
  lookup.disk_path = requested;
  FileInfo info;
  // Before the file is looked at: a change after this shows in its time.
  const TimePoint read_at = env_.fs.Now();
  if (entries_.find(requested) == entries_.end()) {
    // Nothing to compare with: read it at once, its details with it.
    std::string text;
    const FsStatus status = env_.fs.ReadFileWithInfo(requested, &text, &info);
    if (status.ok()) {
      return Found(std::move(text), std::move(lookup.disk_path), info, read_at, keep);
    }
    if (status.code != FsError::kNotFound && status.code != FsError::kIsDirectory) {
      lookup.status = Lookup::Status::kUnreadable;
      lookup.error = status.message;
      lookup.error_code = status.code;
      return lookup;
    }
  }
  info = env_.fs.Stat(lookup.disk_path);
  if (!info.exists) {
    lookup.disk_path = FileSubs(env_).Resolve(std::string(usable));
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
  if (checked ||
      (cached != entries_.end() && cached->second.file->modified == info.modified &&
       cached->second.file->size == info.size && cached->second.file->changed == info.changed &&
       Settled(info.modified, info.changed, cached->second.file->read_at))) {
    cached->second.checked_run = run_;
    Touch(cached->second);
    lookup.status = Lookup::Status::kFound;
    lookup.file = cached->second.file;
    lookup.disk_path.clear();
    return lookup;
  }
  std::string text;
  const FsStatus status = env_.fs.ReadFile(lookup.disk_path, &text);
  if (!status.ok()) {
    if (cached != entries_.end()) {
      Erase(cached);
    }
    lookup.status = Lookup::Status::kUnreadable;
    lookup.error = status.message;
    lookup.error_code = status.code;
    return lookup;
  }
  return Found(std::move(text), std::move(lookup.disk_path), info, read_at, keep);
}

clsCache::Lookup clsCache::Found(std::string text, std::string disk_path, const FileInfo& info,
                                 TimePoint read_at, Keep keep) {
  Lookup lookup;
  lookup.status = Lookup::Status::kFound;
  std::shared_ptr<CachedFile> file =
      MakeCachedFile(std::move(text), std::move(disk_path), info.modified);
  file->size = info.size;
  file->changed = info.changed;
  file->read_at = read_at;
  lookup.file = file;
  if (keep == Keep::kYes) {
    Store(lookup.file->disk_path, lookup.file);
  }
  return lookup;
}

std::string clsCache::ReadFileOrCache(const std::string& name) {
  return TextOf(name, "-1");
}

std::string clsCache::ReadTextOrEmpty(const std::string& name) {
  return TextOf(name, "");
}

std::string clsCache::TextOf(const std::string& name, const char* missing) {
  Lookup lookup = Read(name);
  switch (lookup.status) {
    case Lookup::Status::kFound:
      return lookup.file->text;
    case Lookup::Status::kMissing:
      return missing;
    case Lookup::Status::kUnreadable:
      env_.log.LogError(lookup.error + "(75)", "ReadFileOrCache", "clsCache");
      return "";
  }
  return "";
}

}  // namespace pagorin
