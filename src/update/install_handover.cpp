#include "update/install_handover.h"

#include <spawn.h>

#include "shared/file_system.h"
#include "shared/log.h"
#include "shared/user_interface.h"

extern char** environ;

namespace pagorin {

bool HandOverToUpdater(Env& env, const std::string& setup_file, const ProgramStarter& start) {
  const std::string updater = env.paths.program_dir + kUpdaterProgram;
  const std::string hand_over = env.paths.data_dir + "updater.ini";
  const std::string keep_it = "The update was saved as " + setup_file + ".";
  if (!env.fs.Stat(updater).exists) {
    env.log.LogEvent("No updater program at " + updater);
    env.ui.ShowMessage(keep_it + " The updater program (" + updater +
                           ") is not installed, so please install the update yourself.",
                       Buttons::kOk, "Pagorin", Icon::kInformation);
    return false;
  }
  const FsStatus written = WriteFileAtomically(env.fs, hand_over, setup_file);
  if (!written.ok()) {
    env.log.LogEvent("Cannot write " + hand_over + ": " + ErrorDescription(written));
    env.ui.ShowMessage(keep_it + " The updater could not be told about it (" + hand_over +
                           " cannot be written), so please install the update yourself.",
                       Buttons::kOk, "Pagorin", Icon::kExclamation);
    return false;
  }
  if (!start(updater, {hand_over})) {
    env.log.LogEvent("Cannot start " + updater);
    env.ui.ShowMessage(keep_it + " The updater program (" + updater +
                           ") could not be started, so please install the update yourself.",
                       Buttons::kOk, "Pagorin", Icon::kExclamation);
    return false;
  }
  env.log.LogEvent("Started " + updater + " " + hand_over);
  return true;
}

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  // The updater outlives this program; its exit status is nobody's business.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  const int failed =
      posix_spawn(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return failed == 0;
}

}  // namespace pagorin
