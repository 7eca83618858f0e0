// Reading and rewriting the site's files for the maintenance tools.
#pragma once

#include <string>

#include "shared/env.h"

namespace pagorin {

// Replaces `path` by `text` atomically, so a failure or a kill never leaves
// a truncated file; runs over whole folders pass `flush` false (see
// ReplaceFile). A read-only file is left alone. A failure is
// logged under `procedure` and `module` and told to the person; false then.
bool RewriteToolFile(Env& env, const std::string& path, const std::string& text,
                     const char* procedure, const char* module, bool flush = true);

}  // namespace pagorin
