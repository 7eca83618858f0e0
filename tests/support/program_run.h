// Running the pagorin executable from a test, through the shell. For the
// test executables of the engine's modules, which know where it is built
// (PAGORIN_EXECUTABLE).
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace pagorin::testing {

// What the pagorin executable did.
struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out, err;
};

// A command line and what pagorin should do with it.
struct ProgramStep {
  std::string args;
  ProgramRun expected;
};

#ifdef PAGORIN_EXECUTABLE
// Runs `pagorin ARGS` in the test's folder (ARGS quoted for the shell as
// needed) at `source_date_epoch`, with the program folders inside the test's.
inline ProgramRun RunPagorin(const TestEnv& t, const std::string& args,
                             const std::string& source_date_epoch = "1709822100") {
  const std::string out = t.Path("out.txt"), err = t.Path("err.txt");
  const std::string command =
      "cd '" + t.root() + "' && env SOURCE_DATE_EPOCH=" + source_date_epoch + " XDG_CONFIG_HOME='" +
      t.Path("config") + "' XDG_DATA_HOME='" + t.Path("data") +
      "' TZ=UTC LC_ALL=C '" PAGORIN_EXECUTABLE "' " + args + " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, t.ReadFile(out), t.ReadFile(err)};
}

// Runs each step in turn: its exit status, standard output and standard
// error are the expected ones exactly.
inline void RunSteps(const TestEnv& t, const std::vector<ProgramStep>& steps) {
  for (const ProgramStep& step : steps) {
    SCOPED_TRACE(step.args);
    const ProgramRun run = RunPagorin(t, step.args);
    EXPECT_EQ(step.expected.status, run.status);
    EXPECT_EQ(step.expected.out, run.out);
    EXPECT_EQ(step.expected.err, run.err);
  }
}
#endif

}  // namespace pagorin::testing
