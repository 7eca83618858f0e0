// Killed in the middle: the real pagorin executable started again and
// again from the same files and killed with SIGKILL at a random moment of
// its run. After each kill every file must be its old bytes or its complete
// new ones, and a run to the end from there must give exactly the files of
// a run never killed.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/test_env.h"

namespace pagorin::testing {

// Starts `executable ARGS` in t's folder with the clock at `day` (seconds
// since 1970), the program folders inside t's and standard error going to
// `errors`. The process id.
pid_t StartProgram(const TestEnv& t, const std::string& executable,
                   const std::vector<std::string>& args, const std::string& day,
                   const std::string& errors);
// Waits for the process; its exit status, -1 when it did not exit.
int WaitForExit(pid_t pid);

// One operation killed in turn: `start` starts its run (from the files as
// they are under t.root()).
struct KilledOperation {
  KilledOperation(std::string name_, std::function<pid_t()> start_)
      : name(std::move(name_)), start(std::move(start_)) {}

  std::string name;
  std::function<pid_t()> start;
  // Files (relative to t.root()) a killed run followed by a complete one
  // may leave other than one complete run does: temporaries on a server, a
  // record kept line by line.
  std::function<bool(const std::string&)> may_differ;
  int rounds = 6;
};

struct KillFigures {
  int rounds = 0;
  int killed_before_the_end = 0;  // the others had ended by themselves
};

// Runs `op` once to its end from the files under t.root() to learn the new
// files and how long a run takes, then `op.rounds` times restores the old
// files, starts it and kills it after a random part of that time (random
// seeded with `seed`, so a failure can be repeated), checks the files, runs
// it to the end and checks again. The files are old ones at the end.
KillFigures KillInTurn(TestEnv& t, const KilledOperation& op, unsigned seed);

}  // namespace pagorin::testing
