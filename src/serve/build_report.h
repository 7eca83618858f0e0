// The page a browser shows in place of the site while its build fails.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

// For "NAME not found in SOURCE": the includes from the template at
// `template_path` down to SOURCE and then NAME, joined with " > " (the
// template's file name first), following "[include=...]" directives through
// the files of `includes_dir`. Empty when `message` is of another kind or no
// such path exists.
std::string MissingIncludeChain(const std::string& message, const std::string& template_path,
                                const std::string& includes_dir);

// A whole HTML page: "Build failed" with every message the build showed
// and, when known, the page being built and the chain of includes.
std::string BuildErrorPage(const std::vector<std::string>& messages, const std::string& page,
                           const std::string& chain);

}  // namespace pagorin
