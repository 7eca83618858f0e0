#include "shared/file_subs.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <utility>

#include "shared/log.h"
#include "shared/paths.h"
#include "shared/progress.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kModule = "FileSubs";
constexpr const char* kReadOnlyLine =
    " is read only, can't change it to read write, can't update it";
constexpr std::size_t kCopyBlock = 256000;
constexpr std::uint64_t kCopyReportEvery = 1500000;
constexpr int kEntriesBetweenEvents = 50;

// "C:", "C:\" or "C:\x": a Windows drive, which no path here can reach.
bool IsDrivePath(std::string_view path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path.size() == 2 || path[2] == '/' || path[2] == '\\');
}

bool HasWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string::npos;
}

}  // namespace

// Backtracks only to the last "*", so the cost stays linear in practice and
// never worse than name length times pattern length.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") {
    return true;
  }
  std::size_t n = 0, p = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || ToLowerAscii(pattern[p]) == ToLowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') {
    ++p;
  }
  return p == pattern.size();
}

namespace {

// Sorts names ignoring ASCII letter case, as Windows listed them; names
// equal but for case in byte order, so a listing never depends on the
// disk's order. The names are compared folded as they stand: a folded copy
// of each would cost an allocation per name.
void SortByName(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
      const auto x = static_cast<unsigned char>(ToLowerAscii(a[i]));
      const auto y = static_cast<unsigned char>(ToLowerAscii(b[i]));
      if (x != y) {
        return x < y;
      }
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
}

// Closes a file that was written to; the first failure of the two counts.
FsStatus CloseAfter(OutputFile& file, FsStatus written) {
  FsStatus closed = file.Close();
  return written.ok() ? closed : written;
}

// The path without one trailing separator ("/" itself stays).
std::string WithoutTrailingSeparator(std::string path) {
  if (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

}  // namespace

bool FileSubs::Succeeded(const FsStatus& status, const char* procedure) const {
  if (!status.ok()) {
    env_.log.LogError(ErrorDescription(status), procedure, kModule);
  }
  return status.ok();
}

std::optional<FileSubs::Found> FileSubs::FindInFolder(const std::string& parent,
                                                      const std::string& name) const {
  const std::string exact = parent + name;
  FileInfo info = env_.fs.Stat(exact);
  if (info.exists || name == "." || name == "..") {
    return info.exists ? std::optional<Found>(Found{exact, info}) : std::nullopt;
  }
  std::vector<DirEntry> entries;
  if (!env_.fs.ListDirectory(parent, &entries).ok()) {
    return std::nullopt;
  }
  const DirEntry* match = nullptr;
  for (const DirEntry& entry : entries) {
    if (EqualsNoCase(entry.name, name)) {
      if (match != nullptr) {
        return std::nullopt;  // two candidates: neither is meant more than the other
      }
      match = &entry;
    }
  }
  if (match == nullptr) {
    return std::nullopt;
  }
  const std::string found = parent + match->name;
  info = env_.fs.Stat(found);
  return info.exists ? std::optional<Found>(Found{found, info}) : std::nullopt;
}

std::optional<FileSubs::Found> FileSubs::Find(const std::string& path) const {
  const std::string wanted = ToForwardSlashes(path);
  if (wanted.empty() || IsDrivePath(wanted)) {
    return std::nullopt;
  }
  FileInfo info = env_.fs.Stat(wanted);
  if (info.exists) {
    return Found{wanted, info};
  }
  // Walk down level by level; only a level that is missing costs a listing.
  std::string prefix = wanted.front() == '/' ? "/" : "";
  std::optional<Found> found;
  std::size_t start = 0;
  while (start <= wanted.size()) {
    std::size_t end = wanted.find('/', start);
    if (end == std::string::npos) {
      end = wanted.size();
    }
    const std::string piece = wanted.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) {
      continue;
    }
    found = FindInFolder(prefix, piece);
    if (!found) {
      return std::nullopt;
    }
    prefix = found->path + "/";
  }
  if (found && wanted.back() == '/') {
    found->path += "/";
  }
  return found;
}

std::string FileSubs::Resolve(const std::string& path) const {
  if (std::optional<Found> found = Find(path)) {
    return found->path;
  }
  // A new file in an existing folder takes the folder's spelling on disk.
  const std::string wanted = ToForwardSlashes(path);
  const std::size_t slash = wanted.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && slash + 1 < wanted.size()) {
    if (std::optional<Found> folder = Find(wanted.substr(0, slash))) {
      if (folder->info.is_directory) {
        return addbackslash(folder->path) + wanted.substr(slash + 1);
      }
    }
  }
  return wanted;
}

