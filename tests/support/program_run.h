// Running the pagorin executable from a test, through the shell. For the
// test executables of the engine's modules, which know where it is built
// (PAGORIN_EXECUTABLE).
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/test_env.h"

namespace pagorin::testing {

// What the pagorin executable did.
struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out, err;
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
#endif

}  // namespace pagorin::testing
