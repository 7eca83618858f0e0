#include "tools/replace_undo.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/clock.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/user_interface.h"
#include "tools/tool_files.h"

namespace pagorin {

namespace {

constexpr const char* kUndoFolder = "Replace undo/";
constexpr const char* kFileList = "files.txt";
constexpr std::string_view kTakenBack = " undone";

// Where the runs are kept: beside the project file (the site folder when no
// project file is named).
std::string UndoRoot(const Engine& engine) {
  const std::string beside =
      engine.ProjectFile.empty() ? GetProjectPath(engine) : PathOnly(engine.ProjectFile);
  return beside + kUndoFolder;
}

// What the run wrote, to tell whether a file changed since: FNV-1a over the
// bytes, with the length.
std::string Fingerprint(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%016" PRIx64 "-%zu", hash, bytes.size());
  return text;
}

std::string RunName(TimePoint when) {
  const LocalDateTime local = ToLocal(when);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d.%02d.%02d", local.year, local.month,
                local.day, local.hour, local.minute, local.second);
  return text;
}

// The newest run's folder name not yet taken back; empty when none.
std::string NewestRun(Env& env, const std::string& root) {
  std::vector<DirEntry> entries;
  std::string newest;
  if (env.fs.ListDirectory(root, &entries).ok()) {
    for (const DirEntry& entry : entries) {
      if (entry.is_directory && !entry.name.ends_with(kTakenBack) && entry.name > newest) {
        newest = entry.name;
      }
    }
  }
  return newest;
}

}  // namespace

ReplaceUndoRecord::ReplaceUndoRecord(Engine& engine) : engine_(engine) {}

ReplaceUndoRecord::~ReplaceUndoRecord() {
  if (list_ != nullptr) {
    list_->Close();
  }
}

bool ReplaceUndoRecord::Keep(const std::string& path, const std::string& old_text,
                             const std::string& new_text) {
  Env& env = engine_.env;
  FsStatus status;
  if (folder_.empty()) {
    FileSubs files(env);
    const std::string root = UndoRoot(engine_);
    const std::string name = RunName(env.clock.Now());
    std::string folder = root + name + "/";
    for (int n = 2; files.FolderExists(folder); ++n) {
      folder = root + name + " (" + std::to_string(n) + ")/";
    }
    files.MkMissingDir(folder);
    if (files.FolderExists(folder)) {
      folder_ = folder;  // the run's one folder, even when its list fails to open now
    }
  }
  if (list_ == nullptr) {
    status = folder_.empty()
                 ? FsStatus{FsError::kOther, "the folder for the old files could not be made"}
                 : env.fs.OpenOutput(folder_ + kFileList, FileSystem::OpenMode::kAppend, &list_);
    if (!status.ok()) {
      env.log.LogError(ErrorDescription(status), "KeepOldBytes", "frmReplace");
      return false;
    }
  }
  const std::string kept = folder_ + fileonly(path);
  if (!env.fs.Link(path, kept).ok()) {
    status = ReplaceFile(env.fs, kept, old_text);
  }
  if (status.ok()) {
    status = list_->Append(Fingerprint(new_text) + "\t" + path + "\n");
  }
  if (!status.ok()) {
    env.log.LogError(ErrorDescription(status), "KeepOldBytes", "frmReplace");
    return false;
  }
  return true;
}

bool UndoLastReplace(Engine& engine) {
  Env& env = engine.env;
  FileSubs files(env);
  const std::string root = UndoRoot(engine);
  const std::string run = NewestRun(env, root);
  if (run.empty()) {
    env.ui.ShowMessage("There is no search and replace run to take back.");
    return false;
  }
  const std::string folder = root + run + "/";
  const std::string list = files.LoadTextFile(folder + kFileList);
  int restored = 0;
  std::vector<std::string> refused;
  bool all_written = true;
  std::size_t line_start = 0;
  for (std::size_t end = list.find('\n'); end != std::string::npos;
       line_start = end + 1, end = list.find('\n', line_start)) {
    const std::string line = list.substr(line_start, end - line_start);
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      continue;
    }
    const std::string path = line.substr(tab + 1);
    std::string old_text;
    if (!env.fs.ReadFile(folder + fileonly(path), &old_text).ok()) {
      refused.push_back(path);
      continue;
    }
    std::string now;
    const bool present = env.fs.ReadFile(path, &now).ok();
    if (present && now == old_text) {
      continue;  // the run never came to write it, or it was put back by hand
    }
    if (!present || Fingerprint(now) != line.substr(0, tab)) {
      refused.push_back(path);
      continue;
    }
    if (RewriteToolFile(env, path, old_text, "UndoLastReplace", "frmReplace")) {
      ++restored;
    } else {
      all_written = false;
    }
  }
  if (!all_written) {
    // The run stays the newest one, so Undo can be pressed again; the files
    // already restored are passed over then.
    env.ui.ShowMessage("Took back the search and replace run of " + run + " only in part: " +
                       std::to_string(restored) + (restored == 1 ? " file" : " files") +
                       " restored. Press Undo again for the rest.");
    return false;
  }
  const FsStatus marked = env.fs.Rename(root + run, root + run + std::string(kTakenBack));
  if (!marked.ok()) {
    env.log.LogError(ErrorDescription(marked), "UndoLastReplace", "frmReplace");
  }
  if (!refused.empty()) {
    std::string names;
    for (const std::string& path : refused) {
      names += "\r\n" + path;
    }
    env.ui.ShowMessage("These files changed after the search and replace run of " + run +
                       ", so they were left as they are:" + names);
  }
  env.ui.ShowMessage("Took back the search and replace run of " + run + ": " +
                     std::to_string(restored) + (restored == 1 ? " file" : " files") +
                     " restored." +
                     (marked.ok() ? "" : " It could not be marked as taken back: " + folder));
  return marked.ok() && refused.empty();
}

}  // namespace pagorin
