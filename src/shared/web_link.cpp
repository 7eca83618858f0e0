#include "shared/web_link.h"

#include "shared/user_interface.h"

namespace pagorin {

void websitevisit(Env& env, const std::string& address) {
  if (!env.ui.OpenDocument(address)) {
    env.ui.ShowMessage("There was an ERROR?", Buttons::kOk, "Open URL Error", Icon::kExclamation);
  }
}

}  // namespace pagorin
