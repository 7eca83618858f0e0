#include "tools/tool_files.h"

#include "shared/file_system.h"
#include "shared/log.h"
#include "shared/user_interface.h"

namespace pagorin {

bool RewriteToolFile(Env& env, const std::string& path, const std::string& text,
                     const char* procedure, const char* module, bool flush) {
  FsStatus status;
  if (env.fs.Stat(path).read_only) {
    status = {FsError::kAccessDenied, path + " is read only"};
  } else {
    status = flush ? WriteFileAtomically(env.fs, path, text)
                   : ReplaceFile(env.fs, path, text);
  }
  if (status.ok()) {
    return true;
  }
  env.log.LogError(ErrorDescription(status), procedure, module);
  env.ui.ShowMessage("Could not write " + path + ", so it was left as it was: " + status.message);
  return false;
}

}  // namespace pagorin