bool FileSubs::AnyFileMatches(const std::string& pattern_path) const {
  const std::string name = fileonly(pattern_path);
  const std::string folder = PathOnly(pattern_path);
  std::optional<Found> found = Find(folder);
  if (!found || !found->info.is_directory) {
    return false;
  }
  std::vector<DirEntry> entries;
  if (!env_.fs.ListDirectory(found->path, &entries).ok()) {
    return false;
  }
  return std::any_of(entries.begin(), entries.end(), [&name](const DirEntry& entry) {
    return !entry.is_directory && WildcardMatch(entry.name, name);
  });
}

bool FileSubs::FileExists(const std::string& path) const {
  if (HasWildcard(fileonly(path))) {
    return AnyFileMatches(path);
  }
  std::optional<Found> found = Find(path);
  return found && !found->info.is_directory;
}

bool FileSubs::FolderExists(const std::string& path) const {
  std::optional<Found> found = Find(WithoutTrailingSeparator(ToForwardSlashes(path)));
  return found && found->info.is_directory;
}

bool FileSubs::isReadOnly(const std::string& path) const {
  std::optional<Found> found = Find(path);
  return found && found->info.read_only;
}

bool FileSubs::MakeReadWrite(const std::string& path) const {
  std::optional<Found> found = Find(path);
  if (!found || found->info.is_directory) {
    return false;
  }
  return Succeeded(env_.fs.SetReadOnly(found->path, false), "MakeReadWrite");
}

TimePoint FileSubs::FileDate(const std::string& path) const {
  std::optional<Found> found = Find(path);
  return found ? found->info.modified : TimePoint{};
}

bool FileSubs::SetFileDate(const std::string& path, TimePoint when) const {
  std::optional<Found> found = Find(path);
  if (!found || found->info.is_directory) {
    return false;
  }
  return Succeeded(env_.fs.SetModified(found->path, when), "SetFileDate");
}

std::string FileSubs::LoadTextFile(const std::string& path, bool* readable) const {
  if (readable != nullptr) {
    *readable = true;
  }
  std::optional<Found> found = Find(path);
  if (!found || found->info.is_directory) {
    return {};
  }
  std::string text;
  if (!Succeeded(env_.fs.ReadFile(found->path, &text), "LoadTextFile")) {
    if (readable != nullptr) {
      *readable = false;
    }
    return {};
  }
  return text;
}

bool FileSubs::WriteTextFile(const std::string& path, const std::string& text,
                             SameText same) const {
  const std::string target = Resolve(path);
  if (IsBlockedReadOnly(target)) {
    env_.log.LogEvent(path + kReadOnlyLine);
    return false;
  }
  return Succeeded(ReplaceFile(env_.fs, target, text, same), "WriteTextFile");
}

// True when the file exists, is read-only and stays so.
bool FileSubs::IsBlockedReadOnly(const std::string& resolved_path) const {
  FileInfo info = env_.fs.Stat(resolved_path);
  return info.exists && !info.is_directory && info.read_only && !MakeReadWrite(resolved_path);
}

std::unique_ptr<OutputFile> FileSubs::createoutputfile(const std::string& path) const {
  const std::string target = Resolve(path);
  if (IsBlockedReadOnly(target)) {
    env_.log.LogEvent(path + kReadOnlyLine);
    return nullptr;
  }
  std::unique_ptr<OutputFile> file;
  Succeeded(env_.fs.OpenOutput(target, FileSystem::OpenMode::kTruncate, &file), "createoutputfile");
  return file;
}

std::unique_ptr<OutputFile> FileSubs::createappendfile(const std::string& path) const {
  std::optional<Found> found = Find(path);
  if (!found || found->info.is_directory) {
    return createoutputfile(path);
  }
  if (IsBlockedReadOnly(found->path)) {
    env_.log.LogEvent(path + kReadOnlyLine);
    return nullptr;
  }
  std::unique_ptr<OutputFile> file;
  Succeeded(env_.fs.OpenOutput(found->path, FileSystem::OpenMode::kAppend, &file),
            "createappendfile");
  return file;
}

void FileSubs::EraseFile(const std::string& path) const {
  std::optional<Found> found = Find(path);
  if (!found || found->info.is_directory) {
    return;
  }
  if (found->info.read_only) {
    MakeReadWrite(found->path);
  }
  Succeeded(env_.fs.Remove(found->path), "EraseFile");
}

