// Handing a downloaded release over to the separate updater program, which
// installs it once this program has ended.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shared/env.h"

namespace pagorin {

// The updater program's name in the program's folder.
inline constexpr const char* kUpdaterProgram = "pagorin-updater";

// Starts a program with its arguments, not waiting for it; false when it
// could not be started.
using ProgramStarter =
    std::function<bool(const std::string& program, const std::vector<std::string>& arguments)>;

// Writes the setup file's full path as the whole of updater.ini in the data
// folder, then starts the updater with the path of updater.ini. True when
// the updater runs and the program should end. Without an updater program,
// or when updater.ini cannot be written or the updater not started, the
// person is told where the download is and false returned; the download is
// kept either way.
bool HandOverToUpdater(Env& env, const std::string& setup_file, const ProgramStarter& start);

// Starts `program` detached from this process (posix_spawn).
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace pagorin
