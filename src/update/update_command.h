// The "update-check" subcommand of the pagorin executable:
//   pagorin update-check [--download DIR]
#pragma once

#include <string>
#include <vector>

namespace pagorin {

std::string UpdateCheckUsageText();

// Checks the release server named by the program settings (UpdateServer,
// the proxy keys) and prints the result text on standard output; with
// --download DIR a newer release is downloaded and verified into DIR. Exit
// status: 0 up to date (or downloaded), 1 the check or download failed, 2 a
// command line that cannot be used, 3 a newer release is there (without
// --download). The program settings file is read, never written.
int RunUpdateCheckCommand(const std::vector<std::string>& args);

}  // namespace pagorin
