// The one door through which the engine touches the disk.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pagorin {

using TimePoint = std::chrono::system_clock::time_point;

// Why a file operation failed. DiskFull and AccessDenied get their own
// handling (the settings store offers Retry on a full disk).
// kNotRegularFile: a device, pipe or socket, whose text is never read.
// kTooLarge: a file larger than kMaxFileBytes, which is never read whole.
enum class FsError {
  kNone,
  kNotFound,
  kAccessDenied,
  kDiskFull,
  kIsDirectory,
  kNotRegularFile,
  kTooLarge,
  kOther
};

// The largest file read whole into memory. Ten times the largest template
// the editor's benchmark colours (100 MB), and far beyond any page,
// include or news item; a larger file is no site's text (a disk image
// named by mistake, a log gone wild) and would take most of a desktop's
// memory. Files sent or copied in pieces have no such limit.
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

struct FsStatus {
  FsError code = FsError::kNone;
  std::string message;  // for the log: operation, path and the system's reason

  bool ok() const { return code == FsError::kNone; }
  static FsStatus Ok() { return {}; }
};

// The error number the log shows for a failure: 53 file not found, 70
// permission denied, 61 disk full, 7 out of memory (a file too large to
// read), 75 path/file access error; 0 for success.
int ErrorNumber(FsError code);
// The failure as the log records it: the message followed by "(" + number +
// ")", e.g. "open /a/b: No such file or directory(53)".
std::string ErrorDescription(const FsStatus& status);

// What a path names on disk. A path that does not exist gives exists == false
// and every other field at its default.
struct FileInfo {
  bool exists = false;
  bool is_directory = false;
  bool read_only = false;  // the owner may not write it
  std::uint64_t size = 0;
  TimePoint modified{};
  // When the file or its details last changed (the status change time),
  // which, unlike the modification time, no program can set back; the
  // default where the disk does not tell.
  TimePoint changed{};
};

struct DirEntry {
  std::string name;  // without folder
  bool is_directory = false;
};

// A file open for writing. Closing it (or destroying it) releases it; data is
// on disk only after a successful Close().
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual FsStatus Append(std::string_view data) = 0;
  // Flushes to stable storage (used before an atomic rename).
  virtual FsStatus Sync() = 0;
  virtual FsStatus Close() = 0;
};

// A file open for reading, front to back.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Replaces *data by the next bytes of the file, at most `max_bytes` of
  // them; an empty *data with an ok status means the end of the file.
  virtual FsStatus Read(std::size_t max_bytes, std::string* data) = 0;
};

