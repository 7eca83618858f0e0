#include "tools/copy_renumber.h"

#include <string>

#include "app/engine.h"
#include "app/project_paths.h"
#include "shared/file_subs.h"
#include "shared/text.h"
#include "tools/tool_files.h"

namespace pagorin {

namespace {

constexpr const char* kMarker = "@@@";

// Writes the copies of the file `name` of `folder`; false when one failed.
bool CopyNumbered(Env& env, const std::string& folder, const std::string& name) {
  FileSubs files(env);
  const std::string pattern = files.LoadTextFile(folder + name);
  bool all_written = true;
  for (int n = kFirstCopy; n <= kLastCopy; ++n) {
    const std::string number = std::to_string(n);
    const std::string copy = files.Resolve(folder + ReplaceAll(name, kMarker, number, true));
    const std::string text = ReplaceAll(pattern, kMarker, number, true);
    FileInfo info = env.fs.Stat(copy);
    if (info.exists && info.size == text.size()) {
      std::string old;
      if (env.fs.ReadFile(copy, &old).ok() && old == text) {
        continue;
      }
    }
    all_written = RewriteToolFile(env, copy, text, "cmdCopyRenum", "frmMain") && all_written;
  }
  return all_written;
}

}  // namespace

CopyRenumOutcome cmdCopyRenum(Engine& engine) {
  Env& env = engine.env;
  FileSubs files(env);
  const std::string folder = GetProjectPath(engine);
  if (!files.FileExists(folder + "@@@.template")) {
    env.ui.ShowMessage("You need to create a file called @@@.template and place it in " + folder,
                       Buttons::kOk, "", Icon::kExclamation);
    return CopyRenumOutcome::kNoPattern;
  }
  const std::string question = "Copies @@@.template to files from '" + std::to_string(kFirstCopy) +
                               ".template' up to '" + std::to_string(kLastCopy) +
                               ".template', and replaces any '@@@' in the files with the same "
                               "number. Go ahead?";
  if (env.ui.ShowMessage(question, Buttons::kYesNo) != Answer::kYes) {
    return CopyRenumOutcome::kDeclined;
  }
  if (!CopyNumbered(env, folder, "@@@.template")) {
    return CopyRenumOutcome::kWriteFailed;
  }
  const std::string include = folder + "content_@@@.inc";
  if (!files.FileExists(include)) {
    env.ui.ShowMessage("I can't see " + include);
    return CopyRenumOutcome::kPagesOnly;
  }
  return CopyNumbered(env, folder, "content_@@@.inc") ? CopyRenumOutcome::kCopied
                                                      : CopyRenumOutcome::kWriteFailed;
}

}  // namespace pagorin
