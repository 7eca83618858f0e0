#include "shared/help.h"

#include "shared/file_subs.h"
#include "shared/user_interface.h"

namespace pagorin {

std::string ManualPage(Env& env, const std::string& topic) {
  const std::string manual = env.paths.installed_dir + "manual/";
  if (!topic.empty() && topic.find('/') == std::string::npos &&
      FileSubs(env).FileExists(manual + topic)) {
    return manual + topic;
  }
  return manual + "index.html";
}

void ShowHelp(Env& env, const std::string& topic) {
  const std::string page = ManualPage(env, topic);
  if (!FileSubs(env).FileExists(page)) {
    env.ui.ShowMessage("The manual is not installed: " + page + " is missing.", Buttons::kOk,
                       "Help", Icon::kExclamation);
    return;
  }
  if (!env.ui.OpenDocument(page)) {
    env.ui.ShowMessage("No web browser could be started to show the manual, " + page + ".",
                       Buttons::kOk, "Help", Icon::kExclamation);
  }
}

}  // namespace pagorin
