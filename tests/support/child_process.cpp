#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace pagorin::testing {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::string& error_output = "") {
  std::vector<char*> pointers;
  for (const std::string& argument : argv) {
    pointers.push_back(const_cast<char*>(argument.c_str()));
  }
  pointers.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!error_output.empty()) {
      const int fd = open(error_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(fd, 2);
    }
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& error_output)
    : pid_(Spawn(argv, error_output)) {
  if (pid_ < 0) {
    throw std::runtime_error("cannot start " + argv[0]);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ <= 0) {
    return;
  }
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

bool ChildProcess::Running() {
  int status = 0;
  if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;  // reaped: there is nothing left to stop
  }
  return pid_ > 0;
}

int ChildProcess::WaitForPortFile(const std::string& port_file) {
  int port = 0;
  for (int waited = 0; waited < 200 && port == 0 && Running(); ++waited) {
    std::ifstream in(port_file);
    if (!(in >> port)) {
      port = 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  return port;
}

int RunProgram(const std::vector<std::string>& argv, const std::string& error_output) {
  const pid_t pid = Spawn(argv, error_output);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

}  // namespace pagorin::testing
