// File helpers on top of the FileSystem: the whole-file, folder and listing
// operations the rest of the engine uses.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/env.h"
#include "shared/file_system.h"
#include "shared/user_interface.h"

namespace pagorin {

// True when `name` matches `pattern`: "*" matches any run of bytes, "?" any
// one byte, ASCII letter case is ignored, and "*.*" matches every name.
bool WildcardMatch(std::string_view name, std::string_view pattern);

// None of these functions throws: a failure is logged (LogError under the
// function's name and the module "FileSubs") and the function returns its
// empty result (false, empty text, null file or the zero time).
//
// Every path may use either separator. When a file or folder does not exist
// under its exact name, the one entry of its folder whose name differs only
// in letter case is used instead, if there is exactly one.
class FileSubs {
 public:
  explicit FileSubs(Env& env) : env_(env) {}

  // The path as it exists on disk (letter-case fallback applied, "/" only);
  // the path with "/" when nothing matches.
  std::string Resolve(const std::string& path) const;

  // False for folders. "*" and "?" in the file name match any file of the
  // folder ("*.*" every one), letter case ignored.
  bool FileExists(const std::string& path) const;
  // False for a Windows drive path ("C:", "C:\x"): none exists here.
  bool FolderExists(const std::string& path) const;
  bool isReadOnly(const std::string& path) const;
  bool MakeReadWrite(const std::string& path) const;
  TimePoint FileDate(const std::string& path) const;  // zero time when missing
  bool SetFileDate(const std::string& path, TimePoint when) const;

  // The whole file; empty when it does not exist or cannot be read (logged;
  // then `*readable`, when given, is set to false, else to true).
  std::string LoadTextFile(const std::string& path, bool* readable = nullptr) const;
  // Replaces the file by exactly `text` (no line end added), whole or not at
  // all (ReplaceFile); false when it failed. A read-only file is made
  // writable first, as by createoutputfile. `same` tells what becomes of a
  // file that already holds `text`.
  bool WriteTextFile(const std::string& path, const std::string& text,
                     SameText same = SameText::kRewrite) const;
  // Opens for writing, truncating; a read-only file is made writable first,
  // and when that fails the line "<path> is read only, can't change it to
  // read write, can't update it" is logged and null returned.
  std::unique_ptr<OutputFile> createoutputfile(const std::string& path) const;
  std::unique_ptr<OutputFile> createappendfile(const std::string& path) const;
  void EraseFile(const std::string& path) const;
  // Creates every missing folder level of `path`, from the root (or the
  // working folder) down; an empty path or a drive path does nothing.
  void MkMissingDir(const std::string& path) const;
  // Copies `source` to `target` (a target ending in a separator names a
  // folder), giving the copy the source's modification time. `progress`
  // names the status strip for the copy's progress, or none. A missing
  // source logs "<source> doesn't exist, can't copy it"; a target that
  // stays read-only logs the read-only line above; both return false.
  bool copyfile(const std::string& source, const std::string& target,
                std::optional<StatusStrip> progress = std::nullopt) const;
  // Opens the file with its associated program; a failure to start that
  // program is logged and gives false.
  bool RunFile(const std::string& path) const;
  // Appends to *names the files (not folders) of `folder` whose extension
  // occurs in `extensions` (letter case ignored; empty takes every file),
  // sorted by name ignoring letter case. False when the folder is not there
  // or cannot be listed.
  bool FillFiles(const std::string& folder, const std::string& extensions,
                 std::vector<std::string>* names) const;
  // The same in the folder's own order, for callers that sort afterwards;
  // when `keep` is given, only the names it keeps (it is asked about every
  // file whose extension occurs in `extensions`, so a large folder costs no
  // copy of names the caller would drop).
  bool ListFiles(const std::string& folder, const std::string& extensions,
                 std::vector<std::string>* names,
                 const std::function<bool(std::string_view name)>& keep = {}) const;

 private:
  struct Found {
    std::string path;  // as it exists on disk, "/" only
    FileInfo info;
  };
  // The entry `path` names, with the letter-case fallback; nullopt when there
  // is none (or more than one candidate).
  std::optional<Found> Find(const std::string& path) const;
  // The entry `name` of the folder `parent` ("" for the working folder, else
  // ending in "/").
  std::optional<Found> FindInFolder(const std::string& parent, const std::string& name) const;
  bool AnyFileMatches(const std::string& pattern_path) const;
  bool IsBlockedReadOnly(const std::string& resolved_path) const;
  // True for success; a failure is logged under `procedure`.
  bool Succeeded(const FsStatus& status, const char* procedure) const;
  bool CopyBlocks(const std::string& source, const std::string& target,
                  std::optional<StatusStrip> progress) const;

  Env& env_;
};

}  // namespace pagorin
