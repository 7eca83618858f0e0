// pagorin serve PROJECT [--port N]: builds the site, serves it on
// 127.0.0.1 and rebuilds it whenever its sources change, until Ctrl+C.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

// `args` are the arguments after "serve". Exit status: 0 when ended by
// Ctrl+C (or SIGTERM), 1 when the project cannot be opened or the port not
// listened on, 2 for a command line that cannot be used.
int RunServeCommand(const std::vector<std::string>& args);

}  // namespace pagorin
