#include "tools/search_replace.h"

#include <algorithm>

#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/user_interface.h"
#include "tools/replace_undo.h"
#include "tools/wildcard_replace.h"

namespace pagorin {

namespace {

constexpr std::size_t kListedNames = 26;

std::string ReplacedStatus(std::size_t count) {
  return "Replaced data in " + std::to_string(count) + " files";
}

// How one file's text is replaced: plainly, or around the wildcard.
struct Replacer {
  bool wildcard = false;
  WildcardParts parts;
  const ReplaceRequest* request = nullptr;

  std::string operator()(const std::string& text, int* matches) const {
    return wildcard ? ReplaceWildcard(text, parts, matches)
                    : ReplacePlain(text, request->search, request->replacement, matches);
  }
};

}  // namespace

std::string SearchSourcePath(const Engine& engine) {
  return engine.ProjectSettings.sGet("SearchSourcePath", GetProjectPath(engine) + "Includes/")
      .Text();
}

void StoreSearchSourcePath(Engine& engine, const std::string& folder) {
  engine.ProjectSettings.sSet("SearchSourcePath", folder);
}

ReplaceRun cmdGo(Engine& engine, const ReplaceRequest& request,
                 const std::function<void(const std::string&)>& status) {
  Env& env = engine.env;
  ReplaceRun run;
  Replacer replace;
  replace.request = &request;
  replace.wildcard = request.wildcard && (request.search.find('*') != std::string::npos ||
                                          request.replacement.find('*') != std::string::npos);
  if (replace.wildcard) {
    const std::string message = SplitWildcards(request.search, request.replacement, &replace.parts);
    if (!message.empty()) {
      env.ui.ShowMessage(message);
      run.refused = true;
      return run;
    }
  }

  FileSubs files(env);
  const std::string folder = addbackslash(files.Resolve(request.folder));
  std::vector<std::string> names;
  files.FillFiles(folder, "", &names);
  ReplaceUndoRecord undo(engine);
  for (const std::string& name : names) {
    const std::string path = folder + name;
    std::string text;
    FileInfo info;
    const FsStatus read = env.fs.ReadFileWithInfo(path, &text, &info);
    if (!read.ok()) {
      env.log.LogError(ErrorDescription(read), "cmdGo", "frmReplace");
      run.left_alone.push_back(name + " could not be read: " + read.message);
      continue;
    }
    int matches = 0;
    std::string changed = replace(text, &matches);
    if (changed == text) {
      continue;
    }
    if (text.find('\0') != std::string::npos) {
      run.left_alone.push_back(name + " is not a text file");
      continue;
    }
    if (!request.dry_run) {
      if (info.read_only) {
        run.left_alone.push_back(name + " is read only");
        continue;
      }
      if (!undo.Keep(path, text, changed)) {
        run.left_alone.push_back(name + ": its old text could not be kept for Undo");
        continue;
      }
      const FsStatus written = ReplaceFile(env.fs, path, changed);
      if (!written.ok()) {
        env.log.LogError(ErrorDescription(written), "cmdGo", "frmReplace");
        run.left_alone.push_back(name + " could not be written: " + written.message);
        continue;
      }
    }
    run.changed.push_back({name, matches});
    if (!request.dry_run) {
      status(ReplacedStatus(run.changed.size()));
    }
    env.ui.ProcessEvents();
  }
  if (!request.dry_run) {
    status(ReplacedStatus(run.changed.size()));
  }
  if (!run.left_alone.empty()) {
    std::string lines;
    for (const std::string& line : run.left_alone) {
      lines += "\r\n" + line;
    }
    env.ui.ShowMessage("These files were left as they were:" + lines);
  }
  return run;
}

std::string ChangedFileListText(const ReplaceRun* last_run) {
  if (last_run == nullptr) {
    return "None";
  }
  std::string text;
  const std::vector<ReplacedFile>& changed = last_run->changed;
  for (std::size_t i = 0; i < changed.size(); ++i) {
    text += changed[i].name + "\r\n";
    if (i + 1 == kListedNames && changed.size() > kListedNames) {
      text += " ... and " + std::to_string(changed.size() - kListedNames) + " more";
      break;
    }
  }
  return text;
}

std::string ChangedFileListMessage(const ReplaceRun* last_run) {
  return "Replaced data in these files: \r\n" + ChangedFileListText(last_run);
}

std::string PreviewText(const ReplaceRun& preview) {
  if (preview.changed.empty()) {
    return "No file would change.";
  }
  std::string text = std::to_string(preview.changed.size()) +
                     (preview.changed.size() == 1 ? " file would change:" : " files would change:");
  for (const ReplacedFile& file : preview.changed) {
    text += "\r\n" + file.name + ": " + std::to_string(file.matches) +
            (file.matches == 1 ? " match" : " matches");
  }
  return text;
}

}  // namespace pagorin