// Interface for accessing the disk, abstract so that tests can count or fail
// any operation. The real implementation is RealFileSystem.
//
// Paths are byte strings; both "/" and "\" separate folders on input (the real
// implementation turns "\" into "/"). Nothing here logs or shows anything:
// callers decide what a failure means.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when calls may come from two threads at once; a build then writes
  // its pages on a thread of their own.
  virtual bool ThreadSafe() const { return false; }

  // The time a file changed now would be given, for telling whether a file
  // could have changed since it was read without its modification time
  // showing it (within the resolution of its time stamps).
  virtual TimePoint Now() const { return std::chrono::system_clock::now(); }

  virtual FileInfo Stat(const std::string& path) = 0;
  // True when the file at `path` is known not to have changed since `since`
  // (a time of Now()), so that its status stands for its bytes even when it
  // was written just before: a file system that watches its folders can
  // tell. The default knows nothing of the kind.
  virtual bool UnchangedSince(const std::string& path, TimePoint since) {
    (void)path;
    (void)since;
    return false;
  }
  // Reads the whole file into *contents (replaced). On failure *contents is
  // left empty; a file larger than kMaxFileBytes fails with kTooLarge.
  virtual FsStatus ReadFile(const std::string& path, std::string* contents) = 0;
  // The same, also telling what the file was when it was read (*info). On
  // failure *contents is empty and *info at its default. The default asks
  // Stat, then ReadFile when Stat found a file; the real disk needs no extra
  // call.
  virtual FsStatus ReadFileWithInfo(const std::string& path, std::string* contents, FileInfo* info);
  // Opens for reading in pieces. On failure *file is null. The default
  // reads the whole file at once; implementations may stream.
  virtual FsStatus OpenInput(const std::string& path, std::unique_ptr<InputFile>* file);
  // Opens for writing: kTruncate creates or empties the file, kAppend creates
  // it or writes after its end. On failure *file is null.
  enum class OpenMode { kTruncate, kAppend };
  virtual FsStatus OpenOutput(const std::string& path, OpenMode mode,
                              std::unique_ptr<OutputFile>* file) = 0;
  // Replaces `to` by `from` in one step (both in the same folder).
  virtual FsStatus Rename(const std::string& from, const std::string& to) = 0;
  virtual FsStatus Remove(const std::string& path) = 0;
  // Gives the file `from` the second name `to` (a hard link), so that it
  // stays on disk as it is when `from` is later replaced by a rename. The
  // default says this cannot be done; callers then copy instead.
  virtual FsStatus Link(const std::string& from, const std::string& to);
  // Creates one folder level; the parent must exist.
  virtual FsStatus MakeDirectory(const std::string& path) = 0;
  // Lists a folder's entries (not "." and ".."), in no particular order.
  virtual FsStatus ListDirectory(const std::string& path, std::vector<DirEntry>* entries) = 0;
  // The same, keeping only the entries `keep` accepts. The default lists
  // them all first; a file system that remembers listings copies only those
  // kept.
  virtual FsStatus ListDirectoryWhere(const std::string& path,
                                      const std::function<bool(const DirEntry&)>& keep,
                                      std::vector<DirEntry>* entries);
  virtual FsStatus SetReadOnly(const std::string& path, bool read_only) = 0;
  virtual FsStatus SetModified(const std::string& path, TimePoint when) = 0;
  // The folder on which the file system that holds `path` (or its nearest
  // existing folder) is mounted, for telling the person which disk is full;
  // empty when it cannot be told.
  virtual std::string MountPoint(const std::string& path) {
    (void)path;
    return {};
  }
};

// Writes `contents` to `path` in one go: open (truncating), append, close.
FsStatus WriteWholeFile(FileSystem& fs, const std::string& path, std::string_view contents);

// The name under which the next text of `path` is written before it replaces
// `path`: "." + file name + ".tmp" in the same folder. Always the same name,
// so a program that was killed while writing leaves at most one such file per
// file, which its next write of that file takes over.
std::string ReplacementName(const std::string& path);

// What a replacement does with a file that already holds exactly the new
// text: rewrites it all the same, or keeps it untouched (its bytes and its
// modification time), so that backups, sync tools and uploads see only the
// files that really changed.
enum class SameText { kRewrite, kKeep };

// Opens `path` for being replaced whole: the text goes to ReplacementName
// (path), and only a successful Close() renames it over `path`. Every failure,
// and a file destroyed before Close(), removes the temporary file and leaves
// `path` as it was; so no reader ever sees a file cut short. Nothing is
// flushed to stable storage: the rename is ordered after the data by the file
// systems in use, and a page lost to a power cut is rebuilt by the next build.
// On failure *file is null.
// With SameText::kKeep the text is held in memory until Close(), which
// compares it with the file on disk (sizes first, then bytes, one read) and
// writes only when they differ; a failure to write then shows at Close().
FsStatus OpenReplacement(FileSystem& fs, const std::string& path, std::unique_ptr<OutputFile>* file,
                         SameText same = SameText::kRewrite);

// Replaces `path` by `contents` as OpenReplacement does.
FsStatus ReplaceFile(FileSystem& fs, const std::string& path, std::string_view contents,
                     SameText same = SameText::kRewrite);

// Replaces `path` by `contents` so that a failure at any point leaves the old
// file as it was, and the new text is on stable storage before it takes the
// old one's place (for settings and projects, which nothing rebuilds): the
// text goes to ReplacementName (path), which is flushed and renamed over
// `path`. The temporary file never outlives a failure, and one left by a
// killed program is taken over by the next save.
FsStatus WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view contents);

}  // namespace pagorin
