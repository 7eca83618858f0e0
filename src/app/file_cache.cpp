#include "app/file_cache.h"

#include <utility>

#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"

namespace pagorin {

clsCache::Lookup clsCache::Read(const std::string& name) {
  Lookup lookup;
  // The operating system reads a name only up to its first NUL.
  const std::string usable = name.substr(0, name.find('\0'));
  lookup.disk_path = ToForwardSlashes(usable);
  FileInfo info = env_.fs.Stat(lookup.disk_path);
  if (!info.exists) {
    lookup.disk_path = FileSubs(env_).Resolve(usable);
    info = env_.fs.Stat(lookup.disk_path);
  }
  if (!info.exists || info.is_directory) {
    entries_.erase(lookup.disk_path);
    return lookup;
  }
  lookup.modified = info.modified;
  auto cached = entries_.find(lookup.disk_path);
  if (cached != entries_.end() && cached->second.modified == info.modified &&
      cached->second.size == info.size) {
    lookup.status = Lookup::Status::kFound;
    lookup.text = cached->second.text;
    return lookup;
  }
  std::string text;
  const FsStatus status = env_.fs.ReadFile(lookup.disk_path, &text);
  if (!status.ok()) {
    if (cached != entries_.end()) {
      entries_.erase(cached);
    }
    lookup.status = Lookup::Status::kUnreadable;
    lookup.error = status.message;
    return lookup;
  }
  auto shared = std::make_shared<const std::string>(std::move(text));
  entries_.insert_or_assign(lookup.disk_path, Entry{shared, info.modified, info.size});
  lookup.status = Lookup::Status::kFound;
  lookup.text = std::move(shared);
  return lookup;
}

std::string clsCache::ReadFileOrCache(const std::string& name) {
  Lookup lookup = Read(name);
  switch (lookup.status) {
    case Lookup::Status::kFound:
      return *lookup.text;
    case Lookup::Status::kMissing:
      return "-1";
    case Lookup::Status::kUnreadable:
      env_.log.LogError(lookup.error + "(75)", "ReadFileOrCache", "clsCache");
      return "";
  }
  return "";
}

}  // namespace pagorin
