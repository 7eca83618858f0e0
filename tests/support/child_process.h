// Programs a test starts beside itself: servers that run until the test
// ends, and programs run to their end.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pagorin::testing {

// A child process that is ended (SIGTERM, then waited for) on destruction.
class ChildProcess {
 public:
  // With `error_output` its standard error goes into that file.
  explicit ChildProcess(const std::vector<std::string>& argv, const std::string& error_output = "");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // False once the process has ended.
  bool Running();
  // The port number a server writes into `port_file` once it listens; 0
  // when none came within ten seconds or the process ended first.
  int WaitForPortFile(const std::string& port_file);

 private:
  pid_t pid_ = -1;
};

// Runs a program to its end; its exit status (-1 when it could not run).
// With `error_output` its standard error goes into that file.
int RunProgram(const std::vector<std::string>& argv, const std::string& error_output = "");

}  // namespace pagorin::testing