void FileSubs::MkMissingDir(const std::string& path) const {
  const std::string wanted = ToForwardSlashes(std::string(TrimView(path)));
  if (wanted.empty() || IsDrivePath(wanted) || FolderExists(wanted)) {
    return;
  }
  std::string prefix = wanted.front() == '/' ? "/" : "";
  std::size_t start = 0;
  while (start < wanted.size()) {
    std::size_t end = std::min(wanted.find('/', start), wanted.size());
    const std::string piece = wanted.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) {
      continue;
    }
    std::optional<Found> level = FindInFolder(prefix, piece);
    if (level && level->info.is_directory) {
      prefix = level->path + "/";
      continue;
    }
    if (!Succeeded(env_.fs.MakeDirectory(prefix + piece), "MkMissingDir")) {
      return;
    }
    prefix += piece + "/";
  }
}

bool FileSubs::copyfile(const std::string& source, const std::string& target,
                        std::optional<StatusStrip> progress) const {
  std::string destination = target;
  if (!destination.empty() && fileonly(destination).empty()) {
    destination = addbackslash(destination) + fileonly(source);
  }
  std::optional<Found> from = Find(source);
  if (!from || from->info.is_directory) {
    env_.log.LogEvent(source + " doesn't exist, can't copy it");
    return false;
  }
  const std::string to = Resolve(destination);
  if (IsBlockedReadOnly(to)) {
    env_.log.LogEvent(destination + kReadOnlyLine);
    return false;
  }
  if (!CopyBlocks(from->path, to, progress)) {
    return false;
  }
  return SetFileDate(to, from->info.modified);
}

bool FileSubs::CopyBlocks(const std::string& source, const std::string& target,
                          std::optional<StatusStrip> progress) const {
  // The source is opened before the target is erased, so a copy onto itself
  // still reads the old bytes instead of losing them.
  std::unique_ptr<InputFile> in;
  if (!Succeeded(env_.fs.OpenInput(source, &in), "copyfile")) {
    return false;
  }
  const std::uint64_t total = env_.fs.Stat(source).size;
  EraseFile(target);
  std::unique_ptr<OutputFile> out;
  FsStatus status = env_.fs.OpenOutput(target, FileSystem::OpenMode::kTruncate, &out);
  std::uint64_t copied = 0;
  std::uint64_t since_report = 0;
  std::string block;
  while (status.ok()) {
    status = in->Read(kCopyBlock, &block);
    if (!status.ok() || block.empty()) {
      break;
    }
    status = out->Append(block);
    copied += block.size();
    since_report += block.size();
    if (since_report >= kCopyReportEvery) {
      if (progress) {
        env_.progress.showprogressstring(*progress, static_cast<double>(copied),
                                         static_cast<double>(total), source);
      }
      env_.ui.ProcessEvents();
      since_report = 0;
    }
  }
  if (out) {
    status = CloseAfter(*out, status);
  }
  return Succeeded(status, "copyfile");
}

bool FileSubs::RunFile(const std::string& path) const {
  if (!env_.ui.OpenDocument(Resolve(path))) {
    env_.log.LogError("Can't open " + path + " with its associated program(31)", "RunFile",
                      kModule);
    return false;
  }
  return true;
}

bool FileSubs::FillFiles(const std::string& folder, const std::string& extensions,
                         std::vector<std::string>* names) const {
  std::vector<std::string> taken;
  const bool listed = ListFiles(folder, extensions, &taken);
  SortByName(taken);
  names->insert(names->end(), std::make_move_iterator(taken.begin()),
                std::make_move_iterator(taken.end()));
  return listed;
}

bool FileSubs::ListFiles(const std::string& folder, const std::string& extensions,
                         std::vector<std::string>* names,
                         const std::function<bool(std::string_view name)>& keep) const {
  std::optional<Found> found = Find(WithoutTrailingSeparator(ToForwardSlashes(folder)));
  // The extension only has to occur somewhere in the list.
  const auto wanted = [&extensions, &keep](const DirEntry& entry) {
    if (entry.is_directory) {
      return false;
    }
    if (!extensions.empty()) {
      const std::size_t dot = entry.name.rfind('.');
      if (dot == std::string::npos ||
          FindNoCase(extensions, std::string_view(entry.name).substr(dot + 1)) ==
              std::string_view::npos) {
        return false;
      }
    }
    return !keep || keep(entry.name);
  };
  std::vector<DirEntry> entries;
  if (!found || !found->info.is_directory ||
      !env_.fs.ListDirectoryWhere(found->path, wanted, &entries).ok()) {
    env_.ui.ProcessEvents();
    return false;
  }
  int seen = 0;
  for (DirEntry& entry : entries) {
    if (++seen % kEntriesBetweenEvents == 0) {
      env_.ui.ProcessEvents();
    }
    names->push_back(std::move(entry.name));
  }
  env_.ui.ProcessEvents();
  return true;
}

}  // namespace pagorin
